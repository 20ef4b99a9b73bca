// The worker's order and drop rules, its queues across threads, and the controller's jobs with no keyboard.
#include "app/JobWorker.h"
#include "app/JobCodes.h"
#include "app/JobQueue.h"
#include "app/KeyboardController.h"
#include "keys/CustomKeyModel.h"
#include "keys/IMacroSource.h"
#include "keys/SoftwarePlayback.h"
#include "keys/VHidev.h"
#include "link/DeviceLink.h"
#include "link/PacingClock.h"
#include "sim/KeyboardEmulator.h"
#include "tests/app/ServiceTestSupport.h"

#include <filesystem>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;

class FakeRunner final : public IJobRunner {
public:
    bool DeviceJobsAllowed() override { return m_keyboard; }
    bool RunJob(int code) override {
        m_log.push_back("job " + std::to_string(code));
        return true;
    }
    void PlayMacro(int macroId) override { m_log.push_back("macro " + std::to_string(macroId)); }
    bool m_keyboard = false;
    std::vector<std::string> m_log;
};

class FakeFrontEnd final : public IControllerFrontEnd {
public:
    void EnableWindow(bool enabled) override { m_log.push_back(enabled ? "enable" : "disable"); }
    void CloseWaitDialog() override { m_log.push_back("close wait"); }
    void OpenWaitDialog() override { m_log.push_back("open wait"); }
    void JobFinished(int code, JobOutcome outcome) override {
        const char* names[] = {"done", "failed", "dropped"};
        m_log.push_back(std::to_string(code) + " " + names[static_cast<int>(outcome)]);
    }
    std::vector<std::string> m_log;
};

// Catches device jobs running (or write jobs leaving the wait dialog open) with no keyboard, and
// the scans or program update being dropped.
TEST(JobWorker, WithoutKeyboardOnlyScansAndProgramJobsRun) {
    JobQueue queue;
    FakeRunner runner;
    FakeFrontEnd frontEnd;
    VirtualPacingClock clock;
    JobWorker worker(queue, runner, frontEnd, &clock);
    for (int code : {4, 5, 6, 7, 8, 10, 13, 15, 1, 2, 3, 12, 14})
        queue.PushJob(code);
    while (!queue.JobsEmpty())
        worker.RunOnce();
    EXPECT_EQ(runner.m_log, (std::vector<std::string>{"job 1", "job 2", "job 3", "job 12", "job 14"}));
    const std::vector<std::string> expected = {
        "4 dropped",  "5 dropped", "close wait", "6 dropped",  "close wait", "7 dropped",
        "close wait", "8 dropped", "close wait", "10 dropped", "13 dropped", "15 dropped",
        "1 done",     "2 done",    "3 done",     "12 done",    "14 done"};
    EXPECT_EQ(frontEnd.m_log, expected);
    EXPECT_EQ(clock.Now(), 0us) << "no pause after a job that did not run";
}

// Catches a device job running with the window enabled, the wait dialog staying open, the pause
// after a write being skipped, or more than one job or macro taken per pass.
TEST(JobWorker, DeviceJobsRunDisabledOneJobAndOneMacroPerPass) {
    JobQueue queue;
    FakeRunner runner;
    runner.m_keyboard = true;
    FakeFrontEnd frontEnd;
    VirtualPacingClock clock;
    JobWorker worker(queue, runner, frontEnd, &clock);
    queue.PushMacro(9);
    queue.PushMacro(10);
    queue.PushJob(JOB_WRITE_PROFILE);
    queue.PushJob(JOB_READ_DEVICE);
    worker.RunOnce();
    EXPECT_EQ(runner.m_log, (std::vector<std::string>{"job 6", "macro 9"}));
    EXPECT_EQ(frontEnd.m_log, (std::vector<std::string>{"disable", "close wait", "enable", "6 done"}));
    EXPECT_EQ(clock.Now(), 100ms);
    worker.RunOnce();
    EXPECT_EQ(runner.m_log.back(), "macro 10");
    EXPECT_EQ(frontEnd.m_log.back(), "5 done");
    EXPECT_EQ(clock.Now(), 100ms) << "a read is no write: no pause";
}

