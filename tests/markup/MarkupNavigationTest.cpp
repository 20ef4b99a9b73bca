// Navigation and attribute reading of MarkupDocument: the forward search rules and entity decoding.
#include "markup/MarkupDocument.h"
#include "markup/MarkupText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One cursor step: "F:name" FindElement, "I" IntoElement, "O" OutOfElement, "R" ResetPosition,
// "A:name" GetAttribute compared with `expect`.
struct Step {
    std::string op;
    std::string expect; // "1"/"0" for the bool steps, the value for "A:"
};

struct NavigationCase {
    const char* what;
    const char* document;
    std::vector<Step> steps;
};

void RunSteps(MarkupDocument& doc, const NavigationCase& c) {
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        std::string got;
        if (s.op.rfind("F:", 0) == 0)
            got = doc.FindElement(s.op.substr(2)) ? "1" : "0";
        else if (s.op == "I")
            got = doc.IntoElement() ? "1" : "0";
        else if (s.op == "O")
            got = doc.OutOfElement() ? "1" : "0";
        else if (s.op == "R")
            doc.ResetPosition(), got = s.expect;
        else if (s.op.rfind("A:", 0) == 0)
            got = doc.GetAttribute(s.op.substr(2));
        EXPECT_EQ(got, s.expect) << c.what << ", step " << i << " (" << s.op << ")";
    }
}

const char* kTree = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                    "<!-- catalogue -->\r\n"
                    "<root v=\"r\">\r\n"
                    "<a id=\"1\"/>\r\n"
                    "<b id=\"2\"><c id=\"3\"/><c id=\"4\"/></b>\r\n"
                    "<a id=\"5\"/>\r\n"
                    "</root>\r\n";

// Catches a search that starts from the wrong place, moves the cursor on failure or ignores document order.
TEST(MarkupNavigation, ForwardSearchRules) {
    const std::vector<NavigationCase> cases = {
        {"b then a finds the a after b",
         kTree,
         {{"F:root", "1"},
          {"I", "1"},
          {"F:b", "1"},
          {"A:id", "2"},
          {"F:a", "1"},
          {"A:id", "5"},
          {"F:a", "0"}}},
        {"a failed search leaves the cursor",
         kTree,
         {{"F:root", "1"},
          {"I", "1"},
          {"F:x", "0"},
          {"F:a", "1"},
          {"A:id", "1"},
          {"F:zz", "0"},
          {"A:id", "1"},
          {"F:b", "1"},
          {"A:id", "2"}}},
        {"names are case-sensitive", kTree, {{"F:ROOT", "0"}, {"F:root", "1"}, {"I", "1"}, {"F:B", "0"}}},
        {"only siblings are searched, never descendants", kTree, {{"F:root", "1"}, {"I", "1"}, {"F:c", "0"}}},
        {"into and out of children",
         kTree,
         {{"F:root", "1"},
          {"I", "1"},
          {"F:b", "1"},
          {"I", "1"},
          {"F:c", "1"},
          {"A:id", "3"},
          {"F:c", "1"},
          {"A:id", "4"},
          {"F:c", "0"},
          {"O", "1"},
          {"A:id", "2"},
          {"F:a", "1"},
          {"A:id", "5"},
          {"O", "1"},
          {"A:v", "r"},
          {"O", "0"}}},
        {"into needs a current element", kTree, {{"I", "0"}, {"F:root", "1"}, {"I", "1"}, {"I", "0"}}},
        {"reset goes back to the top",
         kTree,
         {{"F:root", "1"}, {"I", "1"}, {"F:a", "1"}, {"R", ""}, {"A:id", ""}, {"F:a", "0"}, {"F:root", "1"}}},
        {"an empty name takes the next element of any name",
         kTree,
         {{"F:root", "1"}, {"I", "1"}, {"F:", "1"}, {"A:id", "1"}, {"F:", "1"}, {"A:id", "2"}}},
        {"two siblings a, b: b then a fails",
         "<r><a/><b/></r>",
         {{"F:r", "1"}, {"I", "1"}, {"F:b", "1"}, {"F:a", "0"}}},
        {"no current element: no attribute", "<r x=\"1\"/>", {{"A:x", ""}, {"F:r", "1"}, {"A:x", "1"}}},
    };
    for (const NavigationCase& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.SetDocument(c.document)) << c.what << "\n" << doc.GetResult();
        RunSteps(doc, c);
    }
}

