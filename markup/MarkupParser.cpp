// Builds the element index of a markup text in one pass, noting the syntax problems it meets.
#include "markup/MarkupParser.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

// A tag name runs until white space or a character that ends or structures the tag.
bool EndsTagName(char c) {
    return IsSpace(c) || c == '/' || c == '>' || c == '<' || c == '"' || c == '\'' || c == '=';
}

// Position of the first ">", "<" or quote at or after i (n when none): start tags are scanned
// sixteen bytes at a time, since long attribute lists dominate the parse.
size_t FindTagSpecial(const char* s, size_t i, size_t n) {
#if defined(__SSE2__)
    const __m128i gt = _mm_set1_epi8('>'), lt = _mm_set1_epi8('<');
    const __m128i dq = _mm_set1_epi8('"'), sq = _mm_set1_epi8('\'');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, gt), _mm_cmpeq_epi8(v, lt)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, dq), _mm_cmpeq_epi8(v, sq)));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < n && s[i] != '>' && s[i] != '<' && s[i] != '"' && s[i] != '\'')
        ++i;
    return i;
}

// Position of the first byte c at or after i (n when none); attribute values are short, so an inline
// sixteen-byte step beats a call to memchr.
size_t FindByte(const char* s, size_t i, size_t n, char c) {
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(c);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, needle));
        if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < n && s[i] != c)
        ++i;
    return i;
}

} // namespace

MarkupParser::MarkupParser(std::string_view text, std::vector<MarkupElement>& elements,
                           std::vector<MarkupProblem>& problems)
    : m_text(text), m_elements(elements), m_problems(problems) {}

bool MarkupParser::Parse() {
    m_elements.clear();
    m_problems.clear();
    MarkupElement document;
    document.length = m_text.size();
    m_elements.push_back(document);
    // Most documents have an element per 16 bytes or fewer; reserving avoids repeated copies of the index.
    m_elements.reserve(m_text.size() / 16 + 1);
    m_open.reserve(32);
    const char* s = m_text.data();
    const size_t n = m_text.size();
    size_t pos = 0;
    while (pos < n) {
        const void* hit = std::memchr(s + pos, '<', n - pos);
        if (!hit) break;
        const size_t lt = static_cast<size_t>(static_cast<const char*>(hit) - s);
        const char c = lt + 1 < n ? s[lt + 1] : '\0';
        if (c == '/') {
            pos = EndTag(lt);
        } else if (c == '?') {
            pos = SkipPast(lt + 2, "?>", "unterminated_tag_syntax", lt);
        } else if (c == '!') {
            pos = Exclamation(lt);
        } else if (IsNameStart(c)) {
            pos = StartTag(lt);
        } else if (lt + 1 >= n) {
            Problem("unterminated_tag_syntax", lt);
            break;
        } else {
            Problem("first_tag_syntax", lt);
            pos = lt + 1;
        }
    }
    CloseUnended(n);
    const uint32_t root = m_elements[0].firstChild;
    if (root == 0) {
        Problem("no_root_element", 0);
    } else if (m_elements[root].nextSibling != 0) {
        const uint32_t second = m_elements[root].nextSibling;
        Problem("root_has_sibling", m_elements[second].start, NameOf(second));
    }
    if (m_illFormed) m_elements[0].flags |= MarkupElement::IllFormed;
    return !m_illFormed && root != 0 && m_elements[root].nextSibling == 0;
}

size_t MarkupParser::StartTag(size_t lt) {
    const char* s = m_text.data();
    const size_t n = m_text.size();
    size_t i = lt + 1;
    while (i < n && !EndsTagName(s[i]))
        ++i;
    const size_t nameLength = i - lt - 1;
    while ((i = FindTagSpecial(s, i, n)) < n && s[i] != '>') {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const size_t close = FindByte(s, i + 1, n, c);
            i = close < n ? close + 1 : n;
        } else if (c == '<') {
            // A new tag starts before this one ended: report it and parse on from the new tag.
            Problem("unterminated_tag_syntax", lt, m_text.substr(lt + 1, nameLength));
            return i;
        }
    }
    if (i >= n) {
        Problem("unterminated_tag_syntax", lt, m_text.substr(lt + 1, nameLength));
        return n;
    }
    const auto index = static_cast<uint32_t>(m_elements.size());
    MarkupElement element;
    element.start = lt;
    element.startTagLength = i - lt + 1;
    element.nameLength = static_cast<uint32_t>(nameLength);
    const bool empty = s[i - 1] == '/' && i - 1 > lt + nameLength;
    if (empty) {
        element.flags = MarkupElement::Empty;
        element.length = element.startTagLength;
    }
    m_elements.push_back(element);
    LinkLastChild(m_elements, m_open.empty() ? 0 : m_open.back(), index);
    if (!empty) Push(index);
    return i + 1;
}