// Catches lost or reordered jobs and macros when several threads queue them while the worker runs,
// and a worker that cannot be stopped while it waits for work.
TEST(JobWorker, QueuesAreSafeAcrossThreads) {
    JobQueue queue;
    FakeRunner runner;
    runner.m_keyboard = true;
    FakeFrontEnd frontEnd;
    VirtualPacingClock clock;
    JobWorker worker(queue, runner, frontEnd, &clock);
    ASSERT_TRUE(worker.StartWorker());
    EXPECT_FALSE(worker.StartWorker());
    constexpr int kPerThread = 200;
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t)
        producers.emplace_back([&queue, t] {
            for (int i = 0; i < kPerThread; ++i) {
                queue.PushMacro(t * 1000 + i);
                if (i % 50 == 0) queue.PushJob(JOB_SELECT_DEVICE);
            }
        });
    for (std::thread& p : producers)
        p.join();
    ASSERT_TRUE(queue.WaitUntilIdle(10s));
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
    std::vector<int> last(4, -1);
    int macros = 0;
    for (const std::string& entry : runner.m_log) {
        if (!entry.starts_with("macro ")) continue;
        const int id = std::stoi(entry.substr(6));
        EXPECT_GT(id % 1000, last[id / 1000]) << "macros of one producer played out of order";
        last[id / 1000] = id % 1000;
        ++macros;
    }
    EXPECT_EQ(macros, 4 * kPerThread);
    EXPECT_EQ(std::count(runner.m_log.begin(), runner.m_log.end(), "job 4"), 16);
}

// Catches a lighting change skipping its upload because a job that already started still sits at the front.
TEST(JobQueue, AStartedJobIsNoLongerWaiting) {
    JobQueue queue;
    queue.PushJob(JOB_WRITE_LIGHTING);
    EXPECT_TRUE(queue.HasWaitingJob(JOB_WRITE_LIGHTING));
    queue.MarkFrontRunning();
    EXPECT_FALSE(queue.HasWaitingJob(JOB_WRITE_LIGHTING));
    queue.PushJob(JOB_WRITE_LIGHTING);
    EXPECT_TRUE(queue.HasWaitingJob(JOB_WRITE_LIGHTING));
    queue.PopJob();
    EXPECT_TRUE(queue.HasWaitingJob(JOB_WRITE_LIGHTING)) << "the second one has not started";
    EXPECT_FALSE(queue.HasWaitingJob(JOB_WRITE_KEY_COLOURS));
}

class NoKeyboardFrontEnd final : public IControllerFrontEnd {
public:
    void OpenWaitDialog() override { ++m_open; }
    void CloseWaitDialog() override { ++m_closed; }
    void JobFinished(int code, JobOutcome outcome) override {
        if (code == JOB_WRITE_PROFILE) m_profileWrite = outcome;
    }
    std::atomic<int> m_open{0}, m_closed{0};
    std::optional<JobOutcome> m_profileWrite;
};

// Catches a profile deletion failing, hanging or leaving the wait dialog open when the keyboard is unplugged.
TEST_F(ServiceFixture, ControllerDeletesAProfileWithNoKeyboardConnected) {
    VirtualPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock); // never plugged
    DeviceLink link(emulator.CreateBackend(), &clock);
    ProfileDatabase database;
    NoKeyboardFrontEnd frontEnd;
    KeyboardController controller(database, link, frontEnd, &clock);
    std::string error;
    ASSERT_TRUE(controller.LoadCatalogueAndLayout(error)) << error;
    controller.LoadPages(LOAD_ALL);
    controller.Start();
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    EXPECT_FALSE(controller.DeviceJobsAllowed());

    ASSERT_EQ(controller.Profiles().Items().size(), 3u);
    const int doomed = controller.Profiles().Items()[1].m_id;
    ASSERT_TRUE(controller.Profiles().DeleteProfile(1).Ok());
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    EXPECT_EQ(frontEnd.m_profileWrite, JobOutcome::Dropped);
    EXPECT_EQ(frontEnd.m_open, 1);
    EXPECT_EQ(frontEnd.m_closed, 1);
    std::string name;
    EXPECT_FALSE(database.GetProfileName(doomed, name));
    EXPECT_TRUE(emulator.State().log.empty());
    controller.Stop();
    database.Close();
}

