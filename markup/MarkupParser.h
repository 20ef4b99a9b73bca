// Builds the element index of a markup text in one pass, noting the syntax problems it meets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

// One element of the index; entry 0 stands for the whole document.
struct MarkupElement {
    enum : uint32_t { Empty = 1, IllFormed = 2 };

    size_t start = 0;  // offset of "<" of the start tag
    size_t length = 0; // from "<" of the start tag to ">" of the end tag
    size_t startTagLength = 0;
    size_t endTagLength = 0; // 0 for the empty form and for a start tag that was never closed
    uint32_t nameLength = 0;
    uint32_t flags = 0;
    uint32_t parent = 0;
    uint32_t firstChild = 0;
    uint32_t nextSibling = 0;
    uint32_t prevSibling = 0; // the first child's points to the last child
};

struct MarkupProblem {
    const char* name; // result log name, e.g. "lone_end_tag"
    size_t offset;    // byte offset of the offending "<"
    std::string_view tagName;
};

class MarkupParser {
public:
    // Keeps the log small on hostile input; the document is marked ill-formed all the same.
    static constexpr size_t kMaxProblems = 1000;

    MarkupParser(std::string_view text, std::vector<MarkupElement>& elements,
                 std::vector<MarkupProblem>& problems);

    // Fills the index; true when the text is well formed (one root, no syntax problem).
    bool Parse();

    // Appends `child` as the last child of `parent`.
    static void LinkLastChild(std::vector<MarkupElement>& elements, uint32_t parent, uint32_t child);
    // Inserts `child` right after its sibling `after`.
    static void LinkAfter(std::vector<MarkupElement>& elements, uint32_t after, uint32_t child);

private:
    size_t StartTag(size_t lt);
    size_t EndTag(size_t lt);
    size_t Exclamation(size_t lt);
    size_t SkipPast(size_t from, std::string_view terminator, const char* problem, size_t lt);
    size_t DoctypeEnd(size_t from) const;
    void Close(uint32_t index, size_t end, size_t endTagLength);
    void CloseUnended(size_t end);
    bool IsOpen(std::string_view name);
    void Push(uint32_t index);
    void Pop();
    std::string_view NameOf(uint32_t index) const;
    void Problem(const char* name, size_t offset, std::string_view tagName = {});

    std::string_view m_text;
    std::vector<MarkupElement>& m_elements;
    std::vector<MarkupProblem>& m_problems;
    std::vector<uint32_t> m_open; // start tags not yet closed, innermost last
    bool m_illFormed = false;
    // Count of open elements by name, built only once an end tag fails to match, so that a run of
    // mismatched end tags under deep nesting costs no more than one pass.
    std::unordered_map<std::string_view, uint32_t> m_openCount;
    bool m_counting = false;
};
