// Escaping and entity decoding of markup text, and the small UTF-8 helpers the engine shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes "&lt;" "&amp;" "&gt;" "&apos;" "&quot;", "&#N;", "&#xH;" and the HTML 4 named entities;
// a reference that is not recognised is copied unchanged.
std::string DecodeMarkupEntities(std::string_view text);

// Code point of an HTML 4 named entity (or "apos"), 0 when the name is unknown. Case-sensitive.
uint32_t LookupNamedEntity(std::string_view name);

// Number of named entities known to LookupNamedEntity, "apos" included.
size_t NamedEntityCount();

// Escapes the five markup characters, for attribute values.
std::string EscapeMarkupAttribute(std::string_view value);

// Escapes "<", "&" and ">", for element text.
std::string EscapeMarkupText(std::string_view value);

// Appends the UTF-8 form of a code point (U+FFFD for surrogates and values past U+10FFFF).
void AppendUtf8(std::string& out, uint32_t codePoint);

// Length of the valid UTF-8 sequence at text[pos], 0 when the bytes there are not valid UTF-8.
size_t ValidUtf8Length(std::string_view text, size_t pos);

// Number of code points in UTF-8 text (lead bytes; stray continuation bytes are not counted).
size_t CountCodePoints(std::string_view text);

// Where one attribute stands inside a tag's text ("<name a='1' b=2/>"), as offsets into that text.
struct AttributeSpan {
    bool found = false;
    size_t begin = 0;       // first character of the attribute's name
    size_t end = 0;         // one past the value's closing quote (or past the name when it has no value)
    std::string_view value; // raw value between the quotes, entities not decoded
};

// Finds an attribute in a start tag or declaration; names end at white space, "=", quotes, "/", "?", "!",
// backslash, angle brackets or ";". The tag's own name is never taken for an attribute.
AttributeSpan FindAttribute(std::string_view tag, std::string_view name);

// True when the name may stand as an element or attribute name (no markup delimiters in it).
bool IsMarkupName(std::string_view name);
