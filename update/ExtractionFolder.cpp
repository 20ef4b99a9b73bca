// Symlink-proof creation of folders and files below the extraction target.
#include "update/ExtractionFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace {

int OpenChildFolder(int parent, const std::string& name)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(parent, name.c_str(), flags);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    if (mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST)
        return -1;
    return openat(parent, name.c_str(), flags);
}

} // namespace

ExtractionFolder::~ExtractionFolder()
{
    ForgetCachedFolder();
    if (m_root >= 0)
        close(m_root);
}

bool ExtractionFolder::Open(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    m_root = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_root >= 0;
}

void ExtractionFolder::ForgetCachedFolder()
{
    if (m_cachedFd >= 0)
        close(m_cachedFd);
    m_cachedFd = -1;
    m_cachedPath.clear();
}

int ExtractionFolder::OpenFolder(const std::vector<std::string>& components, size_t count)
{
    if (count == 0)
        return m_root;
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        path += components[i];
        path += '/';
    }
    if (m_cachedFd >= 0 && path == m_cachedPath)
        return m_cachedFd;
    ForgetCachedFolder();
    int current = m_root;
    for (size_t i = 0; i < count; ++i) {
        int next = OpenChildFolder(current, components[i]);
        if (current != m_root)
            close(current);
        if (next < 0)
            return -1;
        current = next;
    }
    m_cachedFd = current;
    m_cachedPath = path;
    return current;
}

int ExtractionFolder::CreateFile(int folder, const std::string& leaf, mode_t mode)
{
    // Unlinking first removes a planted symbolic or hard link instead of writing through it.
    if (unlinkat(folder, leaf.c_str(), 0) != 0 && errno != ENOENT)
        return -1;
    return openat(folder, leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