// Catches program-run keys opening the wrong thing, addresses prefixed twice, or a profile-switch
// key not changing the current profile.
TEST_F(ServiceFixture, ControllerRunsProgramKeys) {
    VirtualPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    ProfileDatabase database;
    NoKeyboardFrontEnd frontEnd;
    KeyboardController controller(database, link, frontEnd, &clock);
    std::string error;
    ASSERT_TRUE(controller.LoadCatalogueAndLayout(error)) << error;
    controller.LoadPages(LOAD_ALL);
    const int target = controller.Profiles().Items()[2].m_id;
    struct Case {
        AssignmentKind kind;
        std::string text; // empty: the profile switch
        std::string opened;
        std::string typed;
    } cases[] = {
        {AssignmentKind::WebAddress, "example.org", "www.example.org", ""},
        {AssignmentKind::WebAddress, "www.example.org/x", "www.example.org/x", ""},
        {AssignmentKind::WebAddress, "https://example.org", "https://example.org", ""},
        {AssignmentKind::Program, "/usr/bin/true", "/usr/bin/true", ""},
        {AssignmentKind::Text, "gg wp", "", "gg wp"},
        {AssignmentKind::ProfileSwitch, "", "", ""},
    };
    const int profile = controller.Profiles().CurrentProfile();
    for (const Case& c : cases) {
        CustomKeyModel dialog(database, 0x3A, profile, c.kind);
        ASSERT_TRUE((c.text.empty() ? dialog.ApplyChoice(target) : dialog.ApplyText(c.text)).Ok());
        KeyAssignmentRecord row;
        ASSERT_TRUE(database.LoadKeyAssignment(profile, 0, 0x3A, row));
        std::string opened, typed;
        ASSERT_TRUE(controller
                        .RunKeyAction(
                            row.m_macroValue, [&](const std::string& t) { opened = t; },
                            [&](const std::string& t) { typed = t; })
                        .Ok());
        EXPECT_EQ(opened, c.opened) << c.text;
        EXPECT_EQ(typed, c.typed) << c.text;
    }
    EXPECT_EQ(controller.Profiles().CurrentProfile(), target);
    EXPECT_EQ(database.GetSelectedProfile(), target);
    database.Close();
}

class PageThreadFrontEnd final : public IControllerFrontEnd {
public:
    void RunOnPageThread(std::function<void()> task) override {
        ++m_pageTasks;
        task();
    }
    std::atomic<int> m_pageTasks{0};
};

class NoMacros final : public IMacroSource {
public:
    bool LoadMacro(int, MacroRecord&) override { return false; }
    std::vector<MacroEventRecord> LoadMacroEvents(int) override { return {}; }
};

