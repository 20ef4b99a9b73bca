// Product name and folders; the base folders follow the XDG base-directory rules.
#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef MOLVANE_INSTALL_DATA_FOLDER
#define MOLVANE_INSTALL_DATA_FOLDER "/usr/local/share/molvane/"
#endif

namespace {

std::mutex g_mutex;
std::string g_productName = "Molvane";
std::string g_moduleFolderOverride;

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return WithSlash(home);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return WithSlash(pw->pw_dir);
    return "/tmp/";
}

// An XDG variable counts only when it holds an absolute path; otherwise the default below $HOME.
std::string XdgFolder(const char* variable, const char* defaultBelowHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return WithSlash(value);
    return HomeFolder() + defaultBelowHome;
}

std::string FindModuleFolder() {
    const std::string exeFolder = GetExecutableFolder();
    if (IsFile(exeFolder + "config.xml")) return exeFolder;
    const std::string installed = WithSlash(MOLVANE_INSTALL_DATA_FOLDER);
    if (IsFile(installed + "config.xml")) return installed;
    return exeFolder;
}

} // namespace

void SetProductName(const std::string& name) {
    std::lock_guard lock(g_mutex);
    g_productName = name;
}

std::string GetProductName() {
    std::lock_guard lock(g_mutex);
    return g_productName;
}

std::string GetExecutableFolder() {
    static const std::string folder = [] {
        std::string path(4096, '\0');
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
        if (n <= 0) return std::string("./");
        path.resize(static_cast<size_t>(n));
        return path.substr(0, path.rfind('/') + 1);
    }();
    return folder;
}

std::string GetModuleFolder() {
    static const std::string found = FindModuleFolder();
    std::lock_guard lock(g_mutex);
    return g_moduleFolderOverride.empty() ? found : g_moduleFolderOverride;
}

void SetModuleFolder(const std::string& folder) {
    std::lock_guard lock(g_mutex);
    g_moduleFolderOverride = folder.empty() ? std::string() : WithSlash(folder);
}

std::string GetUserDataFolder() {
    return XdgFolder("XDG_DATA_HOME", ".local/share/") + GetProductName() + "/";
}

std::string GetDatabaseFolder() {
    return GetUserDataFolder() + "db/";
}

std::string GetSkinFolder() {
    return GetModuleFolder() + "skins/theme1/";
}

std::string GetConfigBaseFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config/");
}

bool MakeDirectoryPath(const std::string& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    // Create each prefix in turn; failures in between are left to the final check.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return IsDirectory(path);
}
