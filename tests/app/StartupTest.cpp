// The process entry: options, start-up sequence, and the real program started as a separate process.
#include "app/Startup.h"
#include "app/CommandLine.h"

#include "platform/Folders.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "tests/platform/TestFolder.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct ProcessRun {
    int m_exit = -1;
    std::string m_out;
};

// Starts build/bin/molvane with the current environment and collects its standard output.
ProcessRun StartMolvane(const std::string& arguments) {
    const std::string command = std::string(MOLVANE_BINARY_DIR "/bin/molvane ") + arguments + " 2>&1";
    ProcessRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        run.m_out.append(buffer, n);
    const int status = pclose(pipe);
    run.m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

// Catches options being misread, and unknown or malformed options being silently accepted.
TEST(CommandLine, Options) {
    struct Case {
        std::vector<const char*> args;
        bool valid;
        bool version;
        bool simulate;
        int mode;
    } cases[] = {
        {{}, true, false, false, 0},
        {{"--version"}, true, true, false, 0},
        {{"--simulate"}, true, false, true, 0},
        {{"--simulate=2"}, true, false, true, 2},
        {{"--simulate=3"}, false, false, false, 0},
        {{"--simulate="}, false, false, false, 0},
        {{"--bogus"}, false, false, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"molvane"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        const std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(line.m_valid, c.valid) << label;
        if (!c.valid) continue;
        EXPECT_EQ(line.m_version, c.version) << label;
        EXPECT_EQ(line.m_simulate, c.simulate) << label;
        EXPECT_EQ(line.m_simulateMode, c.mode) << label;
    }
}

// Catches a catalogue name that would escape the product's folders, or a missing name changing it.
TEST(Startup, ProductNameFromCatalogue) {
    TestFolder folder;
    struct Case {
        const char* software;
        const char* product;
    } cases[] = {
        {R"(<software name="Keyboard Tool"/>)", "Keyboard Tool"},
        {R"(<software name="../../etc"/>)", "MolvaneTest"},
        {R"(<software name=".."/>)", "MolvaneTest"},
        {R"(<software name=""/>)", "MolvaneTest"},
        {R"(<software/>)", "MolvaneTest"},
        {"", "MolvaneTest"},
    };
    for (const Case& c : cases) {
        SetProductName("MolvaneTest");
        ReadProductName(folder.Write("config.xml", std::string("<config>") + c.software + "</config>"));
        EXPECT_EQ(GetProductName(), c.product) << c.software;
    }
    SetProductName("MolvaneTest");
    EXPECT_FALSE(ReadProductName(folder.Path("missing.xml")));
    EXPECT_EQ(GetProductName(), "MolvaneTest");
}

// Catches a program that fails to start, skips a start-up step, or prints a different catalogue.
TEST(Molvane, FirstStartPrintsWhatItUses) {
    TestFolder folder;
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    const ProcessRun run = StartMolvane("--simulate=1");
    unsetenv("LC_ALL");
    EXPECT_EQ(run.m_exit, 0) << run.m_out;
    EXPECT_EQ(run.m_out.rfind("Molvane\n", 0), 0u) << run.m_out;
    EXPECT_NE(run.m_out.find("user data folder: " + folder.Path("data/Molvane/")), std::string::npos)
        << run.m_out;
    EXPECT_NE(run.m_out.find("language:         1031"), std::string::npos) << run.m_out;
    EXPECT_NE(run.m_out.find("keyboard \"Molvane MK71\": device type 201"), std::string::npos) << run.m_out;
    EXPECT_NE(run.m_out.find("mode 2 "), std::string::npos) << run.m_out;
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("data/Molvane/db")));
    EXPECT_EQ(TestFolder::Read(folder.Path("config/Molvane/settings.ini")), "[settings]\nLCID=2052\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("runtime/Molvane.sock"))); // removed at exit
}

// Catches a second start that runs on, fails, or changes files instead of handing over to the first.
TEST(Molvane, SecondStartActivatesTheFirstAndExits) {
    TestFolder folder;
    SetProductName("Molvane");
    SingleInstance first;
    ASSERT_EQ(first.Claim(), SingleInstance::Role::Primary);
    const ProcessRun run = StartMolvane("");
    EXPECT_EQ(run.m_exit, 0) << run.m_out;
    EXPECT_NE(run.m_out.find("already running"), std::string::npos) << run.m_out;
    EXPECT_EQ(first.AcceptCommand(), std::optional<std::string>("activate"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("config")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("data")));
}

// Catches --version printing something other than the catalogue's version, or touching files.
TEST(Molvane, VersionAndBadOptions) {
    TestFolder folder;
    const ProcessRun version = StartMolvane("--version");
    EXPECT_EQ(version.m_exit, 0);
    EXPECT_EQ(version.m_out, "Molvane 1.0.0\n");
    const ProcessRun bad = StartMolvane("--frobnicate");
    EXPECT_EQ(bad.m_exit, 2);
    EXPECT_NE(bad.m_out.find("unknown option --frobnicate"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("config")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("data")));
}
