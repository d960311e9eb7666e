#include "tests/xml/XmlIndexCheck.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace quorlex;
using quorlex::testing::CompareWithReparse;

namespace {

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

} // namespace

TEST(XmlInsert, BuildsTheDeviceListLayoutLineByLine) {
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(kDeclaration));
    ASSERT_TRUE(doc.AddElement(u"HEAD"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"Bluetooth_Config"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"Ver", u"1.0.1.1"));
    EXPECT_EQ(doc.GetDocument(), std::u16string(kDeclaration) +
                                     u"<HEAD>\r\n<Bluetooth_Config>\r\n<Ver>1.0.1.1</Ver>\r\n"
                                     u"</Bluetooth_Config>\r\n</HEAD>\r\n");
    ASSERT_TRUE(doc.AddElement(u"BtDevice"));
    ASSERT_TRUE(doc.AddChildElement(u"Bluetooth_Name", u"R1"));
    ASSERT_TRUE(doc.AddChildElement(u"Bluetooth_PIN", u"7391"));
    EXPECT_EQ(doc.GetDocument(), std::u16string(kDeclaration) +
                                     u"<HEAD>\r\n<Bluetooth_Config>\r\n<Ver>1.0.1.1</Ver>\r\n"
                                     u"<BtDevice>\r\n<Bluetooth_Name>R1</Bluetooth_Name>\r\n"
                                     u"<Bluetooth_PIN>7391</Bluetooth_PIN>\r\n</BtDevice>\r\n"
                                     u"</Bluetooth_Config>\r\n</HEAD>\r\n");
    EXPECT_EQ(doc.GetChildTagName(), u"Bluetooth_PIN");
    EXPECT_EQ(doc.GetTagName(), u"BtDevice");
    EXPECT_EQ(CompareWithReparse(doc), "");
}

TEST(XmlInsert, PlacesTheNewElementByTheFourRules) {
    struct Case {
        std::u16string_view text;
        int childOf; // >= 1: add under the n-th element found from the top
        std::u16string_view expected;
    };
    const Case cases[] = {
        // Empty-element parent: start tag, new line, end tag.
        {u"<r><a/></r>", 2, u"<r><a>\r\n<n>d</n>\r\n</a></r>"},
        {u"<r><a k='1' /></r>", 2, u"<r><a k='1' >\r\n<n>d</n>\r\n</a></r>"},
        {u"<r><a//></r>", 2, u"<r><a>\r\n<n>d</n>\r\n</a></r>"},
        // Start and end tag with nothing between them.
        {u"<r><a></a></r>", 2, u"<r><a>\r\n<n>d</n>\r\n</a></r>"},
        // No current child: just before the parent's end tag.
        {u"<r><a>\r\n<b/>\r\n</a></r>", 2, u"<r><a>\r\n<b/>\r\n<n>d</n>\r\n</a></r>"},
        {u"<r><a>text</a></r>", 2, u"<r><a>text<n>d</n>\r\n</a></r>"},
        // A start tag that was never ended gets its end tag.
        {u"<r><a></r>", 2, u"<r><a>\r\n<n>d</n>\r\n</a></r>"},
    };
    for (const Case& c : cases) {
        XmlDocument doc;
        doc.SetDocument(c.text);
        ASSERT_TRUE(doc.FindElement());
        if (c.childOf == 2) {
            ASSERT_TRUE(doc.FindChildElement());
            ASSERT_TRUE(doc.EnterElement());
        }
        ASSERT_TRUE(doc.AddChildElement(u"n", u"d")) << Narrow(c.text);
        EXPECT_EQ(doc.GetDocument(), c.expected) << Narrow(c.text);
        EXPECT_EQ(doc.GetChildData(), u"d");
        EXPECT_EQ(CompareWithReparse(doc), "") << Narrow(c.text);
    }
}

TEST(XmlInsert, AfterTheCurrentSiblingSkipsWhitespaceOnlyBeforeMarkup) {
    XmlDocument doc;
    doc.SetDocument(u"<r><a/>  text<b/>\r\n  <c/></r>");
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(u"a"));
    ASSERT_TRUE(doc.AddElement(u"n"));
    ASSERT_TRUE(doc.FindElement(u"b"));
    ASSERT_TRUE(doc.AddElement(u"m"));
    EXPECT_EQ(doc.GetDocument(), u"<r><a/><n/>\r\n  text<b/>\r\n  <m/>\r\n<c/></r>");
    EXPECT_EQ(doc.GetTagName(), u"m");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), u"c");
    EXPECT_EQ(CompareWithReparse(doc), "");
}

