// Loading and saving markup files: encoding detection, conversion both ways and the result log.
#include "markup/MarkupDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class MarkupFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "markup-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_dir;
};

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out;
    for (char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

// "é" (U+00E9) and "€" (U+20AC) in the attribute; every file below must read back as this.
const std::string kValue = "caf\xC3\xA9 \xE2\x82\xAC";

struct LoadCase {
    const char* what;
    std::string bytes;
    const char* logged; // a result log entry the load must write
};

// Catches a missed byte-order mark, declaration or meta charset, and a wrong fallback code page.
TEST_F(MarkupFile, DetectsEncodings) {
    const std::string body = "<r v=\"" + kValue + "\"/>";
    const std::string utf16body = "<r v=\"caf\xE9 \xAC\x20\"/>"; // pairs below are built by hand
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (const char* p = "<r v=\"caf"; *p; ++p)
        le += std::string{*p, '\0'}, be += std::string{'\0', *p};
    le += std::string("\xE9\x00 \x00\xAC\x20\"\x00/\x00>\x00", 12);
    be += std::string("\x00\xE9\x00 \x20\xAC\x00\"\x00/\x00>", 12);
    const std::vector<LoadCase> cases = {
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + body, "<bom encoding=\"UTF-8\"/>"},
        {"UTF-16 little-endian with a mark", le, "<bom encoding=\"UTF-16LE\"/>"},
        {"UTF-16 big-endian with a mark", be, "<endian_swap/>"},
        {"UTF-8 without any declaration", body, "<utf8_detection/>"},
        {"declared ISO-8859-15", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><r v=\"caf\xE9 \xA4\"/>",
         "type=\"ISO-8859-15\""},
        {"declared windows-1252", "<?xml version='1.0' encoding='windows-1252'?>\r\n<r v=\"caf\xE9 \x80\"/>",
         "type=\"windows-1252\""},
        {"undeclared and not UTF-8: the fallback code page", "<r v=\"caf\xE9 \x80\"/>",
         "type=\"windows-1252\""},
        {"declared UTF-8 beats detection",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><r v=\"" + kValue + "\"/>", "<read"},
        {"HTML meta charset",
         "<html><head><meta charset=\"ISO-8859-1\"/></head><body><r v=\"caf\xE9 &euro;\"/></body></html>",
         "type=\"ISO-8859-1\""},
        {"HTML Content-Type meta",
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"/>"
         "</head><body><r v=\"caf\xE9 \x80\"/></body></html>",
         "type=\"windows-1252\""},
        {"unknown declared encoding falls back to detection",
         "<?xml version=\"1.0\" encoding=\"x-no-such\"?><r v=\"" + kValue + "\"/>", "<utf8_detection/>"},
    };
    for (const LoadCase& c : cases) {
        const std::string path = Write("in.xml", c.bytes);
        MarkupDocument doc;
        ASSERT_TRUE(doc.LoadFile(path)) << c.what << "\n" << doc.GetResult();
        EXPECT_NE(doc.GetResult().find(c.logged), std::string::npos) << c.what << "\n" << doc.GetResult();
        if (doc.FindElement("html")) {
            ASSERT_TRUE(doc.IntoElement() && doc.FindElement("body") && doc.IntoElement()) << c.what;
        }
        ASSERT_TRUE(doc.FindElement("r")) << c.what;
        EXPECT_EQ(doc.GetAttribute("v"), kValue) << c.what;
    }
}

// Catches invalid bytes in a file declared UTF-8 reaching the in-memory text unreported.
TEST_F(MarkupFile, RepairsInvalidDeclaredUtf8) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.LoadFile(Write("bad.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r v=\"a\xFF"
                                              "b\"/>")));
    ASSERT_TRUE(doc.FindElement("r"));
    EXPECT_EQ(doc.GetAttribute("v"), "a\xEF\xBF\xBD"
                                     "b");
    EXPECT_NE(doc.GetResult().find("<conversion_loss count=\"1\"/>"), std::string::npos) << doc.GetResult();
}

// Catches a UTF-16 reader that differs from the UTF-8 one, or NUL characters left in the text.
TEST_F(MarkupFile, Utf16TwinsLoadTheSameText) {
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a>\r\n<b x=\"1\"/>\r\n</a>\r\n";
    MarkupDocument utf8, be, unmarked;
    ASSERT_TRUE(utf8.LoadFile(Write("u8.xml", text)));
    ASSERT_TRUE(be.LoadFile(Write("be.xml", "\xFE\xFF" + Utf16(text, true)))) << be.GetResult();
    EXPECT_EQ(be.GetDocument(), utf8.GetDocument());
    // Without a mark the zero bytes of UTF-16 text are removed, which recovers plain ASCII text.
    ASSERT_TRUE(unmarked.LoadFile(Write("le.xml", Utf16(text, false)))) << unmarked.GetResult();
    EXPECT_EQ(unmarked.GetDocument(), utf8.GetDocument());
    EXPECT_NE(unmarked.GetResult().find("<nulls_removed count=\""), std::string::npos)
        << unmarked.GetResult();
}

