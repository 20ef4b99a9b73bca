// Escaping and entity decoding of markup text, and the small UTF-8 helpers the engine shares.
#include "markup/MarkupText.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct NamedEntity {
    std::string_view name;
    uint32_t codePoint;
};

// The Latin-1 entities name U+00A0..U+00FF in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// Symbols, Greek letters and the special characters of HTML 4, plus the XML "apos".
constexpr NamedEntity kOtherEntities[] = {
    {"quot", 34},     {"amp", 38},       {"apos", 39},      {"lt", 60},       {"gt", 62},
    {"OElig", 338},   {"oelig", 339},    {"Scaron", 352},   {"scaron", 353},  {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},     {"tilde", 732},    {"Alpha", 913},   {"Beta", 914},
    {"Gamma", 915},   {"Delta", 916},    {"Epsilon", 917},  {"Zeta", 918},    {"Eta", 919},
    {"Theta", 920},   {"Iota", 921},     {"Kappa", 922},    {"Lambda", 923},  {"Mu", 924},
    {"Nu", 925},      {"Xi", 926},       {"Omicron", 927},  {"Pi", 928},      {"Rho", 929},
    {"Sigma", 931},   {"Tau", 932},      {"Upsilon", 933},  {"Phi", 934},     {"Chi", 935},
    {"Psi", 936},     {"Omega", 937},    {"alpha", 945},    {"beta", 946},    {"gamma", 947},
    {"delta", 948},   {"epsilon", 949},  {"zeta", 950},     {"eta", 951},     {"theta", 952},
    {"iota", 953},    {"kappa", 954},    {"lambda", 955},   {"mu", 956},      {"nu", 957},
    {"xi", 958},      {"omicron", 959},  {"pi", 960},       {"rho", 961},     {"sigmaf", 962},
    {"sigma", 963},   {"tau", 964},      {"upsilon", 965},  {"phi", 966},     {"chi", 967},
    {"psi", 968},     {"omega", 969},    {"thetasym", 977}, {"upsih", 978},   {"piv", 982},
    {"ensp", 8194},   {"emsp", 8195},    {"thinsp", 8201},  {"zwnj", 8204},   {"zwj", 8205},
    {"lrm", 8206},    {"rlm", 8207},     {"ndash", 8211},   {"mdash", 8212},  {"lsquo", 8216},
    {"rsquo", 8217},  {"sbquo", 8218},   {"ldquo", 8220},   {"rdquo", 8221},  {"bdquo", 8222},
    {"dagger", 8224}, {"Dagger", 8225},  {"bull", 8226},    {"hellip", 8230}, {"permil", 8240},
    {"prime", 8242},  {"Prime", 8243},   {"lsaquo", 8249},  {"rsaquo", 8250}, {"oline", 8254},
    {"frasl", 8260},  {"euro", 8364},    {"image", 8465},   {"weierp", 8472}, {"real", 8476},
    {"trade", 8482},  {"alefsym", 8501}, {"larr", 8592},    {"uarr", 8593},   {"rarr", 8594},
    {"darr", 8595},   {"harr", 8596},    {"crarr", 8629},   {"lArr", 8656},   {"uArr", 8657},
    {"rArr", 8658},   {"dArr", 8659},    {"hArr", 8660},    {"forall", 8704}, {"part", 8706},
    {"exist", 8707},  {"empty", 8709},   {"nabla", 8711},   {"isin", 8712},   {"notin", 8713},
    {"ni", 8715},     {"prod", 8719},    {"sum", 8721},     {"minus", 8722},  {"lowast", 8727},
    {"radic", 8730},  {"prop", 8733},    {"infin", 8734},   {"ang", 8736},    {"and", 8743},
    {"or", 8744},     {"cap", 8745},     {"cup", 8746},     {"int", 8747},    {"there4", 8756},
    {"sim", 8764},    {"cong", 8773},    {"asymp", 8776},   {"ne", 8800},     {"equiv", 8801},
    {"le", 8804},     {"ge", 8805},      {"sub", 8834},     {"sup", 8835},    {"nsub", 8836},
    {"sube", 8838},   {"supe", 8839},    {"oplus", 8853},   {"otimes", 8855}, {"perp", 8869},
    {"sdot", 8901},   {"lceil", 8968},   {"rceil", 8969},   {"lfloor", 8970}, {"rfloor", 8971},
    {"lang", 9001},   {"rang", 9002},    {"loz", 9674},     {"spades", 9824}, {"clubs", 9827},
    {"hearts", 9829}, {"diams", 9830},
};

