// Input routing through the paint manager: hover, capture, clicks, double clicks, wheel, keys, Tab, tooltips.
#include "ToolkitTestSupport.h"

#include "TavikUI/MPanel.h"
#include "TavikUI/MScroll.h"

namespace toolkit_test {
namespace {

using InputRouting = ToolkitTest;

// Catches presses routed to the wrong control or clicks reported without a press inside.
TEST_F(InputRouting, PressAndReleaseInsideNotifyPressThenClick) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    ProbeControl* b = dlg.AddProbe(2, CRect(100, 10, 160, 60));
    Move(dlg, 20, 20);
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), a);
    Click(dlg, 120, 30);
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), b);
    EXPECT_EQ(a->downs, 0);
    EXPECT_EQ(b->downs, 1);
    EXPECT_EQ(b->last_down, CPoint(120, 30));
    const std::vector<Notification> expected = {{2, NOTIFY_PRESS, 0, 0}, {2, NOTIFY_CLICK, 0, 0}};
    EXPECT_EQ(dlg.notes, expected);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), b);
}

// Catches a pressed control that loses the pointer when it leaves its rect, or a click on release outside.
TEST_F(InputRouting, PressedControlKeepsCaptureUntilRelease) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    Move(dlg, 20, 20);
    Post(dlg, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    Manager::PumpPending();
    EXPECT_TRUE(m_backend->Find(dlg.GetSafeHwnd())->captured);
    Move(dlg, 200, 200, MK_LBUTTON);
    EXPECT_EQ(a->last_move, CPoint(200, 200));
    Post(dlg, WM_LBUTTONUP, 0, 200, 200);
    Manager::PumpPending();
    EXPECT_FALSE(m_backend->Find(dlg.GetSafeHwnd())->captured);
    EXPECT_EQ(a->ups, 1);
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), nullptr);
    ASSERT_EQ(dlg.notes.size(), 1u);
    EXPECT_EQ(dlg.notes[0].code, static_cast<unsigned>(NOTIFY_PRESS));
}

// Catches double clicks lost by controls without double-click delivery, or delivered twice.
TEST_F(InputRouting, DoubleClickIsASecondPressUnlessDeliveryIsOn) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* plain = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    ProbeControl* dbl = dlg.AddProbe(2, CRect(100, 10, 160, 60));
    dbl->SetDblClk(1);
    for (auto [c, x] : {std::pair{plain, 20}, std::pair{dbl, 120}}) {
        Click(dlg, x, 20);
        Post(dlg, WM_LBUTTONDBLCLK, MK_LBUTTON, x, 20);
        Post(dlg, WM_LBUTTONUP, 0, x, 20);
        Manager::PumpPending();
        (void)c;
    }
    EXPECT_EQ(plain->downs, 2);
    EXPECT_EQ(plain->dblclks, 0);
    EXPECT_EQ(dbl->downs, 1);
    EXPECT_EQ(dbl->dblclks, 1);
}

// Catches a panel that passes a double click to a child as a double click the child cannot take.
TEST_F(InputRouting, DoubleClickInsidePanelReachesChildAsSecondPress) {
    ProbeDialog& dlg = Dialog();
    auto* panel = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 60, CRect(0, 0, 300, 200), 1), 1));
    auto* child = static_cast<ProbeControl*>(
        panel->AddChild(std::make_unique<ProbeControl>(panel, 61, CRect(10, 10, 60, 60)), 1));
    Click(dlg, 20, 20);
    Post(dlg, WM_LBUTTONDBLCLK, MK_LBUTTON, 20, 20);
    Post(dlg, WM_LBUTTONUP, 0, 20, 20);
    Manager::PumpPending();
    EXPECT_EQ(child->downs, 2);
    EXPECT_EQ(child->dblclks, 0);
    EXPECT_EQ(child->ups, 2);
}

