// Text lookup in the language files, cached per file and re-read when the file changes.
#include "platform/LanguageText.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>

namespace {

constexpr int kFallbackLanguage = 1033;
constexpr size_t kMaxTextCodePoints = 259;

std::atomic<int> g_currentLanguage{kFallbackLanguage};

// What identifies one version of a file: a rewrite changes the inode or the time stamp.
struct FileStamp {
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    long long m_mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// One parsed file: every text by "<lower-cased section>\n<key>", the first occurrence winning.
struct CachedFile {
    FileStamp m_stamp;
    std::unordered_map<std::string, std::string> m_texts;
};

std::string TextKey(const std::string& section, const std::string& key) {
    std::string text = section + '\n' + key;
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::mutex g_cacheMutex;
std::map<std::string, std::shared_ptr<const CachedFile>> g_cache;

bool Stamp(const std::string& path, FileStamp& stamp) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp.m_device = st.st_dev;
    stamp.m_inode = st.st_ino;
    stamp.m_size = st.st_size;
    stamp.m_mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

std::string LanguagePath(int lcid) {
    return GetModuleFolder() + "language/" + std::to_string(lcid) + ".lan";
}

// The parsed file, from the cache while its stamp is unchanged; null when it cannot be read.
std::shared_ptr<const CachedFile> LoadCached(const std::string& path, const FileStamp& stamp) {
    {
        std::lock_guard lock(g_cacheMutex);
        auto found = g_cache.find(path);
        if (found != g_cache.end() && found->second->m_stamp == stamp) return found->second;
    }
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return nullptr;
    auto file = std::make_shared<CachedFile>();
    file->m_stamp = stamp;
    IniFile ini;
    ini.Parse(*bytes);
    ini.ForEachValue([&](const std::string& section, const std::string& key, const std::string& value) {
        file->m_texts.emplace(TextKey(section, key), value);
    });
    std::lock_guard lock(g_cacheMutex);
    g_cache[path] = file;
    return file;
}

// Cuts after `limit` UTF-8 code points, never inside a sequence.
std::string LimitCodePoints(std::string text, size_t limit) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (count++ == limit) {
            text.resize(i);
            break;
        }
    }
    return text;
}

std::string LanguagePart(const std::string& locale) {
    const size_t end = locale.find_first_of("_.@-");
    std::string language = locale.substr(0, end);
    for (char& c : language) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return language;
}

std::string TerritoryPart(const std::string& locale) {
    const size_t start = locale.find_first_of("_-");
    if (start == std::string::npos) return {};
    const size_t end = locale.find_first_of(".@", start);
    std::string territory =
        locale.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    for (char& c : territory) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return territory;
}

struct LocaleId {
    const char* m_language;
    const char* m_territory; // empty: the language's default
    int m_lcid;
};

// Windows language ids of the languages a desktop locale is commonly set to.
constexpr LocaleId kLocaleIds[] = {
    {"af", "", 1078},   {"ar", "", 1025},   {"ar", "EG", 3073}, {"be", "", 1059},   {"bg", "", 1026},
    {"bn", "", 1093},   {"ca", "", 1027},   {"cs", "", 1029},   {"cy", "", 1106},   {"da", "", 1030},
    {"de", "", 1031},   {"de", "AT", 3079}, {"de", "CH", 2055}, {"el", "", 1032},   {"es", "", 3082},
    {"es", "MX", 2058}, {"et", "", 1061},   {"eu", "", 1069},   {"fa", "", 1065},   {"fi", "", 1035},
    {"fr", "", 1036},   {"fr", "BE", 2060}, {"fr", "CA", 3084}, {"fr", "CH", 4108}, {"ga", "", 2108},
    {"gl", "", 1110},   {"he", "", 1037},   {"hi", "", 1081},   {"hr", "", 1050},   {"hu", "", 1038},
    {"hy", "", 1067},   {"id", "", 1057},   {"is", "", 1039},   {"it", "", 1040},   {"ja", "", 1041},
    {"ka", "", 1079},   {"kk", "", 1087},   {"ko", "", 1042},   {"lt", "", 1063},   {"lv", "", 1062},
    {"mk", "", 1071},   {"mr", "", 1102},   {"ms", "", 1086},   {"nb", "", 1044},   {"nl", "", 1043},
    {"nl", "BE", 2067}, {"nn", "", 2068},   {"no", "", 1044},   {"pl", "", 1045},   {"pt", "", 1046},
    {"pt", "PT", 2070}, {"ro", "", 1048},   {"ru", "", 1049},   {"sk", "", 1051},   {"sl", "", 1060},
    {"sq", "", 1052},   {"sr", "", 3098},   {"sv", "", 1053},   {"sw", "", 1089},   {"ta", "", 1097},
    {"te", "", 1098},   {"th", "", 1054},   {"tr", "", 1055},   {"uk", "", 1058},   {"ur", "", 1056},
    {"vi", "", 1066},
};

} // namespace

void SetCurrentLanguage(int lcid) {
    g_currentLanguage.store(lcid, std::memory_order_relaxed);
}

int GetCurrentLanguage() {
    return g_currentLanguage.load(std::memory_order_relaxed);
}

namespace {

// The file of the current language, or 1033's when it has none: a language without a file of
// its own would otherwise show no text at all. Empty when neither exists.
std::string FindLanguageFile(FileStamp& stamp) {
    const int lcid = GetCurrentLanguage();
    std::string path = LanguagePath(lcid);
    if (Stamp(path, stamp)) return path;
    if (lcid == kFallbackLanguage) return {};
    path = LanguagePath(kFallbackLanguage);
    return Stamp(path, stamp) ? path : std::string();
}

} // namespace

std::string GetLanguageFilePath() {
    FileStamp stamp;
    const std::string path = FindLanguageFile(stamp);
    return path.empty() ? LanguagePath(kFallbackLanguage) : path;
}

std::string LoadText(const std::string& section, int id) {
    FileStamp stamp;
    const std::string path = FindLanguageFile(stamp);
    if (path.empty()) return {};
    const std::shared_ptr<const CachedFile> file = LoadCached(path, stamp);
    if (!file) return {};
    const auto found = file->m_texts.find(TextKey(section, std::to_string(id)));
    return found == file->m_texts.end() ? std::string() : LimitCodePoints(found->second, kMaxTextCodePoints);
}

std::string LoadText(int id) {
    return LoadText(kTextSection, id);
}

int LanguageFromLocaleName(const std::string& locale) {
    const std::string language = LanguagePart(locale);
    if (language == "zh") return 2052;
    if (language == "en") return 1033;
    const std::string territory = TerritoryPart(locale);
    int lcid = kFallbackLanguage;
    for (const LocaleId& entry : kLocaleIds) {
        if (language != entry.m_language) continue;
        if (territory == entry.m_territory) return entry.m_lcid;
        if (entry.m_territory[0] == '\0') lcid = entry.m_lcid;
    }
    return lcid;
}

std::string GetUserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && value[0] != '\0') return value;
    }
    return {};
}

int ChooseStartLanguage() {
    int lcid = ReadLanguageSetting();
    if (lcid == 0) {
        // First run: this run uses the desktop's language; the stored choice is one of the two offered.
        lcid = LanguageFromLocaleName(GetUserLocaleName());
        WriteLanguageSetting(lcid == 1033 ? 1033 : 2052);
    }
    SetCurrentLanguage(lcid);
    return lcid;
}
