// INI reading and editing that keeps comments, order and unknown lines of the file intact.
#include "platform/IniFile.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string IniFile::Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

void IniFile::Parse(const std::string& bytes) {
    std::string text;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        text = Utf16ToUtf8(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        text = Utf16ToUtf8(bytes.substr(2), true);
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = bytes.substr(3);
    } else {
        text = bytes;
    }

    m_lines.clear();
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        Line line;
        line.m_text = text.substr(start, end - start);
        if (!line.m_text.empty() && line.m_text.back() == '\r') line.m_text.pop_back();
        const std::string trimmed = Trim(line.m_text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            section =
                Lower(Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
        } else if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#') {
            const size_t equals = trimmed.find('=');
            if (equals != std::string::npos) line.m_key = Lower(Trim(trimmed.substr(0, equals)));
        }
        line.m_section = section;
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

std::string IniFile::ValueOf(const Line& line) {
    std::string value = Trim(line.m_text.substr(line.m_text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> IniFile::GetValue(const std::string& section, const std::string& key) const {
    const std::string wantedSection = Lower(section);
    const std::string wantedKey = Lower(key);
    for (const Line& line : m_lines) {
        if (!line.m_key.empty() && line.m_key == wantedKey && line.m_section == wantedSection)
            return ValueOf(line);
    }
    return std::nullopt;
}

void IniFile::ForEachValue(
    const std::function<void(const std::string&, const std::string&, const std::string&)>& visit) const {
    for (const Line& line : m_lines) {
        if (!line.m_key.empty()) visit(line.m_section, line.m_key, ValueOf(line));
    }
}

void IniFile::SetValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string wantedSection = Lower(section);
    const std::string wantedKey = Lower(key);
    Line entry{key + "=" + value, wantedSection, wantedKey};
    size_t lastOfSection = std::string::npos;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].m_section != wantedSection) continue;
        if (m_lines[i].m_key == wantedKey) {
            m_lines[i] = entry;
            return;
        }
        if (!Trim(m_lines[i].m_text).empty()) lastOfSection = i;
    }
    if (lastOfSection == std::string::npos) {
        if (!m_lines.empty() && !Trim(m_lines.back().m_text).empty()) m_lines.push_back(Line{"", "", ""});
        m_lines.push_back(Line{"[" + section + "]", wantedSection, ""});
        m_lines.push_back(entry);
        return;
    }
    m_lines.insert(m_lines.begin() + static_cast<long>(lastOfSection) + 1, entry);
}

std::string IniFile::ToText() const {
    std::string text;
    for (const Line& line : m_lines) {
        text += line.m_text;
        text += '\n';
    }
    return text;
}
