// An XML document held as UTF-8 text with an element index and a cursor that walks it by name.
#include "markup/MarkupDocument.h"

#include "markup/MarkupEncoding.h"
#include "markup/MarkupParser.h"
#include "markup/MarkupText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <numeric>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using LogAttributes = std::initializer_list<std::pair<std::string_view, std::string>>;

void AddResult(std::string& log, std::string_view name, LogAttributes attributes = {}) {
    log += '<';
    log += name;
    for (const auto& [key, value] : attributes) {
        log += ' ';
        log += key;
        log += "=\"";
        log += EscapeMarkupAttribute(value);
        log += '"';
    }
    log += "/>";
}

// Reads the whole file; false with errno set when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes, bool& truncated) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    struct stat info {};
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    bytes.clear();
    if (regular) bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        errno = error;
        return false;
    }
    truncated = regular && bytes.size() < static_cast<size_t>(info.st_size);
    return true;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = error;
    return written && closed;
}

std::string ErrorText() {
    return std::strerror(errno);
}

} // namespace

struct MarkupDocument::Impl {
    std::string text;
    std::vector<MarkupElement> elements{MarkupElement{}};
    uint32_t parent = 0;
    uint32_t current = 0;
    std::string result;
    // How the loaded file was stored, so that saving writes it back the same way.
    EncodingKind fileEncoding = EncodingKind::Utf8;
    bool fileUtf8Bom = false;

    bool Parse();
    void Clear();
    void LogProblems(const std::vector<MarkupProblem>& problems);
    std::string Decode(std::string_view bytes);
    std::string DecodeUnmarked(std::string_view bytes);
    std::string_view NameOf(uint32_t index) const {
        return std::string_view(text).substr(elements[index].start + 1, elements[index].nameLength);
    }
    size_t EndOf(uint32_t index) const { return elements[index].start + elements[index].length; }
    void Replace(uint32_t container, size_t pos, size_t oldLength, std::string_view replacement);
    void ShiftSubtree(uint32_t top, ptrdiff_t delta);
    MarkupElement NewElement(size_t start, std::string_view name, std::string_view value, int flags,
                             std::string& markup) const;
    uint32_t Append(const MarkupElement& element);
    void Encode(std::string& bytes, std::string& encodingName);
};

bool MarkupDocument::Impl::Parse() {
    std::vector<MarkupProblem> problems;
    MarkupParser parser(text, elements, problems);
    const bool wellFormed = parser.Parse();
    LogProblems(problems);
    parent = current = 0;
    return wellFormed;
}

void MarkupDocument::Impl::Clear() {
    text.clear();
    elements.assign(1, MarkupElement{});
    parent = current = 0;
}

// Offsets in the log count characters (code points); problems arrive roughly in text order, so one
// sorted sweep over the text converts them all.
void MarkupDocument::Impl::LogProblems(const std::vector<MarkupProblem>& problems) {
    std::vector<size_t> order(problems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return problems[a].offset < problems[b].offset; });
    std::vector<size_t> characterOffset(problems.size());
    size_t byte = 0, characters = 0;
    for (size_t i : order) {
        characters += CountCodePoints(std::string_view(text).substr(byte, problems[i].offset - byte));
        byte = problems[i].offset;
        characterOffset[i] = characters;
    }
    for (size_t i = 0; i < problems.size(); ++i) {
        const MarkupProblem& p = problems[i];
        if (p.tagName.empty())
            AddResult(result, p.name, {{"offset", std::to_string(characterOffset[i])}});
        else
            AddResult(result, p.name,
                      {{"tagname", std::string(p.tagName)}, {"offset", std::to_string(characterOffset[i])}});
    }
}

std::string MarkupDocument::Impl::Decode(std::string_view bytes) {
    size_t losses = 0;
    std::string decoded;
    fileEncoding = EncodingKind::Utf8;
    fileUtf8Bom = false;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        AddResult(result, "bom", {{"encoding", "UTF-8"}});
        fileUtf8Bom = true;
        decoded = RepairUtf8(bytes.substr(3), losses);
    } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        const bool bigEndian = bytes[0] == '\xFE';
        fileEncoding = bigEndian ? EncodingKind::Utf16BE : EncodingKind::Utf16LE;
        const char* name = bigEndian ? "UTF-16BE" : "UTF-16LE";
        AddResult(result, "bom", {{"encoding", name}});
        if (bigEndian) AddResult(result, "endian_swap");
        if (bytes.size() % 2 != 0)
            AddResult(result, "truncation_error", {{"msg", "odd number of bytes in UTF-16 text"}});
        decoded = Utf16ToUtf8(bytes.substr(2), bigEndian, losses);
        AddResult(
            result, "converted_to",
            {{"encoding", "UTF-8"}, {"type", name}, {"length", std::to_string(CountCodePoints(decoded))}});
    } else {
        return DecodeUnmarked(bytes);
    }
    if (losses > 0) AddResult(result, "conversion_loss", {{"count", std::to_string(losses)}});
    return decoded;
}

