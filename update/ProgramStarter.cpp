// posix_spawn of an unpacked installer.
#include "update/ProgramStarter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

pid_t StartProgram(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    // Archives made on Windows carry no Unix permissions, so the executable bit may be missing.
    if ((info.st_mode & S_IXUSR) == 0 && chmod(path.c_str(), (info.st_mode & 07777) | S_IXUSR) != 0)
        return -1;
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return -1;
    // Its own session: the installer outlives this program, which ends right after.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    int rc = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return rc == 0 ? pid : -1;
}
