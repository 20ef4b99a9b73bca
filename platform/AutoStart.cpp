// XDG autostart entry: its presence is the setting.
#include "platform/AutoStart.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

// Exec= takes a quoted argument when the path holds characters the launcher would split or expand;
// inside quotes ", `, $ and \ are escaped, and the file format doubles the backslash again.
std::string DesktopExecValue(const std::string& path) {
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string field;
    if (path.find_first_of(reserved) == std::string::npos) {
        field = path;
    } else {
        field = "\"";
        for (char c : path) {
            // Each argument-level escape backslash is itself written as "\\" in the file.
            if (c == '"' || c == '`' || c == '$') field += "\\\\";
            if (c == '\\') field += "\\\\\\";
            field += c;
        }
        field += '"';
    }
    std::string escaped;
    for (char c : field) {
        if (c == '%') escaped += '%'; // a lone % starts a field code
        if (c == '\n') {
            escaped += "\\n";
            continue;
        }
        escaped += c;
    }
    return escaped;
}

std::string GetAutoStartPath() {
    return GetConfigBaseFolder() + "autostart/" + GetProductName() + ".desktop";
}

bool IsAutoStartEnabled() {
    struct stat st {};
    return stat(GetAutoStartPath().c_str(), &st) == 0;
}

bool ApplyAutoStart(bool enabled) {
    const std::string path = GetAutoStartPath();
    if (!enabled) return unlink(path.c_str()) == 0 || errno == ENOENT;
    if (!MakeDirectoryPath(GetConfigBaseFolder() + "autostart/")) return false;
    const std::string name = GetProductName();
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=" +
                              name +
                              "\n"
                              "Exec=" +
                              DesktopExecValue(GetExecutableFolder() + "molvane") +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    return WriteFileAtomically(path, entry, 0644);
}
