// Starting programs apart from this one: arguments verbatim, no shell, no zombie left behind.
#include "platform/Spawn.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

std::string WaitForFile(const std::string& path)
{
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(path);
        std::stringstream text;
        if (in && (text << in.rdbuf()) && text.str().find('\n') != std::string::npos)
            return text.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

} // namespace

// Catches a user's text reaching a shell: quotes, `;` and `$( )` must arrive as one plain argument.
TEST(SpawnDetached, PassesEachArgumentVerbatim)
{
    TestFolder folder;
    const std::string out = folder.Path("args.txt");
    const std::string script = folder.Write("print-args.sh", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$OUT\"; echo >> \"$OUT\"\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    setenv("OUT", out.c_str(), 1);
    const std::string hostile = "a b; touch " + folder.Path("pwned") + " $(id) 'q\"";
    ASSERT_GT(SpawnDetached({script, hostile, "second"}), 0);
    EXPECT_EQ(WaitForFile(out), hostile + "|second|\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("pwned")));
    unsetenv("OUT");
}

// Catches a finished child left as a zombie, or a missing program reported as started.
TEST(SpawnDetached, ReapsChildrenAndRefusesMissingPrograms)
{
    pid_t pid = SpawnDetached({"true"});
    ASSERT_GT(pid, 0);
    bool reaped = false;
    for (int i = 0; i < 200 && !reaped; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        reaped = waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD;
    }
    EXPECT_TRUE(reaped);
    EXPECT_EQ(SpawnDetached({"/nonexistent/program"}), -1);
    EXPECT_EQ(SpawnDetached({}), -1);
}