// Without a byte-order mark: the declaration, then an HTML meta charset, then UTF-8, then the code page.
std::string MarkupDocument::Impl::DecodeUnmarked(std::string_view bytes) {
    size_t losses = 0;
    std::string declared = DeclaredXmlEncoding(bytes);
    if (declared.empty()) declared = HtmlMetaCharset(bytes);
    const EncodingKind kind = ClassifyEncoding(declared);
    std::string decoded;
    if (!declared.empty() && kind == EncodingKind::Utf8) {
        decoded = RepairUtf8(bytes, losses);
    } else if (!declared.empty() && kind == EncodingKind::Other &&
               IconvConvert(bytes, declared, "UTF-8", decoded, losses)) {
        AddResult(result, "converted_to",
                  {{"encoding", "UTF-8"},
                   {"type", declared},
                   {"length", std::to_string(CountCodePoints(decoded))}});
    } else if (IsValidUtf8(bytes)) {
        // A declared UTF-16 without a mark cannot be: its declaration was readable byte by byte.
        AddResult(result, "utf8_detection");
        decoded.assign(bytes);
    } else {
        decoded = Windows1252ToUtf8(bytes);
        AddResult(result, "converted_to",
                  {{"encoding", "UTF-8"},
                   {"type", std::string(kFallbackCodePage)},
                   {"length", std::to_string(CountCodePoints(decoded))}});
    }
    if (losses > 0) AddResult(result, "conversion_loss", {{"count", std::to_string(losses)}});
    return decoded;
}

// Replaces text inside `container` (0 for the document) and keeps the index in step. Only the
// containing elements and those after the change are touched, so building a file element by element
// stays linear in its size.
void MarkupDocument::Impl::Replace(uint32_t container, size_t pos, size_t oldLength,
                                   std::string_view replacement) {
    text.replace(pos, oldLength, replacement);
    const auto delta = static_cast<ptrdiff_t>(replacement.size()) - static_cast<ptrdiff_t>(oldLength);
    for (uint32_t node = container;; node = elements[node].parent) {
        // Children after the change, walked back from the last one (the first child's previous link).
        const uint32_t first = elements[node].firstChild;
        for (uint32_t child = first ? elements[first].prevSibling : 0; child != 0;) {
            if (elements[child].start < pos + oldLength) break;
            ShiftSubtree(child, delta);
            child = child == first ? 0 : elements[child].prevSibling;
        }
        if (node == 0) break;
        elements[node].length = static_cast<size_t>(static_cast<ptrdiff_t>(elements[node].length) + delta);
    }
    elements[0].length = text.size();
}

// Moves an element and all its descendants, without recursion.
void MarkupDocument::Impl::ShiftSubtree(uint32_t top, ptrdiff_t delta) {
    uint32_t node = top;
    while (true) {
        elements[node].start = static_cast<size_t>(static_cast<ptrdiff_t>(elements[node].start) + delta);
        if (elements[node].firstChild != 0) {
            node = elements[node].firstChild;
            continue;
        }
        while (node != top && elements[node].nextSibling == 0)
            node = elements[node].parent;
        if (node == top) return;
        node = elements[node].nextSibling;
    }
}

// Appends the element's markup (with its line break) and returns its index entry for `start`.
MarkupElement MarkupDocument::Impl::NewElement(size_t start, std::string_view name, std::string_view value,
                                               int flags, std::string& markup) const {
    MarkupElement element;
    element.start = start;
    element.nameLength = static_cast<uint32_t>(name.size());
    const size_t from = markup.size();
    markup += '<';
    markup += name;
    if (value.empty() && !(flags & WithCData)) {
        markup += "/>";
        element.flags = MarkupElement::Empty;
        element.startTagLength = markup.size() - from;
    } else {
        markup += '>';
        element.startTagLength = markup.size() - from;
        if (flags & WithCData) {
            std::string inner(value);
            for (size_t at = inner.find("]]>"); at != std::string::npos; at = inner.find("]]>", at + 15))
                inner.replace(at, 3, "]]]]><![CDATA[>");
            markup += "<![CDATA[" + inner + "]]>";
        } else {
            markup += EscapeMarkupText(value);
        }
        const size_t endTag = markup.size();
        markup += "</";
        markup += name;
        markup += '>';
        element.endTagLength = markup.size() - endTag;
    }
    element.length = markup.size() - from;
    markup += "\r\n";
    return element;
}

