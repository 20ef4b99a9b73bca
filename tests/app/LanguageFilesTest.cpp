// The shipped language files hold a well-formed, reachable text for every text id the program uses.
#include "app/TextIds.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kLanguageDir = MOLVANE_SOURCE_DIR "/data/language/";
constexpr size_t kMaxTextLength = 259; // the lookup buffer holds 260 characters

struct LanguageFile {
    std::map<int, std::string> texts; // texts of section KB.DIALOG
    std::vector<std::string> errors;  // every rule a line breaks, with its line number
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Number of code points in valid UTF-8, or -1 (overlong forms, surrogates and values above
// U+10FFFF count as invalid, as a strict reader rejects them).
long CountUtf8(const std::string& s) {
    long count = 0;
    for (size_t i = 0; i < s.size(); ++count) {
        const unsigned char c = s[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return -1;
        unsigned long cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = s[i + k];
            if ((cc >> 6) != 2) return -1;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const unsigned long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
        i += len;
    }
    return count;
}

bool IsCanonicalId(const std::string& key) {
    if (key.empty() || key.size() > 9 ||
        !std::all_of(key.begin(), key.end(), [](unsigned char c) { return c >= '0' && c <= '9'; }))
        return false;
    return key == "0" || key[0] != '0'; // "05" would never match the looked-up "%d" form
}

// A strict reading of the INI form: what a profile-file reader could silently get wrong is an error.
LanguageFile ParseLanguageFile(const std::string& path) {
    LanguageFile file;
    std::string data = ReadAll(path);
    if (data.empty()) file.errors.push_back("file missing or empty");
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
    std::istringstream lines(data);
    std::string line, section;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (CountUtf8(line) < 0) file.errors.push_back(where + "invalid UTF-8");
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.back() == ']' ? line.substr(1, line.size() - 2) : "";
            if (section != kTextSection) file.errors.push_back(where + "unexpected section " + line);
            continue;
        }
        const size_t eq = line.find('=');
        if (section.empty() || eq == std::string::npos) {
            file.errors.push_back(where + "not a text of a section");
            continue;
        }
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (!IsCanonicalId(key)) file.errors.push_back(where + "key is not a plain decimal id");
        if (value.empty() || isspace(static_cast<unsigned char>(value.front())) ||
            isspace(static_cast<unsigned char>(value.back())) || value.front() == '"')
            file.errors.push_back(where + "empty, padded or quoted text");
        if (CountUtf8(value) > static_cast<long>(kMaxTextLength))
            file.errors.push_back(where + "text longer than 259 characters");
        if (!IsCanonicalId(key)) continue;
        if (!file.texts.emplace(std::stoi(key), value).second)
            file.errors.push_back(where + "duplicate id " + key);
    }
    return file;
}

const std::set<int>& KnownIds() {
    static const std::set<int> ids(std::begin(kAllTextIds), std::end(kAllTextIds));
    return ids;
}

class LanguageFilesTest : public testing::TestWithParam<int> {
protected:
    LanguageFile Load() const {
        return ParseLanguageFile(kLanguageDir + std::to_string(GetParam()) + ".lan");
    }
};

// Catches a malformed line, bad UTF-8, a duplicate or zero-padded id or an over-long text.
TEST_P(LanguageFilesTest, FileIsWellFormed) {
    const LanguageFile file = Load();
    for (const std::string& error : file.errors)
        ADD_FAILURE() << GetParam() << ".lan " << error;
}

// Catches a text id the program looks up that the file lacks: the control would show nothing.
TEST_P(LanguageFilesTest, EveryKnownIdHasText) {
    const LanguageFile file = Load();
    for (int id : kAllTextIds) {
        auto it = file.texts.find(id);
        EXPECT_TRUE(it != file.texts.end() && !it->second.empty()) << GetParam() << ".lan lacks text " << id;
    }
}

// Catches a mistyped id in the file, which leaves its text unreachable.
TEST_P(LanguageFilesTest, FileHoldsOnlyKnownIds) {
    for (const auto& [id, text] : Load().texts)
        EXPECT_TRUE(KnownIds().count(id)) << GetParam() << ".lan id " << id;
}

// Catches a text that the program's own lookup reads differently from the file: trimmed, cut
// short, unquoted or not found.
TEST_P(LanguageFilesTest, ProgramLookupReadsEveryText) {
    const LanguageFile file = Load();
    SetModuleFolder(MOLVANE_SOURCE_DIR "/data/");
    SetCurrentLanguage(GetParam());
    for (int id : kAllTextIds) {
        auto it = file.texts.find(id);
        EXPECT_EQ(LoadText(id), it == file.texts.end() ? "" : it->second) << "text " << id;
    }
    SetCurrentLanguage(1033);
    SetModuleFolder("");
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, LanguageFilesTest, testing::Values(1033, 2052),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Lcid" + std::to_string(info.param);
                         });