// Catches navigation that reads a document which failed to load, or crashes on an empty one.
TEST(MarkupNavigation, EmptyDocumentFindsNothing) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.FindElement("a"));
    EXPECT_FALSE(doc.FindElement(""));
    EXPECT_FALSE(doc.IntoElement());
    EXPECT_FALSE(doc.OutOfElement());
    EXPECT_EQ(doc.GetAttribute("a"), "");
    EXPECT_FALSE(doc.LoadFile("/nonexistent/markup/file.xml"));
    EXPECT_FALSE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetDocument(), "");
}

struct AttributeCase {
    const char* startTag;
    const char* name;
    const char* expect;
};

// Catches attribute scanning that matches inside other names or values, or mishandles quoting.
TEST(MarkupNavigation, AttributeScanning) {
    const std::vector<AttributeCase> cases = {
        {"<e a=\"1\" b='2' c=3/>", "a", "1"},
        {"<e a=\"1\" b='2' c=3/>", "b", "2"},
        {"<e a=\"1\" b='2' c=3/>", "c", "3"},
        {"<e a = \"spaced\" />", "a", "spaced"},
        {"<e ab=\"1\" b=\"2\"/>", "b", "2"},
        {"<e ab=\"1\"/>", "a", ""},
        {"<e x=\"b\" b=\"real\"/>", "b", "real"},
        {"<e x=b b=\"real\"/>", "b", "real"},
        {"<e x=\"a='9'\" a=\"real\"/>", "a", "real"},
        {"<e a=\"it's\" b='say \"hi\"'/>", "a", "it's"},
        {"<e a=\"it's\" b='say \"hi\"'/>", "b", "say \"hi\""},
        {"<e a=\"&#62;\"/>", "a", ">"},
        {"<e a=\"\"/>", "a", ""},
        {"<e a=\"1\"/>", "A", ""},
        {"<e a=\"1\"/>", "e", ""},
        {"<e a=\"x>y\"/>", "a", "x>y"},
        {"<e hid_interface=\"&amp;MI_02\"></e>", "hid_interface", "&MI_02"},
    };
    for (const AttributeCase& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.SetDocument(c.startTag)) << c.startTag;
        ASSERT_TRUE(doc.FindElement("e"));
        EXPECT_EQ(doc.GetAttribute(c.name), c.expect) << c.startTag << " [" << c.name << "]";
    }
}

// Catches entities that are not decoded, decoded wrongly, or unknown references that get mangled.
TEST(MarkupNavigation, EntityDecoding) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"&lt;&amp;&gt;&apos;&quot;", "<&>'\""},
        {"&amp;lt;", "&lt;"},
        {"&#65;&#x42;&#X43;&#x20AC;", "ABC\u20AC"},
        {"&#x1F600;", "\U0001F600"},
        {"&nbsp;&copy;&yuml;&Agrave;&agrave;", "\u00A0\u00A9\u00FF\u00C0\u00E0"},
        {"&fnof;&Alpha;&alpha;&thetasym;&diams;&euro;&OElig;&hellip;&rArr;&lang;",
         "\u0192\u0391\u03B1\u03D1\u2666\u20AC\u0152\u2026\u21D2\u2329"},
        {"&unknown; &amp &#; &#xZZ; &#0; &#xD800; &#x110000; &#99999999999;",
         "&unknown; &amp &#; &#xZZ; &#0; &#xD800; &#x110000; &#99999999999;"},
        {"&AMP; &Lt;", "&AMP; &Lt;"},
        {"a & b", "a & b"},
        {"&", "&"},
        {"tail&", "tail&"},
        {"&lt", "&lt"},
    };
    for (const auto& [raw, decoded] : cases)
        EXPECT_EQ(DecodeMarkupEntities(raw), decoded) << raw;
    // The 252 HTML 4 entities and the XML apostrophe.
    EXPECT_EQ(NamedEntityCount(), 253u);
}

} // namespace
