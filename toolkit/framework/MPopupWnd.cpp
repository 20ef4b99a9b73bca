// Base of drop-down popups: its own controls, notifications to the owner object, closes on deactivation.
#include "TavikUI/MPopupWnd.h"

#include "TavikUI/Manager.h"

namespace TavikUI {

MPopupWnd::MPopupWnd(MObject* owner) : m_pm(this), m_ownerObject(owner) {}

MPopupWnd::~MPopupWnd() {
    if (m_hwnd)
        DestroyWindow();
}

int MPopupWnd::Create(WindowHandle owner, CRect screen_rect) {
    return MWindow::Create(owner, L"Popup Window", 0x80B, WS_EX_TOOLWINDOW, screen_rect) ? 1 : 0;
}

int MPopupWnd::OnInitDialog() {
    m_pm.Init(m_hwnd, this);
    m_pm.EnableWndDrag(0);
    InitUI(GetClientRect());
    return 1;
}

long MPopupWnd::OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    return OnMessage(id, code, wparam, lparam);
}

long MPopupWnd::OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    return m_ownerObject ? m_ownerObject->OnBaseMessage(id, code, wparam, lparam) : 0;
}

long MPopupWnd::OnControlUpdate(CRect rect, int dirty, MControl* control) {
    return m_pm.OnControlUpdate(rect, dirty, control);
}

long MPopupWnd::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    if (msg == WM_SHOWWINDOW)
        Manager::SetActivePopup(wparam ? this : nullptr);
    else if (msg == WM_NCACTIVATE && !wparam)
        CloseWindow();
    if (long r = m_pm.OnWindowMessage(msg, wparam, lparam))
        return r;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

void MPopupWnd::OnDestroyMessage(WindowHandle) { m_pm.DestroyData(); }

} // namespace TavikUI
