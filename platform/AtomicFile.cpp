// Whole-file reads and crash-safe whole-file writes (temporary file, fsync, rename, fsync of the folder).
#include "platform/AtomicFile.h"

#include "platform/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The rename is durable only once the folder entry itself reaches the disk.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        content.append(buffer.data(), static_cast<size_t>(n));
    }
    close(fd);
    return content;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, unsigned mode) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written =
        fchmod(fd, static_cast<mode_t>(mode)) == 0 && WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}
