// The dialog: its own handlers first, then the paint manager, then the default processing.
#include "TavikUI/MDialog.h"

#include "TavikUI/Manager.h"

namespace TavikUI {

MDialog::MDialog() : m_pm(static_cast<MObject*>(this)) {}

MDialog::~MDialog() {
    // Destroy while the dialog's handlers and paint manager still exist.
    if (m_hwnd)
        DestroyWindow();
}

long MDialog::OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    return OnMessage(id, code, wparam, lparam);
}

long MDialog::OnControlUpdate(CRect rect, int dirty, MControl* control) {
    return m_pm.OnControlUpdate(rect, dirty, control);
}

long MDialog::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    const CPoint pt(GetXLParam(lparam), GetYLParam(lparam));
    switch (msg) {
    case WM_CREATE: OnCreate(); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE: OnSize(wparam, GetXLParam(lparam), GetYLParam(lparam)); break;
    case WM_PAINT: OnPaint(); break;
    case WM_CLOSE: OnClose(); break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(); break;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(); break;
    case WM_NCACTIVATE: OnNcActivate(static_cast<int>(wparam)); break;
    case WM_TIMER: OnTimer(wparam); break;
    case WM_MOUSEMOVE: OnMouseMove(wparam, pt); break;
    case WM_LBUTTONDOWN: OnLButtonDown(wparam, pt); break;
    case WM_LBUTTONUP: OnLButtonUp(wparam, pt); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wparam, pt); break;
    case WM_RBUTTONDOWN: OnRButtonDown(wparam, pt); break;
    case WM_RBUTTONUP: OnRButtonUp(wparam, pt); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(wparam, pt); break;
    case WM_MOUSEHOVER: OnMouseHover(wparam, lparam); break;
    case WM_MOUSELEAVE: OnMouseLeave(wparam, lparam); break;
    case WM_ERASEBKGND: return 1;
    case UM_CLOSE_WINDOW: return OnUserCloseWindow(wparam, lparam);
    default: break;
    }
    if (long r = m_pm.OnWindowMessage(msg, wparam, lparam))
        return r;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MDialog::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

int MDialog::OnInitDialog() {
    m_pm.Init(m_hwnd, this);
    m_client = GetClientRect();
    InitUI(m_client);
    return 1;
}

void MDialog::OnDestroyMessage(WindowHandle hwnd) {
    if (hwnd == m_pm.GetHwnd())
        m_pm.DestroyData();
    PostNcDestroy();
}

CPoint MDialog::GetAirBladderPoint(MControl* control, unsigned type) {
    if (!control)
        return {};
    CRect r = control->GetRect();
    int x = type == 0 ? r.left : type == 1 ? r.left + r.Width() / 2 : r.right;
    return ClientToScreen(CPoint(x, r.bottom));
}

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void MDialog::OnMaximize() { ShowWindow(IsZoomed() ? SW_RESTORE : SW_MAXIMIZE); }

long MDialog::OnUserCloseWindow(unsigned result, long) {
    PostMessageW(WM_CLOSE, result, 0);
    return 1;
}

int MDialog::OnCreate() {
    ModifyStyle(~0xFF3BFFFFu, 0x06000008u);
    return 1;
}

int MDialog::OnSize(unsigned type, int cx, int cy) {
    if (type == SIZE_MINIMIZED)
        return 0;
    SetupBackTranslucent();
    m_client = CRect(0, 0, cx, cy);
    if (cx > 1 && cy > 1)
        UISize(m_client);
    m_pm.Invalidate();
    return 0;
}

MControl* MDialog::CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                 int visible, int enabled) {
    return m_pm.CreateControl(class_name, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                              int enabled) {
    return m_pm.CreateArea(class_name, id, rect, title, visible, enabled);
}

void MDialog::SetupBackTranslucent() {
    if (m_alpha != 255 || m_colorKey != 0xFFFFFF)
        m_pm.SetLayeredWindow(1);
}

} // namespace TavikUI
