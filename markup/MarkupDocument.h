// An XML document held as text with an element cursor: load, navigate, read and write attributes.
#pragma once

#include <string>

class MarkupDocument {
public:
    MarkupDocument();
    ~MarkupDocument();
    MarkupDocument(const MarkupDocument&) = delete;
    MarkupDocument& operator=(const MarkupDocument&) = delete;

    // Reads and decodes a file (BOM, declaration, meta charset, UTF-8, fallback); false if unreadable or ill-formed.
    bool LoadFile(const std::string& path);
    // Replaces the document with UTF-8 text; false if it is not well-formed (the text is kept anyway).
    bool SetDocument(const std::string& text);
    const std::string& GetDocument() const;
    // Writes the document in its declared encoding.
    bool SaveFile(const std::string& path);

    void ResetPosition();
    bool FindElement(const std::string& name);
    bool IntoElement();
    bool OutOfElement();
    std::string GetAttribute(const std::string& name) const;
    bool SetAttribute(const std::string& name, const std::string& value);
    bool AddElement(const std::string& name, const std::string& value = "", int flags = 0);
    std::string GetResult() const;

private:
    struct Impl;
    Impl* m_impl;
};