// Catches a save that ignores the declared encoding, or reports lost characters as nothing.
TEST_F(MarkupFile, SavesInDeclaredEncoding) {
    struct SaveCase {
        std::string declaration;
        std::string expectBytes;
        const char* logged;
    };
    const std::string root = "<r v=\"" + kValue + "\"/>\r\n";
    const std::vector<SaveCase> cases = {
        {"", root, "<write encoding=\"UTF-8\""},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + root, "<write encoding=\"UTF-8\""},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<r v=\"caf\xE9 \x80\"/>\r\n",
         "<converted_from encoding=\"windows-1252\""},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r v=\"caf\xE9 ?\"/>\r\n",
         "<conversion_loss count=\"1\"/>"},
    };
    for (const SaveCase& c : cases) {
        MarkupDocument doc;
        doc.SetDocument(c.declaration + root);
        const std::string path = (m_dir / "out.xml").string();
        ASSERT_TRUE(doc.SaveFile(path)) << doc.GetResult();
        EXPECT_EQ(Read(path), c.expectBytes) << c.declaration;
        EXPECT_NE(doc.GetResult().find(c.logged), std::string::npos) << c.declaration << "\n"
                                                                     << doc.GetResult();
    }
    // A declared UTF-16 document is written with its mark and reads back the same.
    MarkupDocument doc, back;
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + root;
    doc.SetDocument(text);
    const std::string path = (m_dir / "u16.xml").string();
    ASSERT_TRUE(doc.SaveFile(path));
    EXPECT_EQ(Read(path).substr(0, 4), std::string("\xFF\xFE<\0", 4));
    ASSERT_TRUE(back.LoadFile(path)) << back.GetResult();
    EXPECT_EQ(back.GetDocument(), text);
}

// Catches a loaded file being written back in another encoding or without its byte-order mark.
TEST_F(MarkupFile, SaveKeepsLoadedEncoding) {
    const std::vector<std::pair<std::string, std::string>> marks = {
        {"\xFE\xFF", "be"}, {"\xFF\xFE", "le"}, {"\xEF\xBB\xBF", "u8"}};
    for (const auto& [mark, form] : marks) {
        const auto encode = [&](const std::string& text) {
            return mark + (form == "u8" ? text : Utf16(text, form == "be"));
        };
        MarkupDocument doc;
        ASSERT_TRUE(doc.LoadFile(Write("in.xml", encode("<a x=\"1\"/>")))) << form;
        ASSERT_TRUE(doc.FindElement("a"));
        ASSERT_TRUE(doc.SetAttribute("x", "2"));
        const std::string path = (m_dir / "out.xml").string();
        ASSERT_TRUE(doc.SaveFile(path));
        EXPECT_EQ(Read(path), encode("<a x=\"2\"/>")) << form;
    }
}

// Catches failures reported as success, and a failed load that leaves the old document readable.
TEST_F(MarkupFile, FailuresAreReported) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.SetDocument("<old/>"));
    EXPECT_FALSE(doc.LoadFile((m_dir / "missing.xml").string()));
    EXPECT_NE(doc.GetResult().find("<file_error msg="), std::string::npos) << doc.GetResult();
    EXPECT_FALSE(doc.FindElement("old"));

    EXPECT_FALSE(doc.LoadFile(m_dir.string())); // a folder opens but cannot be read
    EXPECT_NE(doc.GetResult().find("<file_error"), std::string::npos) << doc.GetResult();

    EXPECT_FALSE(doc.LoadFile(Write("two.xml", "<a/><b/>")));
    EXPECT_NE(doc.GetResult().find("<root_has_sibling tagname=\"b\""), std::string::npos) << doc.GetResult();
    EXPECT_EQ(doc.GetDocument(), "");
    EXPECT_FALSE(doc.FindElement("a"));

    ASSERT_TRUE(doc.SetDocument("<a/>"));
    EXPECT_FALSE(doc.SaveFile((m_dir / "no" / "such" / "dir.xml").string()));
    EXPECT_NE(doc.GetResult().find("<file_error"), std::string::npos);

    EXPECT_TRUE(doc.LoadFile(Write("ok.xml", "<a/>")));
    EXPECT_NE(doc.GetResult().find("<read length=\"4\"/>"), std::string::npos) << doc.GetResult();
}

} // namespace