uint32_t MarkupDocument::Impl::Append(const MarkupElement& element) {
    elements.push_back(element);
    return static_cast<uint32_t>(elements.size() - 1);
}

MarkupDocument::MarkupDocument() : m_impl(std::make_unique<Impl>()) {}

MarkupDocument::~MarkupDocument() = default;

bool MarkupDocument::LoadFile(const std::string& path) {
    Impl& d = *m_impl;
    d.result.clear();
    d.Clear();
    std::string bytes;
    bool truncated = false;
    if (!ReadWholeFile(path, bytes, truncated)) {
        AddResult(d.result, "file_error", {{"msg", ErrorText()}});
        return false;
    }
    AddResult(d.result, "read", {{"length", std::to_string(bytes.size())}});
    if (truncated) AddResult(d.result, "truncation_error");
    std::string text = d.Decode(bytes);
    const size_t nulls = static_cast<size_t>(std::count(text.begin(), text.end(), '\0'));
    if (nulls > 0) {
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
        AddResult(d.result, "nulls_removed", {{"count", std::to_string(nulls)}});
    }
    d.text = std::move(text);
    if (d.Parse()) return true;
    d.Clear();
    return false;
}

bool MarkupDocument::SetDocument(const std::string& text) {
    Impl& d = *m_impl;
    d.result.clear();
    d.text = text;
    d.fileEncoding = EncodingKind::Utf8;
    d.fileUtf8Bom = false;
    return d.Parse();
}

const std::string& MarkupDocument::GetDocument() const {
    return m_impl->text;
}

// Picks the target encoding (the loaded file's UTF-16, else the declaration, else UTF-8) and converts.
void MarkupDocument::Impl::Encode(std::string& bytes, std::string& encodingName) {
    size_t losses = 0;
    EncodingKind kind = fileEncoding;
    encodingName = kind == EncodingKind::Utf16LE   ? "UTF-16LE"
                   : kind == EncodingKind::Utf16BE ? "UTF-16BE"
                                                   : "";
    if (kind == EncodingKind::Utf8) {
        encodingName = text.empty() ? "" : DeclaredXmlEncoding(text);
        if (encodingName.empty()) encodingName = "UTF-8";
        kind = ClassifyEncoding(encodingName);
    }
    if (kind == EncodingKind::Utf8) {
        bytes = fileUtf8Bom ? "\xEF\xBB\xBF" + text : text;
        return;
    }
    if (kind != EncodingKind::Other) {
        // UTF-16 is written with its mark: without one, no reader could tell it from bytes.
        const bool bigEndian = kind == EncodingKind::Utf16BE;
        bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        bytes += Utf8ToUtf16(text, bigEndian, losses);
    } else if (!IconvConvert(text, "UTF-8", encodingName, bytes, losses)) {
        AddResult(result, "converted_from",
                  {{"encoding", "UTF-8"}, {"msg", "unknown encoding " + encodingName}});
        encodingName = "UTF-8";
        bytes = text;
        return;
    }
    AddResult(result, "converted_from",
              {{"encoding", encodingName}, {"length", std::to_string(CountCodePoints(text))}});
    if (losses > 0) AddResult(result, "conversion_loss", {{"count", std::to_string(losses)}});
}

bool MarkupDocument::SaveFile(const std::string& path) {
    Impl& d = *m_impl;
    d.result.clear();
    std::string bytes, encoding;
    d.Encode(bytes, encoding);
    if (!WriteWholeFile(path, bytes)) {
        AddResult(d.result, "file_error", {{"msg", ErrorText()}});
        return false;
    }
    AddResult(d.result, "write", {{"encoding", encoding}, {"length", std::to_string(bytes.size())}});
    return true;
}

void MarkupDocument::ResetPosition() {
    m_impl->parent = 0;
    m_impl->current = 0;
}

bool MarkupDocument::FindElement(const std::string& name) {
    Impl& d = *m_impl;
    if (d.elements.size() <= 1) return false;
    uint32_t at = d.current ? d.elements[d.current].nextSibling : d.elements[d.parent].firstChild;
    for (; at != 0; at = d.elements[at].nextSibling) {
        if (name.empty() || d.NameOf(at) == name) {
            d.current = at;
            return true;
        }
    }
    return false;
}

