// Key names and assignment targets of molvanectl.
#include "app/CtlKeyTargets.h"

#include "app/KeyboardController.h"
#include "device/KeyTables.h"
#include "keys/CustomKeyModel.h"

#include <charconv>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::optional<int> UsageByName(const std::string& name, const std::vector<LayoutKey>& layout,
                               bool allowNumber) {
    const std::string wanted = Lower(name);
    for (const LayoutKey& key : layout)
        if (Lower(key.m_name) == wanted) return key.m_code;
    for (int usage = 1; usage < 256; ++usage)
        if (!GetKeyName(usage).empty() && Lower(GetKeyName(usage)) == wanted) return usage;
    if (allowNumber)
        if (std::optional<int> number = ParseNumber(name); number && *number > 0 && *number < 256)
            return number;
    return std::nullopt;
}

std::optional<KeyTarget> ParseCombination(const std::string& combination, const std::vector<LayoutKey>& layout,
                                          std::string& error) {
    static const std::pair<const char*, int> kModifiers[] = {
        {"ctrl", MOD_CTRL}, {"shift", MOD_SHIFT}, {"alt", MOD_ALT}, {"win", MOD_WIN}, {"super", MOD_WIN}};
    KeyTarget target;
    target.m_kind = KeyTarget::Kind::Combination;
    size_t start = 0;
    for (;;) {
        const size_t plus = combination.find('+', start);
        const std::string part =
            combination.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        // The last part is the key; a '+' key itself is written as the last character.
        if (plus == std::string::npos || plus + 1 == combination.size()) {
            const std::string keyName = plus == std::string::npos ? part : part + "+";
            std::optional<int> usage = UsageByName(keyName, layout, true);
            if (!usage) {
                error = "unknown key \"" + keyName + "\" in the combination";
                return std::nullopt;
            }
            target.m_value = *usage;
            return target;
        }
        bool known = false;
        for (const auto& [name, bit] : kModifiers)
            if (Lower(part) == name) {
                target.m_modifiers |= bit;
                known = true;
            }
        if (!known) {
            error = "unknown modifier \"" + part + "\" (ctrl, shift, alt, win)";
            return std::nullopt;
        }
        start = plus + 1;
    }
}

std::optional<int> MouseValue(const std::string& name) {
    static const std::pair<const char*, int> kButtons[] = {
        {"left", 1}, {"right", 3}, {"middle", 2}, {"4", 8}, {"5", 7}};
    for (const auto& [button, value] : kButtons)
        if (Lower(name) == button) return value;
    return std::nullopt;
}

} // namespace

std::optional<int> ParseNumber(const std::string& text) {
    int value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last) return std::nullopt;
    auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::optional<int> ParseKeyCode(const std::string& text, const std::vector<LayoutKey>& layout) {
    return UsageByName(text, layout, true);
}

const std::vector<std::pair<std::string, int>>& MediaNames() {
    static const std::vector<std::pair<std::string, int>> names = {
        {"computer", 249}, {"calculator", 242}, {"email", 240},   {"player", 232},     {"playpause", 238},
        {"stop", 236},     {"previous", 237},   {"next", 239},    {"volumedown", 233}, {"volumeup", 234},
        {"mute", 235},     {"home", 241},       {"refresh", 246}, {"webstop", 245},    {"back", 243},
        {"forward", 244},  {"favorites", 248},  {"search", 247},
    };
    return names;
}

std::string KeyDisplayName(int code, const std::vector<LayoutKey>& layout) {
    for (const LayoutKey& key : layout)
        if (key.m_code == code) return key.m_name;
    const std::string name = GetKeyName(code);
    return name.empty() ? std::to_string(code) : name;
}

std::optional<KeyTarget> ParseKeyTarget(const std::string& text, const std::vector<LayoutKey>& layout,
                                        std::string& error) {
    KeyTarget target;
    if (text == "disable" || text == "default") {
        target.m_kind = text == "disable" ? KeyTarget::Kind::Disable : KeyTarget::Kind::Default;
        return target;
    }
    const size_t colon = text.find(':');
    const std::string kind = colon == std::string::npos ? text : text.substr(0, colon);
    const std::string value = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    target.m_text = value;
    auto number = [&](KeyTarget::Kind k, int low, int high) -> std::optional<KeyTarget> {
        std::optional<int> n = ParseNumber(value);
        if (!n || *n < low || *n > high) {
            error = kind + ": takes a number from " + std::to_string(low) + " to " + std::to_string(high);
            return std::nullopt;
        }
        target.m_kind = k;
        target.m_value = *n;
        return target;
    };
    if (kind == "key") {
        std::optional<int> usage = UsageByName(value, layout, true);
        if (!usage || *usage >= 232) {
            error = "unknown key \"" + value + "\"";
            return std::nullopt;
        }
        target.m_kind = KeyTarget::Kind::Key;
        target.m_value = *usage;
        return target;
    }
    if (kind == "combo") return ParseCombination(value, layout, error);
    if (kind == "media") {
        for (const auto& [name, code] : MediaNames())
            if (Lower(value) == name) {
                target.m_kind = KeyTarget::Kind::Media;
                target.m_value = code;
                return target;
            }
        error = "unknown media key \"" + value + "\"";
        return std::nullopt;
    }
    if (kind == "mouse") {
        if (std::optional<int> button = MouseValue(value)) {
            target.m_kind = KeyTarget::Kind::Mouse;
            target.m_value = *button;
            return target;
        }
        error = "mouse: takes left, right, middle, 4 or 5";
        return std::nullopt;
    }
    if (kind == "shortcut") return number(KeyTarget::Kind::Shortcut, 1, 15);
    if (kind == "function") return number(KeyTarget::Kind::Function, 1, 7);
    if (kind == "macro") return number(KeyTarget::Kind::Macro, 1, 0x7FFFFFFF);
    if (kind == "profile") return number(KeyTarget::Kind::Profile, 1, 0x7FFFFFFF);
    if (kind == "run" || kind == "url" || kind == "text") {
        if (colon == std::string::npos || value.empty()) {
            error = kind + ": needs something after the colon";
            return std::nullopt;
        }
        target.m_kind = kind == "run"   ? KeyTarget::Kind::Program
                        : kind == "url" ? KeyTarget::Kind::Url
                                        : KeyTarget::Kind::Text;
        return target;
    }
    error = "unknown target \"" + text + "\"";
    return std::nullopt;
}