const std::vector<NamedEntity>& SortedEntities() {
    static const std::vector<NamedEntity> table = [] {
        std::vector<NamedEntity> all;
        for (size_t i = 0; i < kLatin1Names.size(); ++i)
            all.push_back({kLatin1Names[i], static_cast<uint32_t>(0xA0 + i)});
        for (const NamedEntity& e : kOtherEntities)
            all.push_back(e);
        std::sort(all.begin(), all.end(),
                  [](const NamedEntity& a, const NamedEntity& b) { return a.name < b.name; });
        return all;
    }();
    return table;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsReferenceCodePoint(uint32_t cp) {
    return cp != 0 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// Decodes "#N" or "#xH" (the text between "&" and ";"); 0 when it is not a usable character.
uint32_t NumericReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') return 0;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    uint32_t value = 0;
    for (char c : digits) {
        const int d = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
        if (d < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    }
    return IsReferenceCodePoint(value) ? value : 0;
}

// The longest entity name ("thetasym") is 8 letters; a numeric reference needs at most "#x" + 8 digits.
constexpr size_t kMaxReferenceLength = 10;

std::string Escape(std::string_view value, bool quotes) {
    std::string out;
    out.reserve(value.size() + value.size() / 8);
    for (char c : value) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\'':
            quotes ? out += "&apos;" : out += c;
            break;
        case '"':
            quotes ? out += "&quot;" : out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

uint32_t LookupNamedEntity(std::string_view name) {
    const auto& table = SortedEntities();
    auto it = std::lower_bound(table.begin(), table.end(), name,
                               [](const NamedEntity& e, std::string_view n) { return e.name < n; });
    return (it != table.end() && it->name == name) ? it->codePoint : 0;
}

size_t NamedEntityCount() {
    return SortedEntities().size();
}

std::string DecodeMarkupEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, amp - pos));
        const size_t semi =
            text.substr(0, std::min(text.size(), amp + 2 + kMaxReferenceLength)).find(';', amp + 1);
        uint32_t cp = 0;
        if (semi != std::string_view::npos) {
            std::string_view body = text.substr(amp + 1, semi - amp - 1);
            cp = (!body.empty() && body[0] == '#') ? NumericReference(body) : LookupNamedEntity(body);
        }
        if (cp == 0) {
            out += '&';
            pos = amp + 1;
            continue;
        }
        AppendUtf8(out, cp);
        pos = semi + 1;
    }
    return out;
}

std::string EscapeMarkupAttribute(std::string_view value) {
    return Escape(value, true);
}

std::string EscapeMarkupText(std::string_view value) {
    return Escape(value, false);
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t ValidUtf8Length(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(pos);
    if (c < 0x80) return 1;
    size_t len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < len) return 0;
    for (size_t i = 1; i < len; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

size_t CountCodePoints(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

bool IsMarkupName(std::string_view name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool letter =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        const bool later = IsDigit(static_cast<char>(c)) || c == '-' || c == '.';
        if (!letter && !(i > 0 && later)) return false;
    }
    return true;
}

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsAttributeDelimiter(char c) {
    switch (c) {
    case ' ':
    case '\t':
    case '\r':
    case '\n':
    case '=':
    case '"':
    case '\'':
    case '/':
    case '?':
    case '!':
    case '\\':
    case '<':
    case '>':
    case ';':
        return true;
    default:
        return false;
    }
}

size_t SkipSpace(std::string_view s, size_t i) {
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    return i;
}

size_t SkipName(std::string_view s, size_t i) {
    while (i < s.size() && !IsAttributeDelimiter(s[i]))
        ++i;
    return i;
}

} // namespace

AttributeSpan FindAttribute(std::string_view tag, std::string_view name) {
    AttributeSpan span;
    size_t i = SkipName(tag, tag.empty() ? 0 : 1);
    while (i < tag.size()) {
        const char c = tag[i];
        if (c == '"' || c == '\'') {
            // A stray quoted token (no name before it) is skipped whole.
            const size_t close = tag.find(c, i + 1);
            i = close == std::string_view::npos ? tag.size() : close + 1;
            continue;
        }
        if (IsAttributeDelimiter(c)) {
            ++i;
            continue;
        }
        const size_t nameBegin = i;
        i = SkipName(tag, i);
        const bool match = tag.substr(nameBegin, i - nameBegin) == name;
        size_t j = SkipSpace(tag, i);
        if (j < tag.size() && tag[j] == '=') {
            j = SkipSpace(tag, j + 1);
            std::string_view value;
            if (j < tag.size() && (tag[j] == '"' || tag[j] == '\'')) {
                size_t close = tag.find(tag[j], j + 1);
                if (close == std::string_view::npos) close = tag.size();
                value = tag.substr(j + 1, close - j - 1);
                j = std::min(tag.size(), close + 1);
            } else {
                const size_t valueBegin = j;
                j = SkipName(tag, j);
                value = tag.substr(valueBegin, j - valueBegin);
            }
            if (match) return {true, nameBegin, j, value};
            i = j;
        } else if (match) {
            return {true, nameBegin, i, {}};
        }
    }
    return span;
}
