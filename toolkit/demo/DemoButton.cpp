// Demo push button: state changes only pick another pre-rendered frame.
#include "DemoButton.h"

#include "TavikUI/ControlNotify.h"
#include "TavikUI/MRender.h"

using namespace TavikUI;

DemoButton::DemoButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1) {
    m_hAlign = 1;
    m_state = enabled ? 0 : 3;
}

void DemoButton::RenderFrames() {
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    cairo_surface_t* cache = UpdateMemDC(w * 4, h);
    cairo_t* c = cairo_create(cache);
    cairo_set_operator(c, CAIRO_OPERATOR_CLEAR);
    cairo_paint(c);
    cairo_set_operator(c, CAIRO_OPERATOR_OVER);
    const uint32_t fallback[4] = {0xFF285055, 0xFF3A7077, 0xFF1E3C40, 0xFF2A2E33};
    for (int f = 0; f < 4; ++f) {
        CRect frame(f * w, 0, (f + 1) * w, h);
        if (m_image && m_frameWidth > 0)
            MRender::DrawImageFrame(c, m_image, frame, f * m_frameWidth, 0, m_frameWidth, m_frameHeight, 6);
        else
            MRender::DrawRoundRectange(c, frame.left, frame.top, w, h, 6, fallback[f]);
        MRender::DrawString(c, m_title, frame, GetGDIFont(), f == 3 ? 0xFE808080 : m_textColor, m_hAlign, m_vAlign,
                            false);
    }
    cairo_destroy(c);
}

void DemoButton::DrawControl(cairo_t* cr, CRect) {
    if (m_rect.IsRectEmpty())
        return;
    if (!m_cacheValid || !m_memDC.surface)
        RenderFrames();
    MRender::AlphaBlend(cr, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_memDC.surface,
                        m_state * m_rect.Width(), 0);
}

void DemoButton::SetState(int state) {
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0, 0);
}

int DemoButton::OnControlMouseMove(unsigned, CPoint pt) {
    const bool inside = PtInRect(pt) != 0;
    if (m_enabled && !m_pressed)
        SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int DemoButton::OnControlLButtonDown(unsigned, CPoint) {
    if (!m_enabled)
        return 0;
    m_pressed = true;
    SetState(2);
    SendMessageW(NOTIFY_PRESS, 0, 0);
    return 1;
}

int DemoButton::OnControlLButtonUp(unsigned, CPoint pt) {
    if (!m_pressed)
        return 0;
    m_pressed = false;
    const bool inside = PtInRect(pt) != 0;
    SetState(inside ? 1 : 0);
    if (inside)
        SendMessageW(NOTIFY_CLICK, 0, 0);
    return 1;
}

void DemoButton::SetControlEnabled(int enabled) {
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? 0 : 3;
}