size_t MarkupParser::EndTag(size_t lt) {
    const char* s = m_text.data();
    const size_t n = m_text.size();
    size_t i = lt + 2;
    while (i < n && !IsSpace(s[i]) && s[i] != '>' && s[i] != '<')
        ++i;
    const std::string_view name = m_text.substr(lt + 2, i - lt - 2);
    while (i < n && s[i] != '>' && s[i] != '<')
        ++i;
    if (i >= n || s[i] == '<') {
        Problem("unterminated_tag_syntax", lt, name);
        return i;
    }
    const size_t end = i + 1;
    if (!m_open.empty() && NameOf(m_open.back()) == name) {
        Close(m_open.back(), end, end - lt);
        Pop();
        return end;
    }
    if (!IsOpen(name)) {
        Problem("lone_end_tag", lt, name);
        return end;
    }
    // Elements opened inside the matching one and never closed end where this end tag starts.
    while (NameOf(m_open.back()) != name) {
        const uint32_t unended = m_open.back();
        Problem("unended_start_tag", m_elements[unended].start, NameOf(unended));
        Close(unended, lt, 0);
        Pop();
    }
    Close(m_open.back(), end, end - lt);
    Pop();
    return end;
}

size_t MarkupParser::Exclamation(size_t lt) {
    const std::string_view rest = m_text.substr(lt);
    if (rest.substr(0, 4) == "<!--") return SkipPast(lt + 4, "-->", "comment_tag_syntax", lt);
    if (rest.substr(0, 9) == "<![CDATA[") return SkipPast(lt + 9, "]]>", "cdata_section_syntax", lt);
    if (rest.substr(0, 3) == "<!-") {
        Problem("comment_tag_syntax", lt);
        return lt + 2;
    }
    if (rest.substr(0, 3) == "<![") {
        Problem("cdata_section_syntax", lt);
        return lt + 2;
    }
    if (rest.substr(0, 9) == "<!DOCTYPE") {
        const size_t end = DoctypeEnd(lt + 9);
        if (end == std::string_view::npos) {
            Problem("doctype_tag_syntax", lt);
            return m_text.size();
        }
        return end;
    }
    return SkipPast(lt + 2, ">", "exclamation_tag_syntax", lt);
}

size_t MarkupParser::SkipPast(size_t from, std::string_view terminator, const char* problem, size_t lt) {
    const size_t at = from <= m_text.size() ? m_text.find(terminator, from) : std::string_view::npos;
    if (at == std::string_view::npos) {
        Problem(problem, lt);
        return m_text.size();
    }
    return at + terminator.size();
}

// The document type may hold an internal subset in brackets, with quoted literals that contain ">".
size_t MarkupParser::DoctypeEnd(size_t from) const {
    int depth = 0;
    for (size_t i = from; i < m_text.size(); ++i) {
        const char c = m_text[i];
        if (c == '"' || c == '\'') {
            const size_t close = m_text.find(c, i + 1);
            if (close == std::string_view::npos) return std::string_view::npos;
            i = close;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (c == '>' && depth == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

void MarkupParser::Close(uint32_t index, size_t end, size_t endTagLength) {
    MarkupElement& element = m_elements[index];
    element.length = end - element.start;
    element.endTagLength = endTagLength;
}

void MarkupParser::CloseUnended(size_t end) {
    while (!m_open.empty()) {
        const uint32_t unended = m_open.back();
        Problem("unended_start_tag", m_elements[unended].start, NameOf(unended));
        Close(unended, end, 0);
        Pop();
    }
}

bool MarkupParser::IsOpen(std::string_view name) {
    if (!m_counting) {
        m_counting = true;
        for (uint32_t index : m_open)
            ++m_openCount[NameOf(index)];
    }
    auto it = m_openCount.find(name);
    return it != m_openCount.end() && it->second > 0;
}

void MarkupParser::Push(uint32_t index) {
    m_open.push_back(index);
    if (m_counting) ++m_openCount[NameOf(index)];
}

void MarkupParser::Pop() {
    if (m_counting) --m_openCount[NameOf(m_open.back())];
    m_open.pop_back();
}

std::string_view MarkupParser::NameOf(uint32_t index) const {
    const MarkupElement& element = m_elements[index];
    return m_text.substr(element.start + 1, element.nameLength);
}

void MarkupParser::Problem(const char* name, size_t offset, std::string_view tagName) {
    m_illFormed = m_illFormed ||
                  (std::strcmp(name, "no_root_element") != 0 && std::strcmp(name, "root_has_sibling") != 0);
    if (m_problems.size() < kMaxProblems) m_problems.push_back({name, offset, tagName});
}

void MarkupParser::LinkLastChild(std::vector<MarkupElement>& elements, uint32_t parent, uint32_t child) {
    MarkupElement& p = elements[parent];
    elements[child].parent = parent;
    elements[child].nextSibling = 0;
    if (p.firstChild == 0) {
        p.firstChild = child;
        elements[child].prevSibling = child;
        return;
    }
    const uint32_t first = p.firstChild;
    const uint32_t last = elements[first].prevSibling;
    elements[last].nextSibling = child;
    elements[child].prevSibling = last;
    elements[first].prevSibling = child;
}

void MarkupParser::LinkAfter(std::vector<MarkupElement>& elements, uint32_t after, uint32_t child) {
    const uint32_t parent = elements[after].parent;
    const uint32_t next = elements[after].nextSibling;
    elements[child].parent = parent;
    elements[child].prevSibling = after;
    elements[child].nextSibling = next;
    if (next != 0)
        elements[next].prevSibling = child;
    else
        elements[elements[parent].firstChild].prevSibling = child;
    elements[after].nextSibling = child;
}