// Catches pressed program keys being dropped, carried out on the filter's thread, opening the wrong
// target or running on release, and a profile-switch key not selecting its profile or not re-arming.
TEST_F(ServiceFixture, PressedProgramKeysRunOnTheWorker) {
    VirtualPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    ProfileDatabase database;
    PageThreadFrontEnd frontEnd;
    KeyboardController controller(database, link, frontEnd, &clock);
    std::string error;
    ASSERT_TRUE(controller.LoadCatalogueAndLayout(error)) << error;
    controller.LoadPages(LOAD_ALL);
    const int profile = controller.Profiles().CurrentProfile();
    const int target = controller.Profiles().Items()[2].m_id;
    ASSERT_NE(profile, target);
    ASSERT_TRUE(
        CustomKeyModel(database, 0x3A, profile, AssignmentKind::Program).ApplyText("/usr/bin/true").Ok());
    ASSERT_TRUE(
        CustomKeyModel(database, 0x3B, profile, AssignmentKind::WebAddress).ApplyText("example.org").Ok());
    ASSERT_TRUE(
        CustomKeyModel(database, 0x3C, profile, AssignmentKind::ProfileSwitch).ApplyChoice(target).Ok());

    VHidev device; // never opened: these keys need no virtual device
    NoMacros macros;
    SoftwarePlayback playback(device, macros, clock);
    controller.SetPlayback(&playback);
    std::mutex lock;
    std::vector<std::string> opened;
    bool openedOnFilterThread = false;
    const std::thread::id filterThread = std::this_thread::get_id();
    controller.SetKeyActionFunctions(
        [&](const std::string& what) {
            std::lock_guard guard(lock);
            opened.push_back(what);
            openedOnFilterThread |= std::this_thread::get_id() == filterThread;
        },
        nullptr);
    controller.ArmSoftwarePlayback();
    controller.Start();
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    const int arms = controller.ArmCount();

    for (int key : {0x3A, 0x3B}) {
        playback.OnFilteredKey(key, true);
        playback.OnFilteredKey(key, false);
    }
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    {
        std::lock_guard guard(lock);
        EXPECT_EQ(opened, (std::vector<std::string>{"/usr/bin/true", "www.example.org"}));
        EXPECT_FALSE(openedOnFilterThread);
    }

    playback.OnFilteredKey(0x3C, true);
    playback.OnFilteredKey(0x3C, false);
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    EXPECT_EQ(frontEnd.m_pageTasks, 1);
    EXPECT_EQ(controller.Profiles().CurrentProfile(), target);
    EXPECT_EQ(database.GetSelectedProfile(), target);
    EXPECT_EQ(controller.ArmCount(), arms + 1);
    // The filter now holds the target profile's keys, which assign nothing.
    playback.OnFilteredKey(0x3A, true);
    ASSERT_TRUE(controller.WaitUntilIdle(10s));
    {
        std::lock_guard guard(lock);
        EXPECT_EQ(opened.size(), 2u);
    }
    controller.Stop();
    controller.SetPlayback(nullptr);
    database.Close();
}

// Catches the desktop opener being handed a scheme-less address (which it takes for a missing file),
// or a program path given to the opener instead of being run.
TEST_F(ServiceFixture, DefaultOpenerRunsProgramsAndOpensAddresses) {
    VirtualPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    ProfileDatabase database;
    NoKeyboardFrontEnd frontEnd;
    KeyboardController controller(database, link, frontEnd, &clock);
    std::string error;
    ASSERT_TRUE(controller.LoadCatalogueAndLayout(error)) << error;
    controller.LoadPages(LOAD_ALL);
    const int profile = controller.Profiles().CurrentProfile();
    const std::string log = m_folder.Path("opened.txt");
    const std::string opener =
        m_folder.Write("bin/xdg-open", "#!/bin/sh\necho \"opener $1\" >> '" + log + "'\n");
    const std::string program = m_folder.Write("tool.sh", "#!/bin/sh\necho program >> '" + log + "'\n");
    ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (m_folder.Path("bin") + ":" + oldPath).c_str(), 1);
    struct Case {
        AssignmentKind kind;
        int type;
        std::string text;
        std::string logged;
    } cases[] = {
        {AssignmentKind::WebAddress, SoftwarePlayback::kTypeWebAddress, "example.org",
         "opener http://www.example.org\n"},
        {AssignmentKind::WebAddress, SoftwarePlayback::kTypeWebAddress, "https://example.org",
         "opener https://example.org\n"},
        {AssignmentKind::Program, SoftwarePlayback::kTypeProgram, program, "program\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove(log);
        ASSERT_TRUE(CustomKeyModel(database, 0x3A, profile, c.kind).ApplyText(c.text).Ok());
        KeyAssignmentRecord row;
        ASSERT_TRUE(database.LoadKeyAssignment(profile, 0, 0x3A, row));
        controller.CarryOutKeyAction(QueuedKeyAction{c.type, row.m_macroValue});
        // The started program runs apart from us: wait for its line.
        for (int i = 0; i < 500 && TestFolder::Read(log).empty(); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_EQ(TestFolder::Read(log), c.logged);
    }
    setenv("PATH", oldPath.c_str(), 1);
    database.Close();
}

} // namespace
