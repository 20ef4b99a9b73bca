// One running copy per user: a lock file claims the role, a Unix socket carries commands to the holder.
#pragma once

#include <optional>
#include <string>

// Lock file $XDG_RUNTIME_DIR/<product>.lock (flock) and socket $XDG_RUNTIME_DIR/<product>.sock
// (mode 0600, peers must be the same user). Without XDG_RUNTIME_DIR a private folder
// /tmp/<product>-<uid>/ is used.
class SingleInstance {
public:
    enum class Role {
        Primary,  // this process holds the lock (or locking is impossible) and runs the program
        Secondary // another copy runs; the command was handed to it
    };

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Claims the lock. When another process holds it, sends `command` to it and returns Secondary
    // without creating or changing any file. The primary listens for commands afterwards.
    [[nodiscard]] Role Claim(const std::string& command = "activate");

    // The listening socket, to be watched for readability by the event loop; -1 when not listening.
    int GetListenFd() const { return m_listenFd; }
    // Accepts one waiting connection and returns its command (one line, at most 4096 bytes).
    // Connections from other users and empty commands give nullopt. Never blocks for long.
    std::optional<std::string> AcceptCommand();

    // Sends a command to the running primary; false when none listens.
    static bool SendCommand(const std::string& command);

    static std::string GetRuntimeFolder();
    static std::string GetLockPath();
    static std::string GetSocketPath();

private:
    int m_lockFd = -1;
    int m_listenFd = -1;
    std::string m_socketPath;
};
