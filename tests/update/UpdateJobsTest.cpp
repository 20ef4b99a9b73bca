// The four update jobs against a real local server: what is asked, fetched, unpacked and started.
#include "update/UpdateJobs.h"

#include "update/ProgramStarter.h"

#include "TestFolder.h"
#include "TestHttpServer.h"
#include "ZipBuilder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

const char* const kScript = "#!/bin/sh\necho ran > \"$0.ran\"\n";

// Records what the jobs tell the window and which programs they start.
struct JobHarness {
    TestHttpServer server;
    TestFolder temp;
    std::vector<UpdateTarget> marked;
    std::vector<std::string> offered;
    std::vector<std::string> started;
    int firmware = -1;
    bool reallyStart = false;

    UpdateContext Context(const std::string& installed)
    {
        UpdateContext context;
        context.softwareBaseAddress = server.BaseAddress() + "/upgrade/";
        context.installedSoftwareVersion = installed;
        context.firmwareBaseAddress = server.BaseAddress() + "/fw/";
        context.userDataFolder = temp.Path() + "/";
        context.readFirmwareVersion = [this] { return firmware; };
        context.markUpdateAvailable = [this](UpdateTarget target) { marked.push_back(target); };
        context.offerUpdate = [this](UpdateTarget, const std::string& version) { offered.push_back(version); };
        context.startProgram = [this](const std::string& path) -> pid_t {
            started.push_back(path);
            if (!reallyStart)
                return 4242;
            pid_t pid = StartProgram(path);
            int status = 0;
            if (pid > 0)
                waitpid(pid, &status, 0);
            return pid;
        };
        return context;
    }

    bool AskedForArchive() const
    {
        std::vector<std::string> paths = server.Paths();
        return std::any_of(paths.begin(), paths.end(),
            [](const std::string& path) { return path.find(".zip") != std::string::npos; });
    }
};

} // namespace

// Catches an update started without the user's yes, the body length rule, or wrong comparisons.
TEST(UpdateJobs, SoftwareCheckOnlyMarksAndOffersNewerVersions)
{
    struct Case {
        const char* installed;
        std::optional<std::string> body; // nullopt: the server answers 404
        UpdateOutcome outcome;
    } cases[] = {
        {"1.0.2", std::string(""), UpdateOutcome::NoUpdate},
        {"1", std::string("2"), UpdateOutcome::UpdateAvailable},
        {"1.0.0.1", std::string("1.0.0.1000"), UpdateOutcome::UpdateAvailable},
        {"1.0.0.1", std::string("1.0.0.10000"), UpdateOutcome::NoUpdate},
        {"1.0.2", std::nullopt, UpdateOutcome::NoUpdate},
        {"1.0.2", std::string("1.0.10"), UpdateOutcome::UpdateAvailable},
        {"1.0", std::string("1.0.0"), UpdateOutcome::UpdateAvailable},
        {"1.2.0", std::string("1.1.9"), UpdateOutcome::NoUpdate},
        {"1.0.3", std::string("1.0.3"), UpdateOutcome::NoUpdate},
    };
    for (const Case& c : cases) {
        JobHarness harness;
        if (c.body)
            harness.server.SetRoute("/upgrade/version", TestHttpRoute{200, *c.body});
        UpdateJobs jobs(harness.Context(c.installed));
        std::string label = std::string(c.installed) + " -> " + c.body.value_or("404");
        EXPECT_EQ(jobs.CheckSoftware(), c.outcome) << label;
        bool available = c.outcome == UpdateOutcome::UpdateAvailable;
        EXPECT_EQ(harness.marked.size(), available ? 1u : 0u) << label;
        EXPECT_EQ(harness.offered, available ? std::vector<std::string>{*c.body} : std::vector<std::string>{})
            << label;
        EXPECT_FALSE(harness.AskedForArchive()) << label;
        EXPECT_TRUE(harness.started.empty()) << label;
    }
}

// Catches the hex-digits-as-decimal rule applied wrongly, or a check when the version is unreadable.
TEST(UpdateJobs, FirmwareCheckComparesReportedDigitsAsDecimal)
{
    struct Case {
        int reported;
        const char* latest;
        UpdateOutcome outcome;
    } cases[] = {
        {0x0105, "106", UpdateOutcome::UpdateAvailable},
        {0x0105, "105", UpdateOutcome::NoUpdate},
        {0x0106, "105", UpdateOutcome::NoUpdate},
        {-1, "106", UpdateOutcome::NoUpdate},
        {0x0105, "", UpdateOutcome::NoUpdate},
    };
    for (const Case& c : cases) {
        JobHarness harness;
        harness.firmware = c.reported;
        harness.server.SetRoute("/fw/version", TestHttpRoute{200, c.latest});
        UpdateJobs jobs(harness.Context("1.0"));
        EXPECT_EQ(jobs.CheckFirmware(), c.outcome) << c.reported << " vs " << c.latest;
        bool available = c.outcome == UpdateOutcome::UpdateAvailable;
        EXPECT_EQ(harness.marked, available ? std::vector<UpdateTarget>{UpdateTarget::Firmware}
                                            : std::vector<UpdateTarget>{});
        EXPECT_FALSE(harness.AskedForArchive());
    }
}

