// Popup menus: layout, the notification to the owner, closing on click and on a click elsewhere.
#include "ToolkitTestSupport.h"

#include "TavikUI/MenuWnd.h"

namespace toolkit_test {
namespace {

using Menus = ToolkitTest;
constexpr unsigned kNotify = WM_USER + 1425;

MenuWnd* OpenMenu(ProbeDialog& owner) {
    auto* menu = new MenuWnd(&owner);
    EXPECT_EQ(menu->Create(owner.GetSafeHwnd(), CPoint(150, 150), kNotify, L"", 30, 200, BackModeNineGrid), 1);
    menu->AddMenu(L"Import profile", 301, L"");
    menu->AddSeparator(302, L"");
    menu->AddMenu(L"Export profile", 303, L"");
    return menu;
}

// Catches a layout that overlaps items or sizes the window wrongly.
TEST_F(Menus, ItemsAreLaidOutTopDown) {
    ProbeDialog& dlg = Dialog();
    MenuWnd* menu = OpenMenu(dlg);
    EXPECT_EQ(menu->GetItem(301)->GetRect(), CRect(2, 6, 198, 41));
    EXPECT_EQ(menu->GetItem(302)->GetRect(), CRect(6, 42, 199, 43));
    EXPECT_EQ(menu->GetItem(303)->GetRect(), CRect(2, 45, 198, 80));
    EXPECT_EQ(menu->GetWindowRect(), CRect(150, 150, 350, 236));
    menu->SetItemVisible(302, 0);
    EXPECT_EQ(menu->GetItem(303)->GetRect(), CRect(2, 41, 198, 76));
    menu->DestroyWindow(); // deletes the menu
}

// Catches a click that reaches the owner with the wrong words, or a menu that stays open.
TEST_F(Menus, ClickingAnItemNotifiesTheOwnerAndCloses) {
    ProbeDialog& dlg = Dialog();
    MenuWnd* menu = OpenMenu(dlg);
    const WindowHandle hwnd = menu->GetSafeHwnd();
    Manager::PostMessage(hwnd, WM_MOUSEMOVE, 0, MakeLParam(20, 60));
    Manager::PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(20, 60));
    Manager::PostMessage(hwnd, WM_LBUTTONUP, 0, MakeLParam(20, 60));
    EXPECT_EQ(menu->ShowModal(SW_SHOW), 0u);
    EXPECT_EQ(Manager::FindWnd(hwnd), nullptr);
    Manager::PumpPending();
    ASSERT_EQ(dlg.owner_messages.size(), 1u);
    EXPECT_EQ(dlg.owner_messages[0].msg, kNotify);
    EXPECT_EQ(dlg.owner_messages[0].wparam, 0u);
    EXPECT_EQ(dlg.owner_messages[0].lparam, 303);
    EXPECT_TRUE(dlg.IsWindowEnabled());
}

// Catches a menu that survives a click elsewhere, or reports that click as a choice.
TEST_F(Menus, ClickingOutsideClosesWithoutNotification) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* under = dlg.AddProbe(1, CRect(0, 0, 100, 100));
    MenuWnd* menu = OpenMenu(dlg);
    const WindowHandle hwnd = menu->GetSafeHwnd();
    Manager::PostMessage(dlg.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(20, 20));
    EXPECT_EQ(menu->ShowModal(SW_SHOW), 0u);
    EXPECT_EQ(Manager::FindWnd(hwnd), nullptr);
    Manager::PumpPending();
    EXPECT_TRUE(dlg.owner_messages.empty());
    EXPECT_EQ(under->downs, 0);
}

// Catches a checkable item that closes the menu on press or reports the state after the change.
TEST_F(Menus, CheckableItemReportsItsStateBeforeThePress) {
    ProbeDialog& dlg = Dialog();
    auto* menu = new MenuWnd(&dlg);
    menu->Create(dlg.GetSafeHwnd(), CPoint(0, 0), kNotify);
    menu->AddMenu(L"Start with the system", 401, L"", 1, 0);
    menu->ShowWindow(SW_SHOW);
    Click(*menu, 20, 20);
    Manager::PumpPending();
    EXPECT_TRUE(menu->IsWindow());
    ASSERT_EQ(dlg.owner_messages.size(), 1u);
    EXPECT_EQ(dlg.owner_messages[0].wparam, 0u);
    EXPECT_EQ(dlg.owner_messages[0].lparam, 401);
    EXPECT_EQ(menu->GetItem(401)->GetCheck(), 1);
    menu->DestroyWindow();
}

} // namespace
} // namespace toolkit_test
