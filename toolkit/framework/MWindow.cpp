// Top-level window: creation, default message handling, the modal loop and small window operations.
#include "TavikUI/MWindow.h"

#include "TavikUI/Manager.h"

#include <algorithm>

namespace TavikUI {

namespace {
// Paints of one window are at least this far apart; the loop waits instead of sleeping after a paint.
constexpr auto kPaintInterval = std::chrono::milliseconds(15);
} // namespace

MWindow::~MWindow() {
    if (m_hwnd)
        DestroyWindow();
}

WindowHandle MWindow::Create(WindowHandle parent, const wchar_t* name, uint32_t style, uint32_t ex_style,
                             CRect rect) {
    if (m_hwnd)
        return m_hwnd;
    m_parent = parent;
    m_style = style;
    m_exStyle = ex_style;
    Backend* backend = Manager::GetBackend();
    WindowKind kind = (ex_style & WS_EX_TOOLWINDOW) ? WindowKind::Popup : WindowKind::Normal;
    WindowHandle hwnd = backend ? backend->CreateWindow(kind, name ? name : L"", rect, parent) : 0;
    if (!hwnd) {
        OnInitDialog();
        return 0;
    }
    m_hwnd = hwnd;
    m_rect = rect;
    m_title = name ? name : L"";
    m_visible = false;
    m_enabled = true;
    m_minimized = m_maximized = false;
    m_update = CRect();
    Manager::AddWnd(this);
    HandleMessage(WM_NCCREATE, 0, 0);
    HandleMessage(WM_CREATE, 0, 0);
    OnInitDialog();
    if (m_hwnd != hwnd)
        return 0; // destroyed while initialising
    HandleMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(rect.Width(), rect.Height()));
    if (m_style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return m_hwnd;
}

long MWindow::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wparam == HTCAPTION)
            BeginDrag(CPoint(GetXLParam(lparam), GetYLParam(lparam)));
        return 0;
    default:
        return 0;
    }
}

long MWindow::HandleMessage(unsigned msg, unsigned wparam, long lparam) {
    switch (msg) {
    case WM_MOVE:
        m_rect = CRect(GetXLParam(lparam), GetYLParam(lparam), GetXLParam(lparam) + m_rect.Width(),
                       GetYLParam(lparam) + m_rect.Height());
        break;
    case WM_SIZE:
        if (wparam != SIZE_MINIMIZED) {
            m_rect.right = m_rect.left + GetXLParam(lparam);
            m_rect.bottom = m_rect.top + GetYLParam(lparam);
            m_minimized = false;
        }
        break;
    case UM_EXPOSE:
        InvalidateRect(GetClientRect(), 0);
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging) {
            CPoint screen = ClientToScreen(CPoint(GetXLParam(lparam), GetYLParam(lparam)));
            if (Backend* b = Manager::GetBackend())
                b->GetCursorScreenPos(screen);
            MoveWindow(m_dragWindowStart.x + screen.x - m_dragScreenStart.x,
                       m_dragWindowStart.y + screen.y - m_dragScreenStart.y, m_rect.Width(), m_rect.Height(), 0);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            if (Backend* b = Manager::GetBackend())
                b->SetCapture(m_hwnd, false);
            return 0;
        }
        break;
    case WM_NCACTIVATE:
        if (!wparam && m_dragging)
            m_dragging = false;
        break;
    default:
        break;
    }
    long result = OnWindowMessage(msg, wparam, lparam);
    // A paint nobody handled still validates the region, or the loop would send WM_PAINT forever.
    if (msg == WM_PAINT && m_hwnd) {
        m_update = CRect();
        NotePainted();
    }
    return result;
}

void MWindow::BeginDrag(CPoint client_pt) {
    m_dragging = true;
    m_dragScreenStart = ClientToScreen(client_pt);
    if (Backend* b = Manager::GetBackend()) {
        b->GetCursorScreenPos(m_dragScreenStart);
        b->SetCapture(m_hwnd, true);
    }
    m_dragWindowStart = m_rect.TopLeft();
}

