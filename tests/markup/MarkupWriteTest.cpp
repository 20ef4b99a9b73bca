// Writing with MarkupDocument: the exact text AddElement and SetAttribute produce, and that it reads back.
#include "markup/MarkupDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Catches indentation, missing line breaks or a wrong empty-form rewrite when a file is built from scratch.
TEST(MarkupWrite, BuildsExactText) {
    MarkupDocument doc;
    doc.SetDocument("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement("profiles"));
    ASSERT_TRUE(doc.SetAttribute("version", "1"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.AddElement("profile"));
    ASSERT_TRUE(doc.SetAttribute("name", "Game & \"Work\""));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.AddElement("key"));
    ASSERT_TRUE(doc.SetAttribute("code", "4"));
    ASSERT_TRUE(doc.AddElement("key"));
    ASSERT_TRUE(doc.SetAttribute("code", "5"));
    ASSERT_TRUE(doc.OutOfElement());
    ASSERT_TRUE(doc.AddElement("profile"));
    ASSERT_TRUE(doc.SetAttribute("name", "<two>"));
    EXPECT_EQ(doc.GetDocument(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                 "<profiles version=\"1\">\r\n"
                                 "<profile name=\"Game &amp; &quot;Work&quot;\">\r\n"
                                 "<key code=\"4\"/>\r\n"
                                 "<key code=\"5\"/>\r\n"
                                 "</profile>\r\n"
                                 "<profile name=\"&lt;two&gt;\"/>\r\n"
                                 "</profiles>\r\n");
    // The index follows the edits: a fresh walk and a re-parse agree.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            ASSERT_TRUE(doc.SetDocument(std::string(doc.GetDocument())));
        }
        doc.ResetPosition();
        ASSERT_TRUE(doc.FindElement("profiles"));
        EXPECT_EQ(doc.GetAttribute("version"), "1");
        ASSERT_TRUE(doc.IntoElement());
        ASSERT_TRUE(doc.FindElement("profile"));
        EXPECT_EQ(doc.GetAttribute("name"), "Game & \"Work\"");
        ASSERT_TRUE(doc.IntoElement());
        ASSERT_TRUE(doc.FindElement("key"));
        ASSERT_TRUE(doc.FindElement("key"));
        EXPECT_EQ(doc.GetAttribute("code"), "5");
        EXPECT_FALSE(doc.FindElement("key"));
        ASSERT_TRUE(doc.OutOfElement());
        ASSERT_TRUE(doc.FindElement("profile"));
        EXPECT_EQ(doc.GetAttribute("name"), "<two>");
    }
}

struct InsertCase {
    const char* what;
    const char* before;
    std::vector<std::string> path; // elements to enter before adding; "" adds with no current element
    const char* name;
    const char* value;
    int flags;
    const char* after;
};

// Catches insertion at the wrong place, a broken parent rewrite, or wrong escaping of element text.
TEST(MarkupWrite, InsertionPlaces) {
    const std::vector<InsertCase> cases = {
        {"first child of an empty-form parent",
         "<r>\r\n<p a=\"1\"/>\r\n</r>\r\n",
         {"r", "p"},
         "c",
         "",
         0,
         "<r>\r\n<p a=\"1\">\r\n<c/>\r\n</p>\r\n</r>\r\n"},
        {"empty-form parent written with a space",
         "<r><p /></r>",
         {"r", "p"},
         "c",
         "",
         0,
         "<r><p >\r\n<c/>\r\n</p></r>"},
        {"last child of a parent with children",
         "<r>\r\n<a/>\r\n</r>\r\n",
         {"r"},
         "b",
         "",
         0,
         "<r>\r\n<a/>\r\n<b/>\r\n</r>\r\n"},
        {"child of a parent with no content", "<r></r>", {"r"}, "b", "", 0, "<r>\r\n<b/>\r\n</r>"},
        {"root of an empty document", "", {}, "root", "", 0, "<root/>\r\n"},
        {"with a value, escaped as text",
         "<r/>",
         {"r"},
         "t",
         "a<b & 'c' \"d\">",
         0,
         "<r>\r\n<t>a&lt;b &amp; 'c' \"d\"&gt;</t>\r\n</r>"},
        {"with a CDATA value",
         "<r/>",
         {"r"},
         "t",
         "x]]>y",
         MarkupDocument::WithCData,
         "<r>\r\n<t><![CDATA[x]]]]><![CDATA[>y]]></t>\r\n</r>"},
    };
    for (const InsertCase& c : cases) {
        MarkupDocument doc;
        doc.SetDocument(c.before);
        for (size_t i = 0; i < c.path.size(); ++i) {
            ASSERT_TRUE(doc.FindElement(c.path[i])) << c.what;
            if (i + 1 < c.path.size()) {
                ASSERT_TRUE(doc.IntoElement()) << c.what;
            }
        }
        if (!c.path.empty()) {
            ASSERT_TRUE(doc.IntoElement()) << c.what;
        }
        ASSERT_TRUE(doc.AddElement(c.name, c.value, c.flags)) << c.what;
        EXPECT_EQ(doc.GetDocument(), c.after) << c.what;
        // The new element is current and the whole text is still well formed.
        EXPECT_TRUE(doc.OutOfElement() || c.path.empty()) << c.what;
        EXPECT_TRUE(MarkupDocument().SetDocument(doc.GetDocument())) << c.what;
    }
}

// Catches inserting after the current element's line break twice, or before the current element.
TEST(MarkupWrite, InsertsAfterCurrentElement) {
    MarkupDocument doc;
    ASSERT_TRUE(doc.SetDocument("<r>\r\n<a/>\r\n<c/>\r\n</r>\r\n"));
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.AddElement("b"));
    EXPECT_EQ(doc.GetDocument(), "<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>\r\n");
    EXPECT_TRUE(doc.FindElement("c"));
    EXPECT_FALSE(doc.FindElement("b"));
}

