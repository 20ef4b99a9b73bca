// The base control: routing of mouse, wheel and keys down the tree, drawing order, repaint requests.
#include "TavikUI/MControl.h"

#include "TavikUI/MWindow.h"
#include "TavikUI/Messages.h"
#include "TavikUI/PaintManager.h"

#include <cwchar>

namespace TavikUI {

namespace {
bool ButtonHeld(unsigned flags) { return (flags & (MK_LBUTTON | MK_RBUTTON)) != 0; }
} // namespace

MControl::MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int responsive)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible ? 1 : 0), m_enabled(enabled ? 1 : 0),
      m_responsive(responsive ? 1 : 0) {}

MControl::~MControl() {
    m_mouseChild = nullptr;
    // Children go first so that each of them can still reach the manager to drop its links.
    m_areas.clear();
    m_children.clear();
    if (m_manager)
        m_manager->ForgetControl(this);
}

void MControl::SetManager(PaintManager* manager) { m_manager = manager; }

int MControl::PtInRect(CPoint pt) { return m_visible && m_rect.PtInRect(pt) ? 1 : 0; }

int MControl::DrawSubControls(cairo_t* cr, CRect paint_rect) {
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->IsVisible())
            m_children[i]->Draw(cr, paint_rect);
    return 1;
}

void MControl::SetUpdate(int valid, unsigned long colour) {
    m_cacheValid = valid;
    for (auto* list : {&m_areas, &m_children})
        for (auto& child : *list)
            if (child->GetRect().Intersects(m_rect))
                child->SetUpdate(valid, colour);
}

int MControl::SetControlFocus(int focus) {
    m_focused = focus ? 1 : 0;
    if (!focus)
        for (auto& child : m_children)
            child->SetControlFocus(0);
    return 0;
}

int MControl::OnControlSetCursor(unsigned, CPoint pt) {
    if (!m_hasCursor || !PtInRect(pt))
        return 0;
    if (m_manager && m_manager->GetWindow())
        m_manager->GetWindow()->SetCursor(m_cursor);
    return 1;
}

int MControl::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
    return m_accelKey && m_accelModifiers && key == m_accelKey && modifiers == m_accelModifiers ? 1 : 0;
}

void MControl::InvalidateRect(const CRect* rect, int erase) {
    if (m_manager)
        m_manager->InvalidateRect(rect ? *rect : m_rect, erase);
}

CPoint MControl::ChildPoint(const MControl* child, CPoint raw, CPoint translated) {
    unsigned id = child->GetControlID();
    return id == 1 || id == 2 ? raw : translated;
}

void MControl::ShowHoverTooltip(CPoint pt) {
    if (!m_manager || m_tooltip.empty() || !m_visible || !m_responsive)
        return;
    if (!OnCheckMouseResponse(0, pt) || m_manager->GetTooltipOwner() == m_id)
        return;
    m_manager->SetTooltip(m_tooltip, m_rect);
    m_manager->SetTooltipOwner(m_id);
}

int MControl::OnMouseMove(unsigned flags, CPoint pt) {
    if (!m_visible || !m_responsive)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    const bool had_child = m_mouseChild != nullptr;
    if (m_mouseChild) {
        CPoint cp = ChildPoint(m_mouseChild, pt, tp);
        bool keeps = m_mouseChild->PtInRect(cp) && m_mouseChild->OnCheckMouseResponse(flags, cp);
        if (keeps || (m_pressedInside && ButtonHeld(flags)))
            return m_mouseChild->OnMouseMove(flags, cp);
        m_mouseChild = nullptr;
    }
    ShowHoverTooltip(pt);
    OnControlSetCursor(flags, pt);
    int own = OnControlMouseMove(flags, pt);
    if (!ButtonHeld(flags)) {
        for (size_t i = 0; i < m_children.size(); ++i) {
            MControl* child = m_children[i].get();
            CPoint cp = ChildPoint(child, pt, tp);
            if (child->OnMouseMove(flags, cp) && child->PtInRect(cp))
                m_mouseChild = child;
        }
    }
    return m_mouseChild || had_child ? 1 : own;
}

void MControl::TakeFocus() {
    if (m_manager)
        m_manager->SetFocusControl(this);
}

int MControl::RouteButtonDown(unsigned flags, CPoint pt, bool left) {
    if (!m_visible || !m_responsive)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (m_rect.PtInRect(pt))
        m_pressedInside = 1;
    MControl* hit = nullptr;
    CPoint hit_pt;
    for (auto& child : m_children) {
        CPoint cp = ChildPoint(child.get(), pt, tp);
        if (child->PtInRect(cp) && child->IsVisible() && child->IsEnabled() && child->GetRresponse()) {
            hit = child.get();
            hit_pt = cp;
        }
    }
    m_mouseChild = hit;
    if (hit)
        return left ? hit->OnLButtonDown(flags, hit_pt) : hit->OnRButtonDown(flags, hit_pt);
    TakeFocus();
    return left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
}