int MWindow::ShowWindow(int cmd) {
    Backend* backend = Manager::GetBackend();
    if (!m_hwnd || !backend)
        return 0;
    int was_visible = m_visible ? 1 : 0;
    switch (cmd) {
    case SW_HIDE:
        backend->ShowWindow(m_hwnd, false);
        m_visible = false;
        break;
    case SW_MINIMIZE:
        backend->MinimizeWindow(m_hwnd);
        m_minimized = true;
        HandleMessage(WM_SIZE, SIZE_MINIMIZED, MakeLParam(m_rect.Width(), m_rect.Height()));
        break;
    case SW_MAXIMIZE:
        if (!m_maximized) {
            m_restoreRect = m_rect;
            m_maximized = true;
            CRect work = backend->GetWorkArea(m_rect);
            MoveWindow(&work, 1);
        }
        backend->ShowWindow(m_hwnd, true);
        m_visible = true;
        break;
    case SW_RESTORE:
        if (m_maximized) {
            m_maximized = false;
            MoveWindow(&m_restoreRect, 1);
        }
        [[fallthrough]];
    default:
        backend->ShowWindow(m_hwnd, true);
        m_visible = true;
        m_minimized = false;
        break;
    }
    if (m_hwnd && m_visible != static_cast<bool>(was_visible)) {
        HandleMessage(WM_SHOWWINDOW, m_visible ? 1 : 0, 0);
        if (m_visible)
            InvalidateRect(GetClientRect(), 0);
    }
    return was_visible;
}

int MWindow::DestroyWindow() {
    if (!m_hwnd || m_destroying)
        return 0;
    m_destroying = true;
    WindowHandle hwnd = m_hwnd;
    HandleMessage(WM_DESTROY, 0, 0);
    HandleMessage(WM_NCDESTROY, 0, 0);
    FinishDestroy(hwnd);
    // The object may delete itself here (menus do), so nothing after this touches it.
    OnDestroyMessage(hwnd);
    return 1;
}

void MWindow::FinishDestroy(WindowHandle hwnd) {
    if (Backend* backend = Manager::GetBackend())
        backend->DestroyWindow(hwnd);
    Manager::KillWindowTimers(hwnd);
    Manager::DeleteWnd(this);
    m_hwnd = 0;
    m_visible = false;
    m_dragging = false;
    m_update = CRect();
    m_destroying = false;
}

unsigned MWindow::ShowModal(int cmd_show) {
    if (!m_hwnd)
        return 0xFFFFFFFF;
    const WindowHandle self = m_hwnd;
    const WindowHandle owner_hwnd = m_parent;
    if (MWindow* owner = Manager::FindWnd(owner_hwnd))
        owner->EnableWindow(0);
    ShowWindow(cmd_show);
    unsigned result = 0;
    bool quit = false;
    int quit_code = 0;
    while (Manager::FindWnd(self)) {
        MSG msg;
        if (!Manager::GetMessage(msg)) {
            quit = true;
            quit_code = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            result = msg.wParam;
            if (MWindow* owner = Manager::FindWnd(owner_hwnd)) {
                owner->EnableWindow(1);
                owner->SetFocus();
            }
        }
        MWindow* target = Manager::FindWnd(msg.hwnd);
        if (!target || !target->PreTranslateMessage(&msg))
            Manager::DispatchMessage(msg);
    }
    if (MWindow* owner = Manager::FindWnd(owner_hwnd)) {
        owner->EnableWindow(1);
        owner->SetFocus();
    }
    if (quit)
        Manager::PostQuitMessage(quit_code);
    return result;
}

void MWindow::CenterWindow(MWindow* relative_to) {
    Backend* backend = Manager::GetBackend();
    if (!m_hwnd || !backend)
        return;
    MWindow* ref = relative_to ? relative_to : Manager::FindWnd(m_parent);
    if (ref && (!ref->IsWindowVisible() || ref->IsIconic()))
        ref = nullptr;
    CRect bound = backend->GetWorkArea(ref ? ref->GetWindowRect() : m_rect);
    CPoint centre = ref ? ref->GetWindowRect().CenterPoint() : bound.CenterPoint();
    int w = m_rect.Width();
    int h = m_rect.Height();
    int left = centre.x - w / 2;
    int top = centre.y - h / 2;
    if (left + w > bound.right)
        left = bound.right - w;
    left = std::max(left, bound.left);
    if (top + h > bound.bottom)
        top = bound.bottom - h;
    top = std::max(top, bound.top);
    MoveWindow(left, top, w, h, 0);
}

int MWindow::MoveWindow(int x, int y, int cx, int cy, int repaint) {
    CRect rc(x, y, x + cx, y + cy);
    return MoveWindow(&rc, repaint);
}

