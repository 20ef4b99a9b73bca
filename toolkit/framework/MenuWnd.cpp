// Popup menu window: lays out its items, posts the chosen item to the owner, closes on click or deactivation.
#include "TavikUI/MenuWnd.h"

#include "TavikUI/ControlNotify.h"
#include "TavikUI/MRender.h"
#include "TavikUI/Manager.h"

#include <algorithm>

namespace TavikUI {

MenuWnd::MenuWnd(MObject* owner)
    : m_pm(this), m_ownerObject(owner), m_fontName(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth()) {}

MenuWnd::~MenuWnd() {
    if (m_hwnd)
        DestroyWindow();
}

int MenuWnd::Create(WindowHandle owner, CPoint origin, unsigned notify_message, const std::wstring& background,
                    int corner, int width, enumBackMode mode) {
    m_ownerWnd = owner;
    m_notifyMessage = notify_message;
    m_width = std::max(width, 1);
    if (!background.empty())
        m_pm.LoadBKImage(background);
    m_pm.SetBackMode(mode, corner);
    CRect rect(origin.x, origin.y, origin.x + m_width, origin.y + m_width);
    return MWindow::Create(owner, L"Menu Window", 0x80B, WS_EX_TOOLWINDOW, rect) ? 1 : 0;
}

int MenuWnd::OnInitDialog() {
    m_pm.Init(m_hwnd, this);
    m_pm.EnableWndDrag(0);
    InitUI(GetClientRect());
    return 1;
}

void MenuWnd::InitUI(CRect) { SetMenuPoint(); }

int MenuWnd::AddMenu(const std::wstring& text, unsigned id, const std::wstring& image, int checkable, int check) {
    CSize size = MRender::GetTextBounds(text, TextFont{m_fontName, m_fontSize, FontStyleRegular});
    if (size.cx + m_indent + 4 > m_width)
        m_width = size.cx + m_indent + 4;
    auto* item = static_cast<MenuItem*>(m_pm.CreateControl(L"MenuItem", id, CRect(), text.c_str(), 1, 1));
    if (!item)
        return -1;
    item->SetFont(m_fontName.c_str(), m_fontSize, FontStyleRegular);
    if (!image.empty())
        item->SetImage(image, 4);
    if (checkable) {
        item->SetCheckable(1);
        item->SetCheck(check);
    }
    SetMenuPoint();
    return -1;
}

void MenuWnd::AddSeparator(unsigned id, const std::wstring& image) {
    auto* item = static_cast<MenuItem*>(m_pm.CreateControl(L"MenuItem", id, CRect(), L"", 1, 1));
    if (!item)
        return;
    item->SetSeparator(1);
    if (!image.empty())
        item->SetImage(image, 1);
    SetMenuPoint();
}

MenuItem* MenuWnd::GetItem(unsigned id) { return dynamic_cast<MenuItem*>(m_pm.GetControl(id)); }

void MenuWnd::SetItemTitle(unsigned id, const std::wstring& text) {
    if (MenuItem* item = GetItem(id))
        item->SetTitle(text.c_str());
}

void MenuWnd::SetItemVisible(unsigned id, int visible) {
    if (MenuItem* item = GetItem(id)) {
        item->SetVisible(visible);
        SetMenuPoint();
    }
}

void MenuWnd::SetItemEnable(unsigned id, int enabled) {
    if (MenuItem* item = GetItem(id))
        item->SetEnabled(enabled);
}

void MenuWnd::SetItemCheck(unsigned id, int check) {
    if (MenuItem* item = GetItem(id))
        item->SetCheck(check);
}

void MenuWnd::SetMenuPoint() {
    int y = m_topMargin ? m_topMargin : 2;
    for (auto& c : m_pm.GetControls()) {
        auto* item = dynamic_cast<MenuItem*>(c.get());
        if (!item)
            continue;
        if (!item->IsVisible()) {
            item->SetControlRect(CRect());
            continue;
        }
        if (item->IsSeparator()) {
            item->SetControlRect(CRect(m_indent + 1, y + 1, m_width - 1, y + 2));
            y += 4;
        } else {
            item->SetControlRect(CRect(2, y, m_width - 2, y + m_itemHeight));
            item->SetTextIndent(item->GetImage() ? 30 : m_indent);
            y += m_itemHeight;
        }
        item->SetUpdate(0, 0);
    }
    if (!m_hwnd)
        return;
    CRect rc = GetWindowRect();
    MoveWindow(rc.left, rc.top, m_width, y + (m_bottomMargin ? m_bottomMargin : 2), 0);
    m_pm.Invalidate();
}

long MenuWnd::OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) {
    return OnMessage(id, code, wparam, lparam);
}

long MenuWnd::OnControlUpdate(CRect rect, int dirty, MControl* control) {
    return m_pm.OnControlUpdate(rect, dirty, control);
}

long MenuWnd::OnMessage(unsigned id, unsigned code, unsigned wparam, long) {
    SendMessageToParent(id, code, wparam, static_cast<long>(id));
    if (code == NOTIFY_CLICK)
        CloseWindow();
    return 0;
}

void MenuWnd::SendMessageToParent(unsigned, unsigned, unsigned wparam, long lparam) {
    if (m_ownerWnd)
        Manager::PostMessage(m_ownerWnd, m_notifyMessage, wparam, lparam);
}

void MenuWnd::CloseWindow() {
    if (m_closing || !m_hwnd)
        return;
    m_closing = true;
    PostMessageW(WM_CLOSE, 0, 0);
}

long MenuWnd::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    switch (msg) {
    case WM_CREATE:
        ModifyStyle(~0xFF3BFFFFu, 0x06000008u);
        ModifyExStyle(~0u, WS_EX_TOOLWINDOW);
        break;
    case WM_SHOWWINDOW:
        Manager::SetActivePopup(wparam ? this : nullptr);
        break;
    case WM_NCACTIVATE:
        if (!wparam)
            CloseWindow();
        break;
    case UM_CLOSE_WINDOW:
        PostMessageW(WM_CLOSE, wparam, 0);
        return 1;
    default:
        break;
    }
    if (long r = m_pm.OnWindowMessage(msg, wparam, lparam))
        return r;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MenuWnd::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

void MenuWnd::OnDestroyMessage(WindowHandle) {
    m_pm.DestroyData();
    PostNcDestroy();
}

int MenuWnd::PostNcDestroy() {
    delete this;
    return 0;
}

} // namespace TavikUI
