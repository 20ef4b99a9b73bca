// Lenient number parsing: the leading digits count, as the settings and markup readers expect.
#include "platform/NumberText.h"

#include <climits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Digits from `pos` in `base`, accumulated with saturation so huge values clamp instead of wrapping.
int ParseDigits(std::string_view text, size_t pos, int base, bool negative) {
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos]);
        if (digit >= base) break;
        value = value * base + digit;
        if (value > limit) value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

} // namespace

int ParseDecimalInt(std::string_view text) {
    bool negative = false;
    const size_t pos = SkipBlanksAndSign(text, negative);
    return ParseDigits(text, pos, 10, negative);
}

int ParseHexInt(std::string_view text) {
    bool negative = false;
    size_t pos = SkipBlanksAndSign(text, negative);
    // "0x" counts as a prefix only when a hex digit follows; "0xg" reads as the single digit 0.
    if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        DigitValue(text[pos + 2]) < 16) {
        pos += 2;
    }
    return ParseDigits(text, pos, 16, negative);
}