int MControl::RouteButtonUp(unsigned flags, CPoint pt, bool left) {
    if (!m_visible || !m_responsive)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    m_pressedInside = 0;
    if (MControl* child = m_mouseChild) {
        CPoint cp = ChildPoint(child, pt, tp);
        return left ? child->OnLButtonUp(flags, cp) : child->OnRButtonUp(flags, cp);
    }
    return left ? OnControlLButtonUp(flags, pt) : OnControlRButtonUp(flags, pt);
}

int MControl::RouteDblClk(unsigned flags, CPoint pt, bool left) {
    if (!m_visible || !m_responsive)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    m_pressedInside = 0;
    if (MControl* child = m_mouseChild) {
        CPoint cp = ChildPoint(child, pt, tp);
        // A child without double-click delivery sees a second press, exactly once.
        if (!child->GetDblClk())
            return left ? child->OnLButtonDown(flags, cp) : child->OnRButtonDown(flags, cp);
        return left ? child->OnLButtonDblClk(flags, cp) : child->OnRButtonDblClk(flags, cp);
    }
    if (!m_dblClk)
        return left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
    return left ? OnControlLButtonDblClk(flags, pt) : OnControlRButtonDblClk(flags, pt);
}

int MControl::OnLButtonDown(unsigned flags, CPoint pt) { return RouteButtonDown(flags, pt, true); }
int MControl::OnRButtonDown(unsigned flags, CPoint pt) { return RouteButtonDown(flags, pt, false); }
int MControl::OnLButtonUp(unsigned flags, CPoint pt) { return RouteButtonUp(flags, pt, true); }
int MControl::OnRButtonUp(unsigned flags, CPoint pt) { return RouteButtonUp(flags, pt, false); }
int MControl::OnLButtonDblClk(unsigned flags, CPoint pt) { return RouteDblClk(flags, pt, true); }
int MControl::OnRButtonDblClk(unsigned flags, CPoint pt) { return RouteDblClk(flags, pt, false); }

int MControl::OnScroll(int bar, unsigned direction, CPoint pt) {
    if (!m_visible || !m_responsive || !m_enabled)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (MControl* child = m_mouseChild) {
        CPoint cp = ChildPoint(child, pt, tp);
        if (child->PtInRect(cp) && child->OnCheckMouseResponse(0, cp) && child->OnScroll(bar, direction, cp))
            return 1;
    }
    if (!m_rect.PtInRect(pt))
        return 0;
    if (OnControlScroll(bar, direction, pt))
        return 1;
    for (size_t i = 0; i < m_children.size(); ++i) {
        MControl* child = m_children[i].get();
        CPoint cp = ChildPoint(child, pt, tp);
        if (child->PtInRect(cp) && child->OnScroll(bar, direction, cp))
            return 1;
    }
    return 0;
}

int MControl::OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers) {
    for (auto& child : m_children)
        if (child->IsFocused())
            return child->OnKeyDown(key, repeat, modifiers);
    if (m_mouseChild && m_mouseChild->OnKeyDown(key, repeat, modifiers))
        return 1;
    if (OnControlKeyDown(key, repeat, modifiers))
        return 1;
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->OnKeyDown(key, repeat, modifiers))
            return 1;
    return 0;
}

int MControl::OnTimer() {
    int result = OnControlTimer();
    for (size_t i = 0; i < m_children.size(); ++i) {
        MControl* child = m_children[i].get();
        if (child->IsRunTimer() && child->IsVisible() && child->OnTimer())
            result = 1;
    }
    return result ? 1 : 0;
}

void MControl::Draw(cairo_t* cr, CRect paint_rect) {
    if (!m_visible || !m_rect.Intersects(paint_rect))
        return;
    for (auto& area : m_areas)
        if (area->GetRect().Intersects(m_rect))
            area->Draw(cr, paint_rect);
    DrawControl(cr, paint_rect);
    DrawSubControls(cr, paint_rect);
}

void MControl::SetRect(CRect rect) {
    CRect old = m_rect;
    SetControlRect(rect);
    if (m_visible && m_parent)
        m_parent->OnControlUpdate(old.Union(m_rect), 1, this);
}

void MControl::SetVisible(int visible, int repaint) {
    visible = visible ? 1 : 0;
    if (visible == m_visible)
        return;
    SetControlVisible(visible);
    if (repaint && m_parent)
        m_parent->OnControlUpdate(m_rect, 1, this);
    if (visible && m_manager)
        m_manager->WakeMTimer();
}

