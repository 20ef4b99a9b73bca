// Per-user settings in an INI file under $XDG_CONFIG_HOME/<product>/.
#include "platform/Settings.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace {

constexpr const char* kSection = "settings";

// Serialises read-modify-write cycles of this process; the rename keeps other readers consistent.
std::mutex g_settingsMutex;

std::string SettingsFolder() {
    return GetConfigBaseFolder() + GetProductName() + "/";
}

enum class Access { Ready, Created, Failed };

// The folder plays the part of the settings key: a first run creates it.
Access EnsureSettingsFolder() {
    struct stat st {};
    const std::string folder = SettingsFolder();
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Access::Ready;
    return MakeDirectoryPath(folder) ? Access::Created : Access::Failed;
}

// The stored text of a value; nullopt when the file or the value is absent.
std::optional<std::string> ReadValue(const std::string& name, bool& unreadable) {
    unreadable = false;
    const std::optional<std::string> bytes = ReadWholeFile(GetSettingsPath());
    if (!bytes) {
        unreadable = errno != ENOENT;
        return std::nullopt;
    }
    IniFile ini;
    ini.Parse(*bytes);
    return ini.GetValue(kSection, name);
}

} // namespace

std::string GetSettingsPath() {
    return SettingsFolder() + "settings.ini";
}

int ReadSettingInt(const std::string& name) {
    std::lock_guard lock(g_settingsMutex);
    if (EnsureSettingsFolder() != Access::Ready) return 0;
    bool unreadable = false;
    const std::optional<std::string> value = ReadValue(name, unreadable);
    return value ? ParseDecimalInt(*value) : 0;
}

std::string ReadSettingString(const std::string& name) {
    std::lock_guard lock(g_settingsMutex);
    bool unreadable = false;
    return ReadValue(name, unreadable).value_or(std::string());
}

bool WriteSettingString(const std::string& name, const std::string& value) {
    std::lock_guard lock(g_settingsMutex);
    if (EnsureSettingsFolder() == Access::Failed) return false;
    // Line breaks would split the value into lines the reader takes for other keys.
    if (name.empty() || name.find_first_of("=[\r\n") != std::string::npos) return false;
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    IniFile ini;
    if (const std::optional<std::string> bytes = ReadWholeFile(GetSettingsPath())) {
        ini.Parse(*bytes);
    } else if (errno != ENOENT) {
        return false; // rewriting an unreadable file would drop its other values
    }
    ini.SetValue(kSection, name, value);
    return WriteFileAtomically(GetSettingsPath(), ini.ToText());
}

int ReadLanguageSetting() {
    std::lock_guard lock(g_settingsMutex);
    switch (EnsureSettingsFolder()) {
    case Access::Created:
        return 0;
    case Access::Failed:
        return 1033;
    case Access::Ready:
        break;
    }
    bool unreadable = false;
    const std::optional<std::string> value = ReadValue("LCID", unreadable);
    if (unreadable) return 1033;
    return value ? ParseDecimalInt(*value) : 0;
}

bool WriteLanguageSetting(int lcid) {
    return WriteSettingString("LCID", std::to_string(lcid));
}
