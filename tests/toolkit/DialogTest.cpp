// Dialogs and the loop: modal results, nesting, quit, per-control and animation timers, cross-thread posts.
#include "ToolkitTestSupport.h"

#include <thread>

namespace toolkit_test {
namespace {

using Dialogs = ToolkitTest;

// Catches a modal loop that returns the wrong code for each way of closing.
TEST_F(Dialogs, ModalResultsFollowTheCloseCall) {
    struct Case {
        const char* how;
        void (*close)(MDialog&);
        unsigned expected;
    };
    const Case cases[] = {
        {"DoOK", [](MDialog& d) { d.DoOK(); }, 1},         {"DoCancel", [](MDialog& d) { d.DoCancel(); }, 2},
        {"DoClose", [](MDialog& d) { d.DoClose(); }, 2},   {"DoYes", [](MDialog& d) { d.DoYes(); }, 6},
        {"DoNo", [](MDialog& d) { d.DoNo(); }, 7},
        {"destroyed", [](MDialog& d) { Manager::PostTask([&d] { d.DestroyWindow(); }); }, 0},
    };
    ProbeDialog& owner = Dialog();
    for (const Case& c : cases) {
        ProbeDialog child;
        ASSERT_NE(child.Create(owner.GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 200, 100)), 0u);
        c.close(child);
        EXPECT_EQ(child.ShowModal(SW_SHOW), c.expected) << c.how;
        EXPECT_FALSE(child.IsWindow());
        EXPECT_TRUE(owner.IsWindowEnabled()) << c.how;
    }
    ProbeDialog never;
    EXPECT_EQ(never.ShowModal(SW_SHOW), 0xFFFFFFFFu);
}

// Catches a modal loop that swallows WM_QUIT, so an outer loop would never end.
TEST_F(Dialogs, QuitInsideModalLoopIsRepostedForTheOuterLoop) {
    ProbeDialog& owner = Dialog();
    ProbeDialog child;
    child.Create(owner.GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 200, 100));
    Manager::PostQuitMessage(3);
    EXPECT_EQ(child.ShowModal(SW_SHOW), 0u);
    EXPECT_TRUE(child.IsWindow());
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(Manager::MessageLoop(), 3);
}

// Catches nested modal loops that end the outer dialog with the inner one's result.
TEST_F(Dialogs, NestedModalDialogsReturnTheirOwnResults) {
    ProbeDialog& owner = Dialog();
    ProbeDialog outer;
    outer.Create(owner.GetSafeHwnd(), L"outer", WS_POPUP, 0, CRect(0, 0, 300, 200));
    unsigned inner_result = 0;
    Manager::PostTask([&] {
        EXPECT_FALSE(owner.IsWindowEnabled());
        ProbeDialog inner;
        inner.Create(outer.GetSafeHwnd(), L"inner", WS_POPUP, 0, CRect(0, 0, 100, 100));
        inner.DoYes();
        inner_result = inner.ShowModal(SW_SHOW);
        EXPECT_TRUE(outer.IsWindowEnabled());
        outer.DoNo();
    });
    EXPECT_EQ(outer.ShowModal(SW_SHOW), 7u);
    EXPECT_EQ(inner_result, 6u);
}

// Catches a second SetTimer that silently changes the period, and a restart that takes a new id.
TEST_F(Dialogs, ControlTimerRestartsUnderTheSameId) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(0, 0, 10, 10));
    ProbeControl* b = dlg.AddProbe(2, CRect(0, 0, 10, 10));
    PaintManager& pm = dlg.m_pm;
    ASSERT_EQ(pm.SetTimer(a, 5, 40), 1);
    const unsigned id = pm.GetControlTimerId(a, 5);
    EXPECT_EQ(id, 17u);
    EXPECT_EQ(pm.SetTimer(a, 5, 90), 0);
    EXPECT_EQ(Manager::GetTimerPeriod(dlg.GetSafeHwnd(), id), 40u);
    ASSERT_EQ(pm.KillTimer(a, 5), 1);
    EXPECT_FALSE(Manager::IsTimerRunning(dlg.GetSafeHwnd(), id));
    EXPECT_EQ(pm.SetTimer(a, 5, 90), 1);
    EXPECT_EQ(pm.GetControlTimerId(a, 5), id);
    EXPECT_EQ(Manager::GetTimerPeriod(dlg.GetSafeHwnd(), id), 90u);
    ASSERT_EQ(pm.SetTimer(b, 5, 40), 1);
    EXPECT_EQ(pm.GetControlTimerId(b, 5), 18u);
    // A WM_TIMER reaches only the controls of live entries with that id.
    dlg.SendMessageW(WM_TIMER, id, 0);
    EXPECT_EQ(a->ticks, 1);
    EXPECT_EQ(b->ticks, 0);
    pm.KillTimer(a);
    EXPECT_EQ(pm.GetControlTimerId(a, 5), 0u);
}

