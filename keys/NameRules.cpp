// Naming rules of the profile and macro lists.
#include "keys/NameRules.h"

#include "app/TextIds.h"
#include "platform/LanguageText.h"

#include <algorithm>

namespace {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;

// Only ASCII letters change: the list mixes Latin words with Chinese ones, which have no case.
std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct Prefixes {
    const char* english;
    const char* chinese;
    int text;
};

Prefixes PrefixesOf(NamedList list) {
    if (list == NamedList::Profiles) return {"Profile", "配置方案", TXT_PROFILE};
    return {"Macro", "宏", TXT_MACRO};
}

} // namespace

std::string MakeUniqueName(const std::string& base, const std::vector<std::string>& shownNames) {
    constexpr int kLast = 1000;
    for (int n = 1;; ++n) {
        std::string candidate = base + " " + std::to_string(n);
        if (n >= kLast || std::find(shownNames.begin(), shownNames.end(), candidate) == shownNames.end())
            return candidate;
    }
}

const std::vector<std::string>& ForbiddenWords() {
    // Names and insults a shared profile or macro name must not carry.
    static const std::vector<std::string> words = {
        "fuck",   "shit",    "bitch", "bastard", "asshole", "cunt", "nazi",
        "hitler", "caonima", "shabi", "wocao",   "傻逼",    "操你", "妈的",
    };
    return words;
}

bool ContainsForbiddenWord(const std::string& name) {
    const std::string lower = LowerAscii(name);
    for (const std::string& word : ForbiddenWords())
        if (lower.find(word) != std::string::npos) return true;
    return false;
}

std::string DisplayName(NamedList list, const std::string& storedName) {
    const int language = GetCurrentLanguage();
    const Prefixes p = PrefixesOf(list);
    const char* prefix = language == kChinese ? p.english : language == kEnglish ? p.chinese : nullptr;
    if (prefix == nullptr || !storedName.starts_with(prefix)) return storedName;
    return LoadText(p.text) + storedName.substr(std::string(prefix).size());
}
