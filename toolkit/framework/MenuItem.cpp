// A menu row that pre-renders one frame per state, so a hover change is a single copy.
#include "TavikUI/MenuItem.h"

#include "TavikUI/ControlNotify.h"
#include "TavikUI/MRender.h"
#include "TavikUI/PaintManager.h"

#include <algorithm>

namespace TavikUI {

MenuItem::MenuItem(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1) {
    m_vAlign = 4;
    m_imageCount = 3;
    if (!enabled)
        m_state = 3;
}

void MenuItem::RenderFrames(cairo_t*) {
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    const int frames = FrameCount();
    cairo_surface_t* cache = UpdateMemDC(w * frames, h);
    cairo_t* c = cairo_create(cache);
    cairo_surface_t* window = m_manager ? m_manager->GetSurface() : nullptr;
    for (int f = 0; f < frames; ++f) {
        cairo_save(c);
        cairo_rectangle(c, f * w, 0, w, h);
        cairo_clip(c);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        if (window)
            cairo_set_source_surface(c, window, f * w - m_rect.left, -m_rect.top);
        else
            cairo_set_source_rgba(c, 0, 0, 0, 0);
        cairo_paint(c);
        cairo_restore(c);
        if (m_separator) {
            CRect band(0, 0, w, h);
            if (m_image && m_frameHeight > 0) {
                int top = (h - m_frameHeight) / 2;
                MRender::DrawImage(c, m_image, CRect(0, top, w, top + m_frameHeight), 0, 0, m_frameWidth,
                                   m_frameHeight);
            } else {
                MRender::DrawColor(c, CRect(0, h / 2, w, h / 2 + 1), 0x40FFFFFF);
            }
            continue;
        }
        const bool hovered = f == 1 || f == 5;
        const bool filled = hovered || (!m_checkable && f == 2);
        if (filled)
            MRender::DrawColor(c, CRect(f * w + m_frameInset, 0, (f + 1) * w - m_frameInset, h), m_selectColor);
        if (m_image && m_frameWidth > 0) {
            int icon = f < GetImageCount() ? f : 0;
            CRect column(f * w, 0, f * w + m_indent, h);
            CPoint o = MRender::GetOriginPoint(column, CSize(m_frameWidth, m_frameHeight), 1, 4);
            DrawImageFrameIndex(c, CRect(o.x, o.y, o.x + m_frameWidth, o.y + m_frameHeight), icon);
        }
        const bool disabled = f == 3 || f == 4;
        MRender::DrawString(c, m_title, CRect(f * w + m_indent, 0, (f + 1) * w, h), GetGDIFont(),
                            disabled ? 0xFE808080 : 0xFFFFFFFF, 0, m_vAlign, false);
    }
    cairo_destroy(c);
}

void MenuItem::DrawControl(cairo_t* cr, CRect) {
    if (m_rect.IsRectEmpty())
        return;
    if (!m_cacheValid || !m_memDC.surface || m_memDC.cx != m_rect.Width() * FrameCount())
        RenderFrames(cr);
    int frame = m_separator ? 0 : std::clamp(m_state == 6 ? 5 : m_state, 0, FrameCount() - 1);
    MRender::BitBlt(cr, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_memDC.surface,
                    frame * m_rect.Width(), 0);
}

void MenuItem::SetState(int state) {
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0, 0);
}

int MenuItem::OnControlMouseMove(unsigned, CPoint pt) {
    if (!m_enabled || m_pressed || m_separator)
        return 0;
    bool inside = PtInRect(pt) != 0;
    if (m_check)
        SetState(inside ? 6 : 2);
    else
        SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int MenuItem::OnControlLButtonDown(unsigned, CPoint) {
    if (!m_enabled || m_separator)
        return 0;
    m_pressed = 1;
    if (m_checkable) {
        SendMessageW(NOTIFY_CHECK, static_cast<unsigned>(m_check), 1);
        return 1;
    }
    SetState(2);
    return 1;
}

int MenuItem::OnControlLButtonUp(unsigned, CPoint pt) {
    if (!m_pressed)
        return 0;
    m_pressed = 0;
    const bool inside = PtInRect(pt) != 0;
    if (m_checkable) {
        if (inside)
            SetCheck(m_group.empty() ? !m_check : 1);
        return 1;
    }
    SetState(inside ? 1 : 0);
    // Last: the owner may close the menu on this notification.
    if (inside)
        SendMessageW(NOTIFY_CLICK, 0, 0);
    return 1;
}

void MenuItem::SetCheck(int check) {
    check = check ? 1 : 0;
    if (!m_checkable || !m_enabled || check == m_check)
        return;
    m_check = check;
    m_state = check ? 2 : 0;
    UpdateControl(0, 0);
}

void MenuItem::SetControlEnabled(int enabled) {
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? (m_check ? 2 : 0) : 3;
}

} // namespace TavikUI