int MWindow::MoveWindow(const CRect* rect, int repaint) {
    Backend* backend = Manager::GetBackend();
    if (!m_hwnd || !backend || !rect)
        return 0;
    bool resized = rect->Width() != m_rect.Width() || rect->Height() != m_rect.Height();
    bool moved = rect->left != m_rect.left || rect->top != m_rect.top;
    backend->MoveWindow(m_hwnd, *rect);
    m_rect = *rect;
    if (moved)
        OnWindowMessage(WM_MOVE, 0, MakeLParam(rect->left, rect->top));
    if (resized)
        HandleMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(rect->Width(), rect->Height()));
    if (repaint && m_hwnd)
        InvalidateRect(GetClientRect(), 0);
    return 1;
}

int MWindow::EnableWindow(int enable) {
    if (!m_hwnd)
        return 0;
    int was_disabled = m_enabled ? 0 : 1;
    m_enabled = enable != 0;
    return was_disabled;
}

unsigned MWindow::SetTimer(unsigned id, unsigned ms) {
    return m_hwnd && Manager::SetTimer(m_hwnd, id, ms) ? id : 0;
}

int MWindow::KillTimer(unsigned id) { return m_hwnd && Manager::KillTimer(m_hwnd, id) ? 1 : 0; }

void MWindow::SetCapture() {
    if (Backend* b = Manager::GetBackend(); b && m_hwnd)
        b->SetCapture(m_hwnd, true);
}

int MWindow::ReleaseCapture() {
    Backend* b = Manager::GetBackend();
    if (!b || !m_hwnd)
        return 0;
    b->SetCapture(m_hwnd, false);
    return 1;
}

void MWindow::SetFocus() {
    if (Backend* b = Manager::GetBackend(); b && m_hwnd && m_visible)
        b->RaiseWindow(m_hwnd);
}

int MWindow::ModifyStyle(uint32_t remove, uint32_t add) {
    uint32_t style = (m_style & ~remove) | add;
    if (style == m_style)
        return 0;
    m_style = style;
    return 1;
}

int MWindow::ModifyExStyle(uint32_t remove, uint32_t add) {
    uint32_t style = (m_exStyle & ~remove) | add;
    if (style == m_exStyle)
        return 0;
    m_exStyle = style;
    return 1;
}

CRect MWindow::GetClientRect() const { return m_hwnd ? CRect(0, 0, m_rect.Width(), m_rect.Height()) : CRect(); }

CRect MWindow::ClientToScreen(CRect rc) const {
    rc.OffsetRect(m_rect.left, m_rect.top);
    return rc;
}

CRect MWindow::ScreenToClient(CRect rc) const {
    rc.OffsetRect(-m_rect.left, -m_rect.top);
    return rc;
}

void MWindow::SetWindowTextW(const std::wstring& text) {
    if (!m_hwnd)
        return;
    m_title = text;
    if (Backend* b = Manager::GetBackend())
        b->SetTitle(m_hwnd, text);
}

void MWindow::InvalidateRect(CRect rect, int) {
    if (!m_hwnd)
        return;
    CRect clipped = rect.Intersect(GetClientRect());
    if (clipped.IsRectEmpty())
        return;
    bool was_clean = m_update.IsRectEmpty();
    m_update = m_update.Union(clipped);
    // Wake a loop waiting without timeout so it notices the new update region.
    if (was_clean)
        if (Backend* b = Manager::GetBackend())
            b->Wake();
}

CRect MWindow::TakeUpdateRegion() {
    CRect r = m_update;
    m_update = CRect();
    return r;
}

void MWindow::NotePainted() { m_nextPaint = std::chrono::steady_clock::now() + kPaintInterval; }

void MWindow::UpdateWindow() {
    if (m_hwnd && HasUpdateRegion())
        HandleMessage(WM_PAINT, 0, 0);
}

long MWindow::SendMessageW(unsigned msg, unsigned wparam, long lparam) {
    return m_hwnd ? HandleMessage(msg, wparam, lparam) : 0;
}

void MWindow::PostMessageW(unsigned msg, unsigned wparam, long lparam) {
    if (m_hwnd)
        Manager::PostMessage(m_hwnd, msg, wparam, lparam);
}

void MWindow::BringToTop() {
    if (!m_hwnd)
        return;
    ShowWindow(m_minimized ? SW_RESTORE : SW_SHOW);
    if (Backend* b = Manager::GetBackend())
        b->RaiseWindow(m_hwnd);
}

void MWindow::SetCursor(CursorKind cursor) {
    if (Backend* b = Manager::GetBackend(); b && m_hwnd)
        b->SetCursor(m_hwnd, cursor);
}

} // namespace TavikUI
