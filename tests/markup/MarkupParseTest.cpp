// Parsing with MarkupDocument: well-formedness, the result log names, and bounded work on hostile input.
#include "markup/MarkupDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ParseCase {
    const char* text;
    bool wellFormed;
    const char* logged; // expected in the result log ("" for an empty log)
};

// Catches ill-formed text accepted (or good text refused) and problems logged under the wrong name.
TEST(MarkupParse, WellFormednessAndResultLog) {
    const std::vector<ParseCase> cases = {
        {"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ENTITY x \"<y>\">]>\r\n<!-- <fake/> "
         "-->\r\n<r><![CDATA[<no/>]]></r>\r\n",
         true, ""},
        {"<a/><b/>", false, "<root_has_sibling tagname=\"b\" offset=\"4\"/>"},
        {"", false, "<no_root_element offset=\"0\"/>"},
        {"<?xml version=\"1.0\"?><!-- only -->", false, "<no_root_element"},
        {"<r></x></r>", false, "<lone_end_tag tagname=\"x\" offset=\"3\"/>"},
        {"<r><a></r>", false, "<unended_start_tag tagname=\"a\" offset=\"3\"/>"},
        {"<r>", false, "<unended_start_tag tagname=\"r\" offset=\"0\"/>"},
        {"<r><a", false, "<unterminated_tag_syntax tagname=\"a\" offset=\"3\"/>"},
        {"<r><a <b/></r>", false, "<unterminated_tag_syntax tagname=\"a\""},
        {"<r></r", false, "<unterminated_tag_syntax tagname=\"r\""},
        {"<r><?pi </r>", false, "<unterminated_tag_syntax offset=\"3\"/>"},
        {"<r><!-- x </r>", false, "<comment_tag_syntax"},
        {"<r><!-x--></r>", false, "<comment_tag_syntax"},
        {"<r><![CDATA[ x </r>", false, "<cdata_section_syntax"},
        {"<r><![CDAT[x]]></r>", false, "<cdata_section_syntax"},
        {"<!DOCTYPE r [ <!ELEMENT r ANY> <r/>", false, "<doctype_tag_syntax"},
        {"<r/><!ELEMENT x", false, "<exclamation_tag_syntax"},
        {"<r>< a/></r>", false, "<first_tag_syntax offset=\"3\"/>"},
        {"<r>\xC3\xA9\xE2\x82\xAC</x></r>", false, "<lone_end_tag tagname=\"x\" offset=\"5\"/>"},
        {"<r a=\"x>y\" b='</r>'/>", true, ""},
        {"<r>text & more > less</r>", true, ""},
    };
    for (const ParseCase& c : cases) {
        MarkupDocument doc;
        EXPECT_EQ(doc.SetDocument(c.text), c.wellFormed) << c.text << "\n" << doc.GetResult();
        if (*c.logged == '\0')
            EXPECT_EQ(doc.GetResult(), "") << c.text;
        else
            EXPECT_NE(doc.GetResult().find(c.logged), std::string::npos) << c.text << "\n" << doc.GetResult();
        EXPECT_EQ(doc.GetDocument(), c.text);
    }
}

// Catches an ill-formed document losing the structure that could still be read.
TEST(MarkupParse, IllFormedTextStaysNavigable) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.SetDocument("<r><a x=\"1\"><b/></r><s/>"));
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetAttribute("x"), "1");
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_TRUE(doc.FindElement("b"));
    ASSERT_TRUE(doc.OutOfElement() && doc.OutOfElement());
    EXPECT_TRUE(doc.FindElement("s"));
}

// Catches recursion or quadratic work on deep nesting, mismatched end tags and huge start tags
// (each document here would take minutes or overflow the stack if the parser were naive).
TEST(MarkupParse, HostileShapesStayBounded) {
    const int depth = 200000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "<a>";
    std::string mismatched = deep;
    for (int i = 0; i < depth; ++i)
        mismatched += "</b>";
    for (int i = 0; i < depth; ++i)
        deep += "</a>";
    std::string attributes = "<r";
    for (int i = 0; i < depth; ++i)
        attributes += " a" + std::to_string(i) + "=\"v\"";
    attributes += " last=\"&amp;\"/>";
    std::string metas = "<html><head>";
    for (int i = 0; i < depth; ++i)
        metas += "<meta name=x";
    std::string lone;
    for (int i = 0; i < depth; ++i)
        lone += "</x>";

    MarkupDocument doc;
    ASSERT_TRUE(doc.SetDocument(deep));
    for (int i = 0; i < depth; ++i)
        ASSERT_TRUE(doc.FindElement("a") && doc.IntoElement());
    EXPECT_FALSE(doc.FindElement("a"));
    EXPECT_FALSE(doc.SetDocument(mismatched));
    EXPECT_LT(doc.GetResult().size(), 100000u); // the log keeps a bounded number of entries
    ASSERT_TRUE(doc.SetDocument(attributes));
    ASSERT_TRUE(doc.FindElement("r"));
    EXPECT_EQ(doc.GetAttribute("last"), "&");
    EXPECT_FALSE(doc.SetDocument(lone));
    // Encoding detection reads the head's meta tags; broken ones must not each scan to the end.
    const std::string path = testing::TempDir() + "markup-metas.html";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(metas.data(), 1, metas.size(), file);
    std::fclose(file);
    EXPECT_FALSE(doc.LoadFile(path));
    std::remove(path.c_str());
}

} // namespace
