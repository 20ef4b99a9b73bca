// Character encodings of markup files: detection and conversion to and from the UTF-8 text held in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class EncodingKind { Utf8, Utf16LE, Utf16BE, Utf16, Other };

// Classifies an encoding name; "utf8", "UTF-8" and "utf_8" are the same name.
EncodingKind ClassifyEncoding(std::string_view name);

// The code page assumed for files that declare nothing and are not UTF-8.
inline constexpr std::string_view kFallbackCodePage = "windows-1252";

// The "encoding" of an XML declaration at the very start of the text, empty when there is none.
std::string DeclaredXmlEncoding(std::string_view text);

// The charset of an HTML document's meta element in its head, empty when there is none.
std::string HtmlMetaCharset(std::string_view text);

bool IsValidUtf8(std::string_view bytes);

// Each conversion counts the characters it had to replace (U+FFFD in UTF-8, "?" elsewhere) in `losses`.
std::string RepairUtf8(std::string_view bytes, size_t& losses);
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, size_t& losses);
std::string Utf8ToUtf16(std::string_view text, bool bigEndian, size_t& losses);
std::string Windows1252ToUtf8(std::string_view bytes);

// Converts through iconv; false when iconv does not know one of the encodings.
bool IconvConvert(std::string_view in, const std::string& from, const std::string& to, std::string& out,
                  size_t& losses);
