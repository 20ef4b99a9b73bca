// One copy per user, checked with two real processes sharing the lock file and socket.
#include "platform/SingleInstance.h"

#include "TestFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `body` in a forked child and returns its exit status.
template <typename Body> pid_t Fork(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

int WaitExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

char ReadByte(int fd) {
    char c = 0;
    pollfd waiter{fd, POLLIN, 0};
    if (poll(&waiter, 1, 5000) == 1 && read(fd, &c, 1) == 1) return c;
    return 0;
}

// Child: claims, reports its role on the pipe, then (as primary) waits for one command and
// reports whether it was "activate".
int PrimaryChild(int reportFd) {
    SingleInstance instance;
    if (instance.Claim() != SingleInstance::Role::Primary || instance.GetListenFd() < 0) return 1;
    if (write(reportFd, "P", 1) != 1) return 2;
    pollfd waiter{instance.GetListenFd(), POLLIN, 0};
    if (poll(&waiter, 1, 5000) != 1) return 3;
    return instance.AcceptCommand() == std::optional<std::string>("activate") ? 0 : 4;
}

} // namespace

// Catches a second copy that starts anyway, exits without asking the first, or creates files.
TEST(SingleInstance, SecondProcessHandsOverAndLeavesEverythingAlone) {
    TestFolder folder;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t primary = Fork([&] { return PrimaryChild(pipeFds[1]); });
    ASSERT_EQ(ReadByte(pipeFds[0]), 'P');

    const auto before = std::filesystem::last_write_time(folder.Path("runtime/MolvaneTest.lock"));
    const pid_t second = Fork([] {
        SingleInstance instance;
        return instance.Claim() == SingleInstance::Role::Secondary ? 0 : 1;
    });
    EXPECT_EQ(WaitExit(second), 0);
    EXPECT_EQ(WaitExit(primary), 0); // the primary received "activate"
    EXPECT_EQ(std::filesystem::last_write_time(folder.Path("runtime/MolvaneTest.lock")), before);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("config")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("data")));
    close(pipeFds[0]);
    close(pipeFds[1]);
}

// Catches a socket others could connect to, and a stale socket of a crashed copy blocking the next start.
TEST(SingleInstance, PrivateSocketAndRecoveryAfterCrash) {
    TestFolder folder;
    const pid_t crashed = Fork([] {
        SingleInstance instance;
        if (instance.Claim() != SingleInstance::Role::Primary) return 1;
        struct stat st {};
        if (stat(SingleInstance::GetSocketPath().c_str(), &st) != 0 || (st.st_mode & 0777) != 0600) return 2;
        _exit(0); // no destructor: the socket file stays behind
    });
    ASSERT_EQ(WaitExit(crashed), 0);
    ASSERT_TRUE(std::filesystem::exists(folder.Path("runtime/MolvaneTest.sock")));

    SingleInstance instance;
    ASSERT_EQ(instance.Claim(), SingleInstance::Role::Primary);
    EXPECT_GE(instance.GetListenFd(), 0);
    EXPECT_TRUE(SingleInstance::SendCommand("quit"));
    EXPECT_EQ(instance.AcceptCommand(), std::optional<std::string>("quit"));
    EXPECT_EQ(instance.AcceptCommand(), std::nullopt); // nothing waiting: returns at once
}

// Catches commands accepted from another user (only checkable when the test may switch users).
TEST(SingleInstance, OtherUsersCannotSendCommands) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TestFolder folder;
    SingleInstance instance;
    ASSERT_EQ(instance.Claim(), SingleInstance::Role::Primary);
    const pid_t stranger = Fork([] {
        if (setgid(65534) != 0 || setuid(65534) != 0) return 9;
        return SingleInstance::SendCommand("activate") ? 1 : 0;
    });
    EXPECT_EQ(WaitExit(stranger), 0);
    EXPECT_EQ(instance.AcceptCommand(), std::nullopt);
}