// Catches a hover control kept after the pointer leaves the window or the window loses activation.
TEST_F(InputRouting, LeaveAndDeactivationResetTheHoverControl) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    Move(dlg, 20, 20);
    Post(dlg, WM_MOUSELEAVE, 0, 0, 0);
    Manager::PumpPending();
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), nullptr);
    EXPECT_EQ(a->last_move, CPoint(-1, -1));
    // Deactivation while pressed releases the button at (-1, -1).
    Move(dlg, 20, 20);
    Post(dlg, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    Manager::PostMessage(dlg.GetSafeHwnd(), WM_NCACTIVATE, 0, 0);
    Manager::PumpPending();
    EXPECT_EQ(a->ups, 1);
    EXPECT_EQ(a->last_up, CPoint(-1, -1));
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), nullptr);
    EXPECT_FALSE(m_backend->Find(dlg.GetSafeHwnd())->captured);
}

// Catches wheel deltas counted wrongly or scrolled the wrong way.
TEST_F(InputRouting, WheelNotchesScrollTheHoverControl) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    Move(dlg, 20, 20);
    struct Case {
        int delta;
        std::vector<unsigned> expected;
    };
    const Case cases[] = {{-240, {1, 1}}, {120, {0}}, {60, {}}, {-360, {1, 1, 1}}};
    for (const Case& c : cases) {
        a->scrolls.clear();
        // Wheel points are in screen pixels; the dialog sits at (100, 100).
        Manager::PostMessage(dlg.GetSafeHwnd(), WM_MOUSEWHEEL, MakeWParam(0, static_cast<uint16_t>(c.delta)),
                             MakeLParam(120, 120));
        Manager::PumpPending();
        EXPECT_EQ(a->scrolls, c.expected) << c.delta;
    }
}

// Catches a scrolled panel whose wheel, offset and hit testing disagree.
TEST_F(InputRouting, ScrolledPanelShiftsChildPointsByTheOffset) {
    ProbeDialog& dlg = Dialog();
    auto* panel = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 60, CRect(0, 0, 200, 100), 1), 1));
    auto* low = static_cast<ProbeControl*>(
        panel->AddChild(std::make_unique<ProbeControl>(panel, 61, CRect(10, 150, 60, 190)), 1));
    panel->SetVirtualHeight(200);
    ASSERT_TRUE(panel->GetScrollVertical()->IsVisible());
    EXPECT_EQ(panel->GetScrollVertical()->GetRect(), CRect(193, 0, 200, 100));
    Move(dlg, 20, 60);
    for (int i = 0; i < 10; ++i) {
        Manager::PostMessage(dlg.GetSafeHwnd(), WM_MOUSEWHEEL, MakeWParam(0, static_cast<uint16_t>(-120)),
                             MakeLParam(120, 160));
        Manager::PumpPending();
    }
    EXPECT_EQ(panel->GetScrollVertical()->GetPos(), 200);
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 100));
    Click(dlg, 20, 60);
    EXPECT_EQ(low->downs, 1);
    EXPECT_EQ(low->last_down, CPoint(20, 160));
}

// Catches Tab order that skips, does not wrap, or lands on hidden or disabled controls.
TEST_F(InputRouting, TabWrapsThroughVisibleEnabledTabStops) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* c[5];
    for (unsigned i = 0; i < 5; ++i) {
        c[i] = dlg.AddProbe(i + 1, CRect(10 + 50 * i, 10, 50 + 50 * i, 40));
        c[i]->SetTabStop(1);
    }
    c[2]->SetTabStop(0);
    c[3]->SetVisible(0);
    c[4]->SetEnabled(0);
    Key(dlg, VK_TAB);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), c[0]);
    Key(dlg, VK_TAB);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), c[1]);
    Key(dlg, VK_TAB);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), c[0]);
    EXPECT_EQ(c[0]->focus_changes, (std::vector<int>{1, 0, 1}));
    // Shift+Tab with no focus goes to the last one.
    dlg.SetFocusControl(nullptr);
    Key(dlg, VK_SHIFT);
    Key(dlg, VK_TAB);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), c[1]);
    Key(dlg, VK_TAB);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), c[0]);
    Key(dlg, VK_SHIFT, false);
    // Tab was consumed by focus navigation; no control saw it as a key.
    for (const auto& k : c[0]->keys)
        EXPECT_NE(k.first, static_cast<unsigned>(VK_TAB));
}