// Catches a wrong archive address or path, a kept archive, or an installer that does not really run.
TEST(UpdateJobs, SoftwareUpdateDownloadsUnpacksAndStartsInstaller)
{
    JobHarness harness;
    harness.reallyStart = true;
    harness.server.SetRoute("/upgrade/version", TestHttpRoute{200, "1.0.10"});
    ZipBuildEntry installer{"Keyboard-Software-1.0.10", kScript};
    installer.externalAttributes = 0100755u << 16;
    ZipBuilder zip;
    zip.Add(installer).AddFile("readme.txt", "notes");
    harness.server.SetRoute("/upgrade///Keyboard-Software-1.0.10.zip", TestHttpRoute{200, zip.Build()});
    std::vector<int> progress;
    UpdateContext context = harness.Context("1.0.2");
    context.progress = [&progress](int value) { progress.push_back(value); };
    UpdateJobs jobs(context);

    ASSERT_EQ(jobs.CheckSoftware(), UpdateOutcome::UpdateAvailable);
    ASSERT_EQ(jobs.UpdateSoftware(), UpdateOutcome::InstallerStarted);
    std::string folder = harness.temp / "temp/";
    EXPECT_EQ(harness.started, std::vector<std::string>{folder + "Keyboard-Software-1.0.10"});
    EXPECT_EQ(TestFolder::ReadFile(folder + "Keyboard-Software-1.0.10.ran"), "ran\n");
    EXPECT_EQ(TestFolder::ReadFile(folder + "readme.txt"), "notes");
    EXPECT_FALSE(fs::exists(folder + "Keyboard-Software-1.0.10.zip"));
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
}

// Catches a firmware update that fetches the version it lacks wrongly, or cannot start a tool
// packed on Windows (no Unix permission bits).
TEST(UpdateJobs, FirmwareUpdateFetchesVersionAndStartsWindowsPackedTool)
{
    JobHarness harness;
    harness.reallyStart = true;
    harness.server.SetRoute("/fw/version", TestHttpRoute{200, "106"});
    ZipBuildEntry tool{"FirmwareUpdateTool-106", kScript};
    tool.versionMadeBy = 0x0014; // MS-DOS host
    tool.externalAttributes = 0x20;
    harness.server.SetRoute("/fw///FirmwareUpdateTool-106.zip", TestHttpRoute{200, ZipBuilder().Add(tool).Build()});
    UpdateJobs jobs(harness.Context("1.0"));
    ASSERT_EQ(jobs.UpdateFirmware(), UpdateOutcome::InstallerStarted);
    EXPECT_EQ(TestFolder::ReadFile(harness.temp / "temp/FirmwareUpdateTool-106.ran"), "ran\n");
}

// Catches installers started after a failed download or unpack, or a stale installer started.
TEST(UpdateJobs, NothingIsStartedWhenTheArchiveDoesNotDeliverTheInstaller)
{
    ZipBuildEntry damaged{"Keyboard-Software-2.0", std::string(30000, 'x')};
    damaged.damageData = true;
    ZipBuildEntry link{"Keyboard-Software-2.0", "/bin/sh", false};
    link.externalAttributes = 0120777u << 16;
    struct Case {
        const char* what;
        std::optional<std::string> archive; // nullopt: 404
        UpdateOutcome outcome;
        bool archiveKept;
    } cases[] = {
        {"archive missing", std::nullopt, UpdateOutcome::DownloadFailed, false},
        {"not an archive", std::string("<html>error</html>"), UpdateOutcome::UnpackFailed, true},
        {"installer absent", ZipBuilder().AddFile("other.txt", "x").Build(), UpdateOutcome::NoInstaller, false},
        {"installer damaged", ZipBuilder().Add(damaged).Build(), UpdateOutcome::NoInstaller, false},
        {"installer is a link", ZipBuilder().Add(link).Build(), UpdateOutcome::NoInstaller, false},
    };
    for (const Case& c : cases) {
        JobHarness harness;
        harness.server.SetRoute("/upgrade/version", TestHttpRoute{200, "2.0"});
        if (c.archive)
            harness.server.SetRoute("/upgrade///Keyboard-Software-2.0.zip", TestHttpRoute{200, *c.archive});
        std::string folder = harness.temp / "temp/";
        fs::create_directories(folder);
        TestFolder::WriteFile(folder + "Keyboard-Software-2.0", kScript); // left from an earlier run
        UpdateJobs jobs(harness.Context("1.0"));
        EXPECT_EQ(jobs.UpdateSoftware(), c.outcome) << c.what;
        EXPECT_TRUE(harness.started.empty()) << c.what;
        EXPECT_EQ(fs::exists(folder + "Keyboard-Software-2.0.zip"), c.archiveKept) << c.what;
        if (c.outcome != UpdateOutcome::DownloadFailed) {
            EXPECT_FALSE(fs::exists(folder + "Keyboard-Software-2.0")) << c.what;
        }
    }
}
