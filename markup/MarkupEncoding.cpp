// Character encodings of markup files: detection and conversion to and from the UTF-8 text held in memory.
#include "markup/MarkupEncoding.h"

#include "markup/MarkupText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lower case without "-" and "_", so that spellings of one name compare equal.
std::string NormalizeName(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != '-' && c != '_' && c != ' ') out += LowerAscii(c);
    return out;
}

// Case-insensitive search for an ASCII needle.
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty() || hay.size() < needle.size()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && LowerAscii(hay[i + k]) == needle[k])
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// The byte values 0x80-0x9F of windows-1252; the five it leaves undefined map to the C1 controls.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUnit(std::string& out, uint16_t unit, bool bigEndian) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

// Decodes one UTF-8 sequence known to be valid.
uint32_t DecodeUtf8(std::string_view s, size_t pos, size_t len) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    switch (len) {
    case 1:
        return b(0);
    case 2:
        return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    case 3:
        return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    default:
        return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    }
}

// Length of the character at pos for skipping: a valid sequence, or one byte.
size_t CharLength(std::string_view s, size_t pos) {
    const size_t len = ValidUtf8Length(s, pos);
    return len == 0 ? 1 : len;
}

} // namespace

EncodingKind ClassifyEncoding(std::string_view name) {
    const std::string n = NormalizeName(name);
    if (n == "utf8") return EncodingKind::Utf8;
    if (n == "utf16le" || n == "unicodelittleunmarked") return EncodingKind::Utf16LE;
    if (n == "utf16be" || n == "unicodebigunmarked") return EncodingKind::Utf16BE;
    if (n == "utf16" || n == "ucs2" || n == "unicode" || n == "iso10646ucs2") return EncodingKind::Utf16;
    return EncodingKind::Other;
}

std::string DeclaredXmlEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    const size_t end = text.find("?>");
    if (end == std::string_view::npos) return {};
    const AttributeSpan span = FindAttribute(text.substr(0, end + 2), "encoding");
    return std::string(span.value);
}

std::string HtmlMetaCharset(std::string_view text) {
    const size_t html = FindNoCase(text, "<html", 0);
    if (html == std::string_view::npos) return {};
    // Only the head counts; it ends where the body starts.
    size_t headEnd = FindNoCase(text, "</head", html);
    if (headEnd == std::string_view::npos) headEnd = FindNoCase(text, "<body", html);
    std::string_view head = text.substr(0, headEnd == std::string_view::npos ? text.size() : headEnd);
    for (size_t pos = FindNoCase(head, "<meta", html); pos != std::string_view::npos;
         pos = FindNoCase(head, "<meta", pos + 5)) {
        // The tag ends at its ">" or, when that is missing, where the next tag starts; never further,
        // so a run of broken meta tags costs one pass.
        const size_t close = head.find_first_of("<>", pos + 1);
        std::string_view tag =
            head.substr(pos, close == std::string_view::npos ? head.size() - pos : close - pos + 1);
        const AttributeSpan charset = FindAttribute(tag, "charset");
        if (charset.found && !charset.value.empty()) return std::string(charset.value);
        const AttributeSpan equiv = FindAttribute(tag, "http-equiv");
        const AttributeSpan content = FindAttribute(tag, "content");
        if (!equiv.found || !EqualsNoCase(equiv.value, "Content-Type") || !content.found) continue;
        const size_t at = FindNoCase(content.value, "charset=", 0);
        if (at == std::string_view::npos) continue;
        std::string_view rest = content.value.substr(at + 8);
        size_t len = 0;
        while (len < rest.size() && rest[len] != ';' && rest[len] != ' ' && rest[len] != '\t')
            ++len;
        if (len > 0) return std::string(rest.substr(0, len));
    }
    return {};
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        // Plain ASCII runs are the common case; skip them eight bytes at a time.
        while (pos + 8 <= bytes.size()) {
            uint64_t word;
            __builtin_memcpy(&word, bytes.data() + pos, 8);
            if (word & 0x8080808080808080ull) break;
            pos += 8;
        }
        if (pos >= bytes.size()) break;
        const size_t len = ValidUtf8Length(bytes, pos);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

std::string RepairUtf8(std::string_view bytes, size_t& losses) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t len = ValidUtf8Length(bytes, pos);
        if (len == 0) {
            AppendUtf8(out, 0xFFFD);
            ++losses;
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, size_t& losses) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    const auto unit = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]),
                   b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 0; i < units; ++i) {
        uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
            ++losses;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian, size_t& losses) {
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = ValidUtf8Length(text, pos);
        uint32_t cp = 0xFFFD;
        if (len == 0)
            ++losses;
        else
            cp = DecodeUtf8(text, pos, len);
        pos += len == 0 ? 1 : len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendUnit(out, static_cast<uint16_t>(0xD800 + (cp >> 10)), bigEndian);
            AppendUnit(out, static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)), bigEndian);
        } else {
            AppendUnit(out, static_cast<uint16_t>(cp), bigEndian);
        }
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

bool IconvConvert(std::string_view in, const std::string& from, const std::string& to, std::string& out,
                  size_t& losses) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    const bool fromUtf8 = ClassifyEncoding(from) == EncodingKind::Utf8;
    const bool toUtf8 = ClassifyEncoding(to) == EncodingKind::Utf8;
    // A replacement in the target encoding: U+FFFD for UTF-8, "?" otherwise (converted, so UTF-16/32 work).
    std::string replacement = toUtf8 ? "\xEF\xBF\xBD" : "";
    if (!toUtf8) {
        char q = '?';
        char* qin = &q;
        size_t qinLeft = 1;
        char buf[16];
        char* qout = buf;
        size_t qoutLeft = sizeof buf;
        if (iconv(cd, &qin, &qinLeft, &qout, &qoutLeft) != static_cast<size_t>(-1))
            replacement.assign(buf, qout);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.clear();
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (true) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = srcLeft == 0 ? iconv(cd, nullptr, nullptr, &dst, &dstLeft)
                                       : iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (rc != static_cast<size_t>(-1)) {
            if (srcLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (srcLeft == 0) break;
        // EILSEQ or EINVAL: one unusable character; replace it and go on after it.
        const size_t skip = fromUtf8 ? CharLength(std::string_view(src, srcLeft), 0) : 1;
        src += skip;
        srcLeft -= skip;
        ++losses;
        out.resize(std::max(out.size(), used + replacement.size() + 16));
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
    }
    out.resize(used);
    iconv_close(cd);
    return true;
}