TEST(XmlInsert, EscapesDataAndReadsItBackUnchanged) {
    const std::u16string data = u"a<b&c>d \"q\" 'p' &amp; 中文";
    XmlDocument doc;
    doc.SetDocument(u"<r/>");
    doc.FindElement();
    ASSERT_TRUE(doc.AddChildElement(u"n", data));
    EXPECT_NE(doc.GetDocument().find(u"<n>a&lt;b&amp;c&gt;d \"q\" 'p' &amp;amp; 中文</n>"),
              std::u16string::npos);
    EXPECT_EQ(doc.GetChildData(), data);
    XmlDocument reread;
    reread.SetDocument(doc.GetDocument());
    ASSERT_TRUE(reread.FindChildElement(u"n"));
    EXPECT_EQ(reread.GetChildData(), data);
}

TEST(XmlInsert, RefusesBadNamesMissingParentsAndStreamingDocuments) {
    XmlDocument doc;
    doc.SetDocument(u"<r/>");
    EXPECT_FALSE(doc.AddChildElement(u"n")); // nothing current
    doc.FindElement();
    for (const std::u16string_view name : {u"", u"1a", u"a b", u"a>b", u"a/b", u"-x", u"a&b"}) {
        EXPECT_FALSE(doc.AddChildElement(name)) << Narrow(name);
    }
    EXPECT_EQ(doc.GetDocument(), u"<r/>");
    EXPECT_TRUE(doc.AddChildElement(u"名称"));
    doc.SetDocFlags(XmlDocFlags::kReadStream);
    EXPECT_FALSE(doc.AddElement(u"x"));
    EXPECT_FALSE(doc.SetDocument(u"<q/>"));
    doc.SetDocFlags(XmlDocFlags::kWriteStream);
    EXPECT_FALSE(doc.LoadBytes("<q/>"));
    EXPECT_EQ(doc.GetDocument(), u"<r>\r\n<名称/>\r\n</r>");
}

TEST(XmlInsert, NeverLandsInsideAConstructLeftOpenAtTheEnd) {
    XmlDocument doc;
    doc.SetDocument(u"<r/>\r\n<!-- open");
    ASSERT_TRUE(doc.AddElement(u"n"));
    EXPECT_EQ(doc.GetDocument(), u"<r/>\r\n<n/>\r\n<!-- open");
    ASSERT_TRUE(doc.AddElement(u"m"));
    EXPECT_EQ(CompareWithReparse(doc), "");
}

// Random edits on random (also ill-formed) documents: after every edit the
// index must equal what a fresh parse of the new text builds.
TEST(XmlInsert, IndexStaysWhatAFreshParseBuilds) {
    const std::u16string_view pieces[] = {
        u"<a>",     u"</a>",   u"<b/>",       u"<c x='>'>", u"</c>",
        u"text",    u"\r\n  ", u"<!-- c -->", u"</z>",      u"<![CDATA[<q>]]>",
        u"<d></d>", u"<?p?>",  u"&amp;",      u"< ",
    };
    const std::u16string_view names[] = {u"n", u"m", u"a", u"c"};
    std::mt19937 rng(20240601);
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        const int count = static_cast<int>(rng() % 12);
        for (int i = 0; i < count; ++i) {
            text += pieces[rng() % std::size(pieces)];
        }
        XmlDocument doc;
        doc.SetDocument(text);
        for (int step = 0; step < 25; ++step) {
            const std::u16string_view name = names[rng() % std::size(names)];
            const std::u16string data = (rng() % 2) != 0 ? u"d<&>" : u"";
            switch (rng() % 6) {
            case 0:
                doc.AddElement(name, data);
                break;
            case 1:
                doc.AddChildElement(name, data);
                break;
            case 2:
                doc.FindElement();
                break;
            case 3:
                doc.FindChildElement();
                break;
            case 4:
                doc.EnterElement();
                break;
            default:
                doc.LeaveElement();
                break;
            }
            ASSERT_EQ(CompareWithReparse(doc), "")
                << "round " << round << " step " << step << " text " << Narrow(doc.GetDocument());
        }
    }
}
