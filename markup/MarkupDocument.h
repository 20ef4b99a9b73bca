// An XML document held as text with an element cursor: load, navigate, read and write attributes.
#pragma once

#include <memory>
#include <string>

class MarkupDocument {
public:
    // AddElement flag: the value is written as a CDATA section instead of escaped text.
    static constexpr int WithCData = 0x01;

    MarkupDocument();
    ~MarkupDocument();
    MarkupDocument(const MarkupDocument&) = delete;
    MarkupDocument& operator=(const MarkupDocument&) = delete;

    // Reads and decodes a file (BOM, declaration, meta charset, UTF-8, fallback); false if unreadable or
    // ill-formed. A file that fails to load leaves an empty document; GetResult() tells why.
    bool LoadFile(const std::string& path);
    // Replaces the document with UTF-8 text; false if it is not well-formed (the text is kept anyway).
    bool SetDocument(const std::string& text);
    const std::string& GetDocument() const;
    // Writes the document in its declared encoding (UTF-8 without a declaration); a file loaded as
    // UTF-16 is written back as UTF-16, and a loaded UTF-8 byte-order mark is kept.
    bool SaveFile(const std::string& path);

    // Cursor to the top: no parent, no current element.
    void ResetPosition();
    // Searches forward among the siblings after the current element (or from the parent's first child);
    // an empty name matches any element. On failure the cursor stays where it was.
    bool FindElement(const std::string& name);
    // The current element becomes the parent; the cursor stands before its first child.
    bool IntoElement();
    // The parent becomes the current element again.
    bool OutOfElement();
    // The current element's attribute with its entities decoded; empty when absent.
    std::string GetAttribute(const std::string& name) const;
    // Adds or replaces an attribute of the current element, value escaped; false without a current element,
    // for an invalid name, or when a malformed start tag would swallow the new attribute.
    bool SetAttribute(const std::string& name, const std::string& value);
    // Inserts an element after the current one (or as the parent's last child) and makes it current.
    bool AddElement(const std::string& name, const std::string& value = "", int flags = 0);
    // The result log of the last load, parse or save, as markup text.
    std::string GetResult() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
