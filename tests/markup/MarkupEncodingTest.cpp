// Encoding helpers of the markup engine: what counts as UTF-8, and UTF-16 conversion both ways.
#include "markup/MarkupEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Catches a UTF-8 test that lets invalid bytes into the in-memory text (or rejects valid text,
// which would then be misread through the fallback code page).
TEST(MarkupEncoding, Utf8Validity) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"plain ascii text, longer than eight bytes", true},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\xAF", false},         // overlong "/"
        {"\xE0\x80\xAF", false},     // overlong, three bytes
        {"\xED\xA0\x80", false},     // a surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"abcdefgh\xE2\x82", false}, // cut short at the end
        {"caf\xE9", false},          // Latin-1
        {"\x80", false},             // a lone continuation byte
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

// Catches surrogate pairs split into two characters, and unpaired surrogates turned into invalid UTF-8.
TEST(MarkupEncoding, Utf16RoundTrip) {
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    for (bool bigEndian : {false, true}) {
        size_t losses = 0;
        const std::string utf16 = Utf8ToUtf16(text, bigEndian, losses);
        EXPECT_EQ(utf16.size(), 10u); // A, é, € one unit each; the emoji a pair
        EXPECT_EQ(Utf16ToUtf8(utf16, bigEndian, losses), text);
        EXPECT_EQ(losses, 0u);
    }
    size_t losses = 0;
    EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8"
                                      "A\0",
                                      4),
                          false, losses),
              "\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(losses, 1u);
}

// Catches spellings of one encoding name being treated as different encodings.
TEST(MarkupEncoding, EncodingNames) {
    EXPECT_EQ(ClassifyEncoding("utf-8"), EncodingKind::Utf8);
    EXPECT_EQ(ClassifyEncoding("UTF8"), EncodingKind::Utf8);
    EXPECT_EQ(ClassifyEncoding("utf_16"), EncodingKind::Utf16);
    EXPECT_EQ(ClassifyEncoding("UTF-16BE"), EncodingKind::Utf16BE);
    EXPECT_EQ(ClassifyEncoding("windows-1252"), EncodingKind::Other);
}

} // namespace