// Catches keys offered with the wrong modifier word, or not descending to the focused child.
TEST_F(InputRouting, KeysReachTheFocusedChildWithModifiers) {
    ProbeDialog& dlg = Dialog();
    auto* panel = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 60, CRect(0, 0, 300, 200), 1), 1));
    auto* child = static_cast<ProbeControl*>(
        panel->AddChild(std::make_unique<ProbeControl>(panel, 61, CRect(10, 10, 60, 60)), 1));
    Click(dlg, 20, 20);
    ASSERT_EQ(dlg.m_pm.GetFocusControl(), child);
    struct Case {
        std::vector<unsigned> held;
        unsigned expected;
    };
    const Case cases[] = {{{}, 0}, {{VK_SHIFT}, 16}, {{VK_CONTROL}, 17}, {{VK_MENU}, 18}, {{VK_SHIFT, VK_MENU}, 18}};
    for (const Case& c : cases) {
        child->keys.clear();
        for (unsigned k : c.held)
            Key(dlg, k);
        Key(dlg, 'A');
        for (unsigned k : c.held)
            Key(dlg, k, false);
        ASSERT_FALSE(child->keys.empty());
        EXPECT_EQ(child->keys.back(), std::make_pair(unsigned('A'), c.expected));
    }
}

// Catches a tooltip re-shown on every move inside a control.
TEST_F(InputRouting, TooltipShowsOncePerEntry) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(7, CRect(10, 10, 60, 60));
    dlg.AddProbe(8, CRect(100, 10, 160, 60));
    a->SetTooltip(L"Lighting");
    for (int x = 15; x < 40; x += 5)
        Move(dlg, x, 20);
    EXPECT_EQ(dlg.m_pm.GetTooltipShowCount(), 1);
    EXPECT_EQ(dlg.m_pm.GetTooltipOwner(), 7u);
    EXPECT_EQ(dlg.m_pm.GetTooltipText(), L"Lighting");
    Move(dlg, 120, 20);
    EXPECT_EQ(dlg.m_pm.GetTooltipOwner(), 0u);
    Move(dlg, 20, 20);
    EXPECT_EQ(dlg.m_pm.GetTooltipShowCount(), 2);
}

// Catches window drag starting on a control, or not starting on a free spot.
TEST_F(InputRouting, PressOnFreeSpotDragsTheWindow) {
    ProbeDialog& dlg = Dialog();
    dlg.AddProbe(1, CRect(10, 10, 60, 60));
    Post(dlg, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    Post(dlg, WM_MOUSEMOVE, MK_LBUTTON, 40, 50);
    Post(dlg, WM_LBUTTONUP, 0, 40, 50);
    Manager::PumpPending();
    EXPECT_EQ(dlg.GetWindowRect().TopLeft(), CPoint(100, 100));
    Post(dlg, WM_LBUTTONDOWN, MK_LBUTTON, 200, 200);
    Post(dlg, WM_MOUSEMOVE, MK_LBUTTON, 230, 190);
    Post(dlg, WM_LBUTTONUP, 0, 130, 90);
    Manager::PumpPending();
    EXPECT_EQ(dlg.GetWindowRect(), CRect(130, 90, 530, 390));
    EXPECT_EQ(m_backend->Find(dlg.GetSafeHwnd())->rect, CRect(130, 90, 530, 390));
    dlg.EnableWndDrag(0);
    Post(dlg, WM_LBUTTONDOWN, MK_LBUTTON, 200, 200);
    Post(dlg, WM_MOUSEMOVE, MK_LBUTTON, 260, 260);
    Manager::PumpPending();
    EXPECT_EQ(dlg.GetWindowRect().TopLeft(), CPoint(130, 90));
}

// Catches input delivered to a window that a modal child disabled.
TEST_F(InputRouting, DisabledWindowIgnoresInput) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    dlg.EnableWindow(0);
    Click(dlg, 20, 20);
    EXPECT_EQ(a->downs, 0);
    dlg.EnableWindow(1);
    Click(dlg, 20, 20);
    EXPECT_EQ(a->downs, 1);
}

} // namespace
} // namespace toolkit_test