bool MarkupDocument::IntoElement() {
    Impl& d = *m_impl;
    if (d.current == 0) return false;
    d.parent = d.current;
    d.current = 0;
    return true;
}

bool MarkupDocument::OutOfElement() {
    Impl& d = *m_impl;
    if (d.parent == 0) return false;
    d.current = d.parent;
    d.parent = d.elements[d.parent].parent;
    return true;
}

std::string MarkupDocument::GetAttribute(const std::string& name) const {
    const Impl& d = *m_impl;
    if (d.current == 0) return {};
    const MarkupElement& e = d.elements[d.current];
    const AttributeSpan span =
        FindAttribute(std::string_view(d.text).substr(e.start, e.startTagLength), name);
    return span.found ? DecodeMarkupEntities(span.value) : std::string();
}

bool MarkupDocument::SetAttribute(const std::string& name, const std::string& value) {
    Impl& d = *m_impl;
    if (d.current == 0 || !IsMarkupName(name)) return false;
    const MarkupElement e = d.elements[d.current];
    const std::string attribute = name + "=\"" + EscapeMarkupAttribute(value) + "\"";
    const std::string_view tag = std::string_view(d.text).substr(e.start, e.startTagLength);
    const AttributeSpan span = FindAttribute(tag, name);
    size_t pos, oldLength = 0;
    std::string replacement = attribute;
    if (span.found) {
        pos = span.begin;
        oldLength = span.end - span.begin;
    } else {
        // New attributes go after the last one, before any white space and "/>" or ">".
        pos = e.startTagLength - 1;
        if ((e.flags & MarkupElement::Empty) && tag[pos - 1] == '/') --pos;
        while (pos > 1 + e.nameLength && std::strchr(" \t\r\n", tag[pos - 1]))
            --pos;
        replacement = " " + attribute;
    }
    // A malformed tag (a dangling "=", an open quote) could swallow the new attribute; leave it alone then.
    std::string changedTag(tag);
    changedTag.replace(pos, oldLength, replacement);
    const AttributeSpan check = FindAttribute(changedTag, name);
    if (!check.found || check.value != EscapeMarkupAttribute(value)) return false;
    d.Replace(d.current, e.start + pos, oldLength, replacement);
    d.elements[d.current].startTagLength = changedTag.size();
    return true;
}

bool MarkupDocument::AddElement(const std::string& name, const std::string& value, int flags) {
    Impl& d = *m_impl;
    if (!IsMarkupName(name)) return false;
    std::string markup;
    MarkupElement element;
    if (d.current != 0) {
        // After the current element and its line break.
        size_t pos = d.EndOf(d.current);
        if (d.text.compare(pos, 2, "\r\n") == 0)
            pos += 2;
        else if (pos < d.text.size() && d.text[pos] == '\n')
            pos += 1;
        element = d.NewElement(pos, name, value, flags, markup);
        d.Replace(d.parent, pos, 0, markup);
        const uint32_t added = d.Append(element);
        MarkupParser::LinkAfter(d.elements, d.current, added);
        d.current = added;
        return true;
    }
    const MarkupElement p = d.elements[d.parent];
    if (d.parent != 0 && (p.flags & MarkupElement::Empty)) {
        // "<p/>" becomes "<p>\r\n<child/>\r\n</p>": the parent gets a start and an end tag.
        std::string rewritten = d.text.substr(p.start, p.length - 2) + ">\r\n";
        const size_t startTag = rewritten.size() - 2;
        element = d.NewElement(p.start + rewritten.size(), name, value, flags, rewritten);
        rewritten += "</" + std::string(d.NameOf(d.parent)) + ">";
        d.Replace(p.parent, p.start, p.length, rewritten);
        MarkupElement& changed = d.elements[d.parent];
        changed.flags &= ~MarkupElement::Empty;
        changed.startTagLength = startTag;
        changed.endTagLength = 3 + changed.nameLength;
        changed.length = rewritten.size();
    } else {
        // At the end of the parent's content (the whole text at the top level).
        const size_t pos = d.parent ? p.start + p.length - p.endTagLength : d.text.size();
        if (d.parent && pos == p.start + p.startTagLength) markup = "\r\n";
        element = d.NewElement(pos + markup.size(), name, value, flags, markup);
        d.Replace(d.parent, pos, 0, markup);
    }
    d.current = d.Append(element);
    MarkupParser::LinkLastChild(d.elements, d.parent, d.current);
    return true;
}

std::string MarkupDocument::GetResult() const {
    return m_impl->result;
}
