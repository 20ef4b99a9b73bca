// A small INI reader and editor: "[section]" lines, "key=value" lines, ';' and '#' comments.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Section and key names compare case-insensitively (ASCII); values are trimmed and one pair of
// surrounding quotes is removed. The first occurrence of a key wins. Editing keeps every other
// line as it was.
class IniFile {
public:
    // Parses UTF-8 text (a UTF-8 BOM is skipped) or UTF-16 text with a BOM, which is converted.
    void Parse(const std::string& bytes);
    std::optional<std::string> GetValue(const std::string& section, const std::string& key) const;
    // Calls `visit` with every value in file order: lower-cased section and key, then the value as
    // GetValue returns it.
    void ForEachValue(
        const std::function<void(const std::string&, const std::string&, const std::string&)>& visit) const;
    // Replaces the first occurrence of the key, or appends it to the section (created at the end).
    void SetValue(const std::string& section, const std::string& key, const std::string& value);
    // The file's text, UTF-8 with '\n' line ends.
    std::string ToText() const;

    // UTF-16 (little or big endian, no BOM) to UTF-8; invalid surrogates become U+FFFD.
    static std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian);

private:
    struct Line {
        std::string m_text;    // the line as read, without its line end
        std::string m_section; // lower-cased name of the section the line belongs to
        std::string m_key;     // lower-cased key for "key=value" lines, else empty
    };
    static std::string ValueOf(const Line& line);

    std::vector<Line> m_lines;
};