// Catches a profile or macro name base that breaks the display-name rule, which recognises the
// stored default names of the other language by exactly these prefixes.
TEST(LanguageFiles, NameBasesMatchTheDisplayNamePrefixes) {
    const LanguageFile english = ParseLanguageFile(kLanguageDir + "1033.lan");
    const LanguageFile chinese = ParseLanguageFile(kLanguageDir + "2052.lan");
    EXPECT_EQ(english.texts.at(TXT_PROFILE), "Profile");
    EXPECT_EQ(chinese.texts.at(TXT_PROFILE), "配置方案");
    EXPECT_EQ(english.texts.at(TXT_MACRO), "Macro");
    EXPECT_EQ(chinese.texts.at(TXT_MACRO), "宏");
}

// Catches an id listed twice or out of order in the list of texts, which hides a missing one.
TEST(LanguageFiles, IdListIsAscendingAndUnique) {
    EXPECT_TRUE(std::adjacent_find(std::begin(kAllTextIds), std::end(kAllTextIds),
                                   std::greater_equal<int>()) == std::end(kAllTextIds));
}

// Catches ids that code derives from function values (shortcuts, the seven further functions,
// media and mouse items) falling outside the list of texts.
TEST(LanguageFiles, DerivedIdsAreKnown) {
    for (int v = 1; v <= kShortcutFunctionCount; ++v)
        EXPECT_TRUE(KnownIds().count(kShortcutTextBase + v)) << v;
    for (int v = 1; v <= kFurtherFunctionCount; ++v)
        EXPECT_TRUE(KnownIds().count(TXT_MEDIA_PLAY_PAUSE + v - 1)) << v;
    for (const MediaItemText& item : kMediaItemTexts)
        EXPECT_TRUE(KnownIds().count(item.text)) << item.value;
    for (const MouseButtonText& item : kMouseButtonTexts)
        EXPECT_TRUE(KnownIds().count(item.text)) << item.value;
    EXPECT_EQ(std::size(kMediaItemTexts), 18u);
}

// Catches a layout file that names a lighting effect by an id without text: the effect list
// would show an empty row.
TEST(LanguageFiles, LayoutEffectNamesHaveTexts) {
    const std::filesystem::path dir = MOLVANE_SOURCE_DIR "/data/layouts";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no layout files yet";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".xml") continue;
        const std::string xml = ReadAll(entry.path().string());
        for (size_t at = xml.find("<info"); at != std::string::npos; at = xml.find("<info", at + 1)) {
            if (at + 5 >= xml.size() || !isspace(static_cast<unsigned char>(xml[at + 5]))) continue;
            const std::string element = xml.substr(at, xml.find('>', at) - at);
            const size_t name = element.find("name=");
            ASSERT_TRUE(name != std::string::npos && name + 6 < element.size())
                << entry.path() << ": " << element;
            const char quote = element[name + 5];
            const std::string id = element.substr(name + 6, element.find(quote, name + 6) - name - 6);
            EXPECT_TRUE(IsCanonicalId(id) && KnownIds().count(std::stoi(id)))
                << entry.path() << ": effect name " << id;
        }
    }
}

} // namespace
