// A container with its own scroll bars; passes its children's notifications on to its parent.
#include "TavikUI/MPanel.h"

#include "TavikUI/CScrollHorizontal.h"
#include "TavikUI/CScrollVertical.h"
#include "TavikUI/ControlFactory.h"
#include "TavikUI/ControlNotify.h"
#include "TavikUI/PainterState.h"
#include "TavikUI/PaintManager.h"

#include <algorithm>

namespace TavikUI {

MPanel::MPanel(MObject* parent, unsigned id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1) {
    m_dblClk = 1;
    auto v = std::make_unique<CScrollVertical>(this, 1, rect, 0);
    auto h = std::make_unique<CScrollHorizontal>(this, 2, rect, 0);
    m_vscroll = v.get();
    m_hscroll = h.get();
    m_children.push_back(std::move(v));
    m_children.push_back(std::move(h));
    LayoutScrollBars();
}

MControl* MPanel::CreateControl(unsigned kind, MObject* parent, const wchar_t* class_name, unsigned id, CRect rect,
                                const wchar_t* title, int visible, int enabled) {
    auto control = ControlFactory::Create(CreateLevel::Panel, parent ? parent : this, class_name, id, rect, title,
                                          visible, enabled);
    if (!control)
        return nullptr;
    MControl* raw = control.get();
    // A panel that is not attached yet hands its manager over in InitControl.
    if (m_attached && m_manager) {
        raw->SetManager(m_manager);
        raw->InitControl(m_manager);
    }
    (kind == 0 ? m_areas : m_children).push_back(std::move(control));
    return raw;
}

MControl* MPanel::CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                int visible, int enabled) {
    return CreateControl(1, this, class_name, id, rect, title, visible, enabled);
}

MControl* MPanel::CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                             int enabled) {
    return CreateControl(0, this, class_name, id, rect, title, visible, enabled);
}

long MPanel::OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    return OnMessage(id, code, wparam, lparam);
}

long MPanel::OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    // The panel's own bars move its content; their ids would clash with the dialog's controls 1 and 2.
    if ((id == 1 || id == 2) && code == NOTIFY_SCROLL) {
        UpdateControl(0, 0);
        return 0;
    }
    return m_parent ? m_parent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

long MPanel::OnControlUpdate(CRect rect, int dirty, MControl* control) {
    if (dirty && control)
        control->SetUpdate(0, 0);
    if (control && control != m_vscroll && control != m_hscroll) {
        CPoint off = GetScrollOffset();
        rect.OffsetRect(-off.x, -off.y);
    }
    bool after = false;
    for (auto* list : {&m_areas, &m_children}) {
        for (auto& c : *list) {
            if (c.get() == control) {
                after = true;
                continue;
            }
            if (after && c->IsVisible() && c->GetRect().Intersects(rect)) {
                c->SetUpdate(0, 0);
                rect = rect.Union(c->GetRect());
            }
        }
    }
    // The request stays inside the panel; the panel's own picture is not invalidated by a child's change.
    CRect clipped = rect.Intersect(m_rect);
    if (!clipped.IsRectEmpty() && m_parent)
        m_parent->OnControlUpdate(clipped, 0, this);
    return 0;
}

void MPanel::InitControl(PaintManager* manager) {
    m_attached = 1;
    for (auto* list : {&m_areas, &m_children}) {
        for (auto& c : *list) {
            if (!c->GetManager()) {
                c->SetManager(manager);
                c->InitControl(manager);
            }
        }
    }
}

int MPanel::DrawSubControls(cairo_t* cr, CRect paint_rect) {
    if (!m_enableScroll || !IsOverflowing())
        return MControl::DrawSubControls(cr, paint_rect);
    return 0;
}

void MPanel::DrawScrolledChildren(cairo_t* cr, CRect paint_rect) {
    CRect visible = paint_rect.Intersect(m_rect);
    if (visible.IsRectEmpty())
        return;
    CPoint off = GetScrollOffset();
    {
        PainterState state(cr);
        cairo_rectangle(cr, visible.left, visible.top, visible.Width(), visible.Height());
        cairo_clip(cr);
        cairo_translate(cr, -off.x, -off.y);
        CRect shifted = visible;
        shifted.OffsetRect(off.x, off.y);
        for (size_t i = 0; i < m_children.size(); ++i) {
            MControl* c = m_children[i].get();
            if (c != m_vscroll && c != m_hscroll && c->IsVisible())
                c->Draw(cr, shifted);
        }
    }
    for (MScroll* bar : {m_vscroll, m_hscroll})
        if (bar->IsVisible())
            bar->Draw(cr, paint_rect);
}