void MControl::SetEnabled(int enabled) {
    enabled = enabled ? 1 : 0;
    if (enabled == m_enabled)
        return;
    SetControlEnabled(enabled);
    if (m_visible && m_parent)
        m_parent->OnControlUpdate(m_rect, 1, this);
}

void MControl::SetRunTimer(int on) {
    m_runTimer = on ? 1 : 0;
    if (m_runTimer && m_manager)
        m_manager->WakeMTimer();
}

void MControl::UpdateControl(int dirty, int force) {
    if ((m_visible || force) && m_parent)
        m_parent->OnControlUpdate(m_rect, dirty, this);
}

void MControl::UpdateControl(CRect rect, int force, int dirty) {
    if ((m_visible || force) && m_parent)
        m_parent->OnControlUpdate(rect, dirty, this);
}

void MControl::UpdateAControl(int flag, int force) {
    if (!(m_visible || force) || !m_parent)
        return;
    if (!flag)
        m_animCacheValid = 0;
    m_parent->OnControlUpdate(m_rect, 0, this);
}

void MControl::SetTooltip(const std::wstring& text, CRect rect) {
    if (!m_manager)
        return;
    m_manager->SetTooltip(text, rect);
    m_manager->SetTooltipOwner(m_id);
}

void MControl::ClearTooltip() {
    if (m_manager)
        m_manager->ClearTooltip();
}

int MControl::SetCursorEx(const wchar_t* name) {
    static const struct {
        const wchar_t* name;
        CursorKind kind;
    } kCursors[] = {{L"arrow", CursorKind::Arrow},   {L"wait", CursorKind::Wait},     {L"cross", CursorKind::Cross},
                    {L"sizewe", CursorKind::SizeWE}, {L"sizens", CursorKind::SizeNS}, {L"hand", CursorKind::Hand},
                    {L"help", CursorKind::Help}};
    for (const auto& c : kCursors) {
        if (name && std::wcscmp(name, c.name) == 0) {
            m_cursor = c.kind;
            m_hasCursor = true;
        }
    }
    return 0;
}

void MControl::AddMTimer() {
    if (m_manager)
        m_manager->AddMTimer(this);
}

int MControl::IsParentVisible() {
    if (!m_parent)
        return 0;
    if (m_parent->IsClass(L"MDialog"))
        return 1;
    auto* parent = dynamic_cast<MControl*>(m_parent);
    if (!parent)
        return 1; // a menu or popup window: its own visibility is the window's
    return parent->IsVisible() && parent->IsParentVisible() ? 1 : 0;
}

MControl* MControl::GetControl(unsigned id) {
    for (auto* list : {&m_children, &m_areas}) {
        for (auto& child : *list) {
            if (child->GetControlID() == id)
                return child.get();
            if (MControl* found = child->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

int MControl::RemoveControl(MControl* control) {
    for (auto* list : {&m_children, &m_areas}) {
        for (auto it = list->begin(); it != list->end(); ++it) {
            if (it->get() != control)
                continue;
            if (control->IsFocusControl() && m_manager)
                m_manager->SetFocusControl(nullptr);
            if (m_mouseChild == control)
                m_mouseChild = nullptr;
            list->erase(it);
            return 0;
        }
    }
    return 0;
}

void MControl::RemoveAllControl() {
    m_mouseChild = nullptr;
    m_areas.clear();
    m_children.clear();
}

long MControl::SendMessageW(unsigned code, unsigned wparam, long lparam) {
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wparam, lparam) : 0;
}

int MControl::IsFocusControl() { return m_manager && m_manager->GetFocusControl() == this ? 1 : 0; }

MControl* MControl::AddChild(std::unique_ptr<MControl> child, int kind) {
    if (!child)
        return nullptr;
    MControl* raw = child.get();
    if (m_manager && !raw->GetManager()) {
        raw->SetManager(m_manager);
        raw->InitControl(m_manager);
    }
    (kind == 0 ? m_areas : m_children).push_back(std::move(child));
    return raw;
}

cairo_surface_t* MControl::UpdateMemDC(int cx, int cy) {
    if (!m_memDC.surface || m_memDC.cx != cx || m_memDC.cy != cy) {
        m_memDC.Reset();
        m_memDC.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(cx, 1), std::max(cy, 1));
        m_memDC.cx = cx;
        m_memDC.cy = cy;
    }
    m_cacheValid = 1;
    return m_memDC.surface;
}

cairo_surface_t* MControl::UpdateAnimateDC(int cx, int cy) {
    if (!m_animDC.surface || m_animDC.cx != cx || m_animDC.cy != cy) {
        m_animDC.Reset();
        m_animDC.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(cx, 1), std::max(cy, 1));
        m_animDC.cx = cx;
        m_animDC.cy = cy;
    }
    m_animCacheValid = 1;
    return m_animDC.surface;
}

} // namespace TavikUI
