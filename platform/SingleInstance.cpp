// Single running copy per user: flock on a lock file, commands over a same-user Unix socket.
#include "platform/SingleInstance.h"

#include "platform/Folders.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kMaxCommand = 4096;
constexpr int kReadTimeoutMs = 200;
constexpr int kClaimAttempts = 40;

// A private per-user folder below /tmp, accepted only when it is ours and closed to others.
std::string PrivateTempFolder() {
    const std::string folder = "/tmp/" + GetProductName() + "-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0) {
        return {};
    }
    return folder + "/";
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

bool TryLock(int fd) {
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

} // namespace

SingleInstance::~SingleInstance() {
    if (m_listenFd >= 0) {
        close(m_listenFd);
        unlink(m_socketPath.c_str());
    }
    // The lock file stays: removing a file others may be locking would let two copies both win.
    if (m_lockFd >= 0) close(m_lockFd);
}

std::string SingleInstance::GetRuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        std::string folder = runtime;
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    return PrivateTempFolder();
}

std::string SingleInstance::GetLockPath() {
    const std::string folder = GetRuntimeFolder();
    return folder.empty() ? std::string() : folder + GetProductName() + ".lock";
}

std::string SingleInstance::GetSocketPath() {
    const std::string folder = GetRuntimeFolder();
    return folder.empty() ? std::string() : folder + GetProductName() + ".sock";
}

SingleInstance::Role SingleInstance::Claim(const std::string& command) {
    const std::string lockPath = GetLockPath();
    m_lockFd = lockPath.empty() ? -1 : open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file nothing can be coordinated; run rather than refuse to start.
    if (m_lockFd < 0) return Role::Primary;

    // The holder may still be starting and not listen yet; keep trying both ways for a while.
    bool locked = false;
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        if (TryLock(m_lockFd)) {
            locked = true;
            break;
        }
        if (errno != EWOULDBLOCK) return Role::Primary; // no flock on this file system
        if (SendCommand(command)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!locked) {
        close(m_lockFd);
        m_lockFd = -1;
        return Role::Secondary;
    }

    sockaddr_un address;
    m_socketPath = GetSocketPath();
    if (!FillAddress(m_socketPath, address)) return Role::Primary;
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0) return Role::Primary;
    // A socket file left by a crashed holder is stale: we hold the lock now.
    unlink(m_socketPath.c_str());
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        chmod(m_socketPath.c_str(), 0600) != 0 || listen(m_listenFd, 8) != 0) {
        close(m_listenFd);
        m_listenFd = -1;
    }
    return Role::Primary;
}

std::optional<std::string> SingleInstance::AcceptCommand() {
    if (m_listenFd < 0) return std::nullopt;
    const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return std::nullopt;
    ucred peer{};
    socklen_t length = sizeof(peer);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != getuid()) {
        close(fd);
        return std::nullopt;
    }
    std::string command;
    char buffer[512];
    while (command.size() < kMaxCommand && command.find('\n') == std::string::npos) {
        pollfd waiter{fd, POLLIN, 0};
        if (poll(&waiter, 1, kReadTimeoutMs) <= 0) break;
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        command.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    const size_t end = command.find_first_of("\r\n");
    if (end != std::string::npos) command.resize(end);
    if (command.size() > kMaxCommand) command.resize(kMaxCommand);
    if (command.empty()) return std::nullopt;
    return command;
}

bool SingleInstance::SendCommand(const std::string& command) {
    sockaddr_un address;
    if (!FillAddress(GetSocketPath(), address)) return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    timeval timeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    const std::string line = command + "\n";
    size_t done = 0;
    while (sent && done < line.size()) {
        const ssize_t n = send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            sent = false;
        else
            done += static_cast<size_t>(n);
    }
    close(fd);
    return sent;
}