struct AttributeWriteCase {
    const char* before;
    const char* name;
    const char* value;
    const char* after;
};

// Catches a replaced attribute that leaves the old value behind, or a new one put in the wrong place.
TEST(MarkupWrite, SetAttributeText) {
    const std::vector<AttributeWriteCase> cases = {
        {"<e/>", "a", "1", "<e a=\"1\"/>"},
        {"<e />", "a", "1", "<e a=\"1\" />"},
        {"<e b=\"2\"></e>", "a", "1", "<e b=\"2\" a=\"1\"></e>"},
        {"<e a='old' b=\"2\"/>", "a", "new", "<e a=\"new\" b=\"2\"/>"},
        {"<e a=old b=\"2\"/>", "a", "new", "<e a=\"new\" b=\"2\"/>"},
        {"<e a=\"x\"/>", "a", "&<>'\"", "<e a=\"&amp;&lt;&gt;&apos;&quot;\"/>"},
        {"<e a=\"x\"/>", "a", "&amp;", "<e a=\"&amp;amp;\"/>"},
        {"<e a=\"x\"><c/></e>", "a", "longer value", "<e a=\"longer value\"><c/></e>"},
    };
    for (const AttributeWriteCase& c : cases) {
        MarkupDocument doc;
        ASSERT_TRUE(doc.SetDocument(c.before)) << c.before;
        ASSERT_TRUE(doc.FindElement("e"));
        ASSERT_TRUE(doc.SetAttribute(c.name, c.value)) << c.before;
        EXPECT_EQ(doc.GetDocument(), c.after) << c.before;
        EXPECT_EQ(doc.GetAttribute(c.name), c.value) << c.before;
    }
    // Offsets of later elements follow the change.
    MarkupDocument doc;
    ASSERT_TRUE(doc.SetDocument("<e><c x=\"1\"/></e>"));
    ASSERT_TRUE(doc.FindElement("e"));
    ASSERT_TRUE(doc.SetAttribute("a", "a much longer value than before"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("c"));
    EXPECT_EQ(doc.GetAttribute("x"), "1");
}

// Depth and "id" of every element in document order, as the cursor sees them.
std::string Trace(MarkupDocument& doc) {
    std::string trace;
    doc.ResetPosition();
    int depth = 0;
    while (true) {
        if (doc.FindElement("")) {
            trace += std::to_string(depth) + ":" + doc.GetAttribute("id") + " ";
            doc.IntoElement();
            ++depth;
        } else if (depth-- > 0) {
            doc.OutOfElement();
        } else {
            return trace;
        }
    }
}

// Catches an index that drifts from the text after edits at the start, middle and end of a document.
TEST(MarkupWrite, IndexFollowsManyEdits) {
    MarkupDocument doc;
    ASSERT_TRUE(
        doc.SetDocument("<r id=\"r\">\r\n<a id=\"a\"/>\r\n<b id=\"b\"><c id=\"c\"/></b>\r\n</r>\r\n"));
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int edit = 0; edit < 300; ++edit) {
        // Walk to a pseudo-random element in document order.
        doc.ResetPosition();
        ASSERT_TRUE(doc.FindElement("r"));
        bool atRoot = true;
        for (uint32_t steps = next(6); steps > 0; --steps) {
            if (next(2) && doc.IntoElement()) {
                if (!doc.FindElement("")) {
                    doc.OutOfElement();
                    break;
                }
                atRoot = false;
            } else if (!doc.FindElement("")) {
                break;
            }
        }
        const std::string id = std::to_string(edit);
        switch (atRoot ? 2 * next(2) : next(3)) { // never a second root
        case 0:
            ASSERT_TRUE(doc.SetAttribute("id", std::string(next(12), 'x') + id));
            break;
        case 1:
            ASSERT_TRUE(doc.AddElement("s", next(2) ? "" : "text"));
            ASSERT_TRUE(doc.SetAttribute("id", id));
            break;
        default:
            ASSERT_TRUE(doc.IntoElement());
            ASSERT_TRUE(doc.AddElement("k"));
            ASSERT_TRUE(doc.SetAttribute("id", id));
        }
        if (doc.GetDocument().rfind("<r", 0) != 0) FAIL() << "an edit left the root: " << doc.GetDocument();
    }
    MarkupDocument reparsed;
    ASSERT_TRUE(reparsed.SetDocument(doc.GetDocument())) << reparsed.GetResult();
    EXPECT_EQ(Trace(doc), Trace(reparsed));
}

// Catches names that would break the markup being accepted, and writes without a current element.
TEST(MarkupWrite, RefusesBadNamesAndMissingCursor) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.SetAttribute("a", "1"));
    ASSERT_TRUE(doc.SetDocument("<r/>"));
    ASSERT_TRUE(doc.FindElement("r"));
    for (const char* bad : {"", "a b", "a>", "a\"", "1a", "a=b", "<a", "a/"}) {
        EXPECT_FALSE(doc.SetAttribute(bad, "1")) << bad;
        EXPECT_FALSE(doc.AddElement(bad)) << bad;
    }
    EXPECT_EQ(doc.GetDocument(), "<r/>");
    // A dangling "=" would take a new attribute for its value: the write is refused, the text kept.
    ASSERT_TRUE(doc.SetDocument("<e a=/>"));
    ASSERT_TRUE(doc.FindElement("e"));
    EXPECT_FALSE(doc.SetAttribute("b", "1"));
    EXPECT_EQ(doc.GetDocument(), "<e a=/>");
}

} // namespace
