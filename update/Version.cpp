// Version comparison and version-text checks for the update jobs.
#include "update/Version.h"

#include <climits>
#include <cstdio>
#include <vector>

namespace {

std::vector<std::string> SplitAtDots(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = text.find('.', start);
        if (dot == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

int ParseDecimal(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

int CompareVersions(const std::string& installed, const std::string& latest)
{
    std::vector<std::string> mine = SplitAtDots(installed);
    std::vector<std::string> theirs = SplitAtDots(latest);
    if (mine.size() != theirs.size())
        return 2;
    for (size_t i = 0; i < mine.size(); ++i) {
        int a = ParseDecimal(mine[i]);
        int b = ParseDecimal(theirs[i]);
        if (a > b)
            return -1;
        if (a < b)
            return 1;
    }
    return 0;
}

int FirmwareVersionAsDecimal(int reported)
{
    if (reported < 0)
        return -1;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(reported));
    return ParseDecimal(hex);
}

bool IsAcceptableVersionText(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (char c : text) {
        bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.'
            || c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return text != "." && text != "..";
}
