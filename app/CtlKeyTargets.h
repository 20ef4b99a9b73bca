// molvanectl's names for keys and for what a key can be assigned to.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct LayoutKey;

// A parsed TARGET of "molvanectl key KEY TARGET".
struct KeyTarget {
    enum class Kind {
        Key,
        Combination,
        Media,
        Mouse,
        Shortcut,
        Function,
        Macro,
        Program,
        Url,
        Text,
        Profile,
        Disable,
        Default
    };
    Kind m_kind = Kind::Default;
    int m_value = 0;     // usage, media code, mouse value, shortcut or function number, macro or profile id
    int m_modifiers = 0; // ModifierBits of a combination
    std::string m_text;  // program path, address or text; the key's name for Key
};

// A number written in decimal or as 0x-prefixed hexadecimal; nothing for anything else.
std::optional<int> ParseNumber(const std::string& text);
// A key by the keyboard picture's name (any case), a key name of the HID key table, or its code.
std::optional<int> ParseKeyCode(const std::string& text, const std::vector<LayoutKey>& layout);
// "key:NAME", "combo:ctrl+shift+NAME", "media:NAME", "mouse:left", ...; nothing with `error` set
// when the target is not understood.
std::optional<KeyTarget> ParseKeyTarget(const std::string& text, const std::vector<LayoutKey>& layout,
                                        std::string& error);
// The media names "media:" takes, with their codes, in the picker's order.
const std::vector<std::pair<std::string, int>>& MediaNames();
// The name the keyboard picture gives key `code`, else the key table's name, else its code.
std::string KeyDisplayName(int code, const std::vector<LayoutKey>& layout);