void MPanel::SetUpdate(int valid, unsigned long colour) {
    m_cacheValid = valid;
    for (auto* list : {&m_areas, &m_children})
        for (auto& c : *list)
            c->SetUpdate(valid, colour);
}

int MPanel::SetControlFocus(int focus) { return MControl::SetControlFocus(focus); }

int MPanel::OnMousePointChange(CPoint& pt) {
    if (!m_enableScroll || !IsOverflowing())
        return 0;
    CPoint off = GetScrollOffset();
    pt.x += off.x;
    pt.y += off.y;
    return 1;
}

int MPanel::OnCheckMouseResponse(unsigned, CPoint pt) { return m_visible && m_rect.PtInRect(pt) ? 1 : 0; }

long MPanel::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->OnWindowMessage(msg, wparam, lparam))
            return 1;
    return 0;
}

void MPanel::SetControlRect(CRect rect) {
    m_rect = rect;
    LayoutScrollBars();
}

void MPanel::SetControlVisible(int visible) {
    MControl::SetControlVisible(visible);
    SetControlWndVisible(visible);
}

void MPanel::SetControlWndVisible(int visible) {
    for (auto& c : m_children)
        c->SetControlWndVisible(visible && c->IsVisible());
}

void MPanel::SetControlEnabled(int enabled) {
    MControl::SetControlEnabled(enabled);
    for (auto& c : m_children)
        c->SetControlEnabled(enabled);
}

int MPanel::OnControlTimer() { return 0; }

int MPanel::OnControlScroll(int, unsigned direction, CPoint) {
    if (!m_enableScroll || m_virtualHeight < m_rect.Height())
        return 0;
    int step = m_vscroll->GetLineStep();
    int pos = m_vscroll->GetPos() + (direction == 1 ? step : -step);
    if (m_vscroll->SetPos(std::clamp(pos, 0, m_vscroll->GetRange())))
        UpdateControl(0, 0);
    return 1;
}

int MPanel::OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) {
    return MControl::OnControlKeyDown(key, repeat, modifiers);
}

void MPanel::SetVirtualHeight(int height) {
    if (height == m_virtualHeight)
        return;
    m_virtualHeight = std::max(0, height);
    LayoutScrollBars();
    UpdateControl(0, 0);
}

void MPanel::SetVirtualWidth(int width) {
    if (width == m_virtualWidth)
        return;
    m_virtualWidth = std::max(0, width);
    LayoutScrollBars();
    UpdateControl(0, 0);
}

bool MPanel::IsOverflowing() const {
    return m_virtualHeight > m_rect.Height() || m_virtualWidth > m_rect.Width();
}

CPoint MPanel::GetScrollOffset() const {
    CPoint off;
    if (m_virtualHeight > m_rect.Height() && m_vscroll->GetRange() > 0)
        off.y = (m_virtualHeight - m_rect.Height()) * m_vscroll->GetPos() / m_vscroll->GetRange();
    if (m_virtualWidth > m_rect.Width() && m_hscroll->GetRange() > 0)
        off.x = (m_virtualWidth - m_rect.Width()) * m_hscroll->GetPos() / m_hscroll->GetRange();
    return off;
}

void MPanel::LayoutScrollBars() {
    if (!m_vscroll || !m_hscroll)
        return;
    const bool v = m_virtualHeight > m_rect.Height();
    const bool h = m_virtualWidth > m_rect.Width();
    const int t = kScrollThickness;
    m_vscroll->SetControlRect(CRect(m_rect.right - t, m_rect.top, m_rect.right, m_rect.bottom - (h ? t : 0)));
    m_hscroll->SetControlRect(CRect(m_rect.left, m_rect.bottom - t, m_rect.right - (v ? t : 0), m_rect.bottom));
    m_vscroll->SetControlVisible(v);
    m_hscroll->SetControlVisible(h);
    m_vscroll->SetViewSize(m_rect.Height());
    m_hscroll->SetViewSize(m_rect.Width());
    m_vscroll->SetRange(m_virtualHeight);
    m_hscroll->SetRange(m_virtualWidth);
}

} // namespace TavikUI