// Catches a control timer that never fires through the loop.
TEST_F(Dialogs, ControlTimerFiresThroughTheLoop) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(0, 0, 10, 10));
    ASSERT_EQ(dlg.m_pm.SetTimer(a, 1, 5), 1);
    Manager::PostTask([&] {
        if (a->ticks == 0)
            Manager::PostTask([] {}); // keep the loop alive until the tick lands
    });
    for (int i = 0; i < 200 && a->ticks == 0; ++i) {
        MSG msg;
        ASSERT_TRUE(Manager::GetMessage(msg));
        Manager::DispatchMessage(msg);
    }
    EXPECT_GT(a->ticks, 0);
}

// Catches an animation timer that keeps waking while nothing visible wants ticks.
TEST_F(Dialogs, AnimationTimerSleepsUnlessAVisibleControlWantsTicks) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(0, 0, 10, 10));
    dlg.SetMTimer(10);
    EXPECT_FALSE(dlg.m_pm.IsAnimationArmed());
    a->AddMTimer();
    EXPECT_FALSE(dlg.m_pm.IsAnimationArmed());
    a->SetRunTimer(1);
    EXPECT_TRUE(dlg.m_pm.IsAnimationArmed());
    while (a->ticks == 0) {
        MSG msg;
        ASSERT_TRUE(Manager::GetMessage(msg));
        Manager::DispatchMessage(msg);
    }
    // Hidden to the tray: the next tick finds nothing to do and the timer sleeps.
    dlg.ShowWindow(SW_HIDE);
    for (int i = 0; i < 50 && dlg.m_pm.IsAnimationArmed(); ++i) {
        MSG msg;
        ASSERT_TRUE(Manager::GetMessage(msg));
        Manager::DispatchMessage(msg);
    }
    EXPECT_FALSE(dlg.m_pm.IsAnimationArmed());
    const int ticks = a->ticks;
    EXPECT_EQ(Manager::CountActiveTimers(), 0);
    dlg.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.m_pm.IsAnimationArmed());
    a->SetVisible(0);
    EXPECT_EQ(ticks, a->ticks);
}

// Catches a loop that misses messages posted from another thread (it must wake, not poll).
TEST_F(Dialogs, PostFromAnotherThreadWakesTheLoop) {
    ProbeDialog& dlg = Dialog();
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Manager::PostTask([&] { dlg.DoOK(); });
    });
    ProbeDialog child;
    child.Create(dlg.GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 50, 50));
    Manager::PostTask([&] {
        // Runs inside the modal loop; the worker's task closes the owner first, then we close the child.
        Manager::PostTask([] {});
    });
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        Manager::PostMessage(child.GetSafeHwnd(), UM_CLOSE_WINDOW, IDCANCEL, 0);
    });
    EXPECT_EQ(child.ShowModal(SW_SHOW), 2u);
    worker.join();
    closer.join();
    EXPECT_LE(m_backend->GetWakeCount(), 8);
}

// Catches centring that ignores the owner or pushes the window off the work area.
TEST_F(Dialogs, CenterWindowCentresOnTheOwnerInsideTheWorkArea) {
    ProbeDialog& owner = Dialog();
    ProbeDialog child;
    child.Create(owner.GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 100, 50));
    child.CenterWindow();
    EXPECT_EQ(child.GetWindowRect(), CRect(250, 225, 350, 275));
    owner.MoveWindow(1800, 1000, 400, 300, 0);
    child.CenterWindow();
    EXPECT_EQ(child.GetWindowRect(), CRect(1820, 1030, 1920, 1080));
    owner.ShowWindow(SW_HIDE);
    child.CenterWindow();
    EXPECT_EQ(child.GetWindowRect(), CRect(910, 515, 1010, 565));
}

// Catches a dialog whose handlers run in the wrong order around creation.
TEST_F(Dialogs, CreationRunsInitUIBeforeUISize) {
    struct Ordered : MDialog {
        std::vector<std::string> calls;
        int OnCreate() override {
            calls.push_back("create");
            return MDialog::OnCreate();
        }
        void InitUI(CRect) override { calls.push_back("init"); }
        void UISize(CRect rc) override { calls.push_back("size " + std::to_string(rc.Width())); }
        int PostNcDestroy() override {
            calls.push_back("gone");
            return 0;
        }
    } dlg;
    dlg.Create(0, L"ordered", 0, 0, CRect(0, 0, 320, 200));
    EXPECT_EQ(dlg.GetStyle() & (WS_CAPTION | WS_THICKFRAME), 0u);
    dlg.MoveWindow(0, 0, 640, 200, 1);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.calls, (std::vector<std::string>{"create", "init", "size 320", "size 640", "gone"}));
    EXPECT_EQ(dlg.m_pm.GetControls().size(), 0u);
}

} // namespace
} // namespace toolkit_test
