#include "xml/XmlDocument.h"
#include "xml/XmlEntities.h"
#include "xml/XmlNode.h"

#include <gtest/gtest.h>

using namespace quorlex;

namespace {

std::u16string DataOf(std::u16string_view content, uint32_t flags = 0) {
    XmlDocument doc;
    doc.SetDocFlags(flags);
    doc.SetDocument(u"<r>" + std::u16string(content) + u"</r>");
    doc.FindElement();
    return doc.GetElementData();
}

} // namespace

TEST(XmlCursor, FindElementWalksSiblingsAndLeavesTheCursorOnFailure) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(u"<r><ab/><a k='1'/><b>2</b><a>3</a></r>"));
    EXPECT_FALSE(doc.FindElement(u"a")); // only r is at the top
    ASSERT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.CurrentNode(), 0u);
    ASSERT_TRUE(doc.FindElement(u"a")); // "ab" does not end where "a" ends
    EXPECT_EQ(doc.Index()[doc.CurrentNode()].offset, 8u);
    ASSERT_TRUE(doc.FindElement(u"a"));
    EXPECT_EQ(doc.GetElementData(), u"3");
    const uint32_t last = doc.CurrentNode();
    EXPECT_FALSE(doc.FindElement(u"a"));
    EXPECT_FALSE(doc.FindElement());
    EXPECT_EQ(doc.CurrentNode(), last);
    EXPECT_EQ(doc.GetTagName(), u"a");
    EXPECT_FALSE(doc.FindElement(u"A"));
    doc.SetDocFlags(XmlDocFlags::kIgnoreCase);
    doc.SetDocument(doc.GetDocument());
    ASSERT_TRUE(doc.FindElement(u"R"));
}

TEST(XmlCursor, FindChildElementSearchesUnderCurrentAfterChild) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(u"<r><x>1</x><y>2</y><x>3</x></r>"));
    // With nothing current it first takes the first element.
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.GetTagName(), u"r");
    EXPECT_EQ(doc.GetChildData(), u"1");
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.GetChildData(), u"3");
    EXPECT_FALSE(doc.FindChildElement(u"y")); // the search goes on after the child found
    EXPECT_EQ(doc.GetChildData(), u"3");
    EXPECT_EQ(doc.GetChildTagName(), u"x");
    EXPECT_EQ(doc.ParentNode(), 0u);
}

TEST(XmlCursor, EnterAndLeaveStepBetweenLevels) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(u"<r><a><b>1</b></a></r>"));
    EXPECT_FALSE(doc.EnterElement()); // nothing current
    EXPECT_FALSE(doc.LeaveElement()); // already at the top
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.FindChildElement());
    ASSERT_TRUE(doc.EnterElement()); // the child becomes current
    EXPECT_EQ(doc.GetTagName(), u"a");
    EXPECT_EQ(doc.ChildNode(), 0u);
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.CurrentNode(), 0u);
    EXPECT_FALSE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"b"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), u"a");
    EXPECT_EQ(doc.GetChildTagName(), u"b");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), u"r");
    EXPECT_EQ(doc.GetChildTagName(), u"a");
    EXPECT_EQ(doc.ParentNode(), 0u);
    EXPECT_EQ(doc.GetElementData(), u""); // it has child elements
}

TEST(XmlElementData, ExpandsCharacterReferencesAndNamedEntities) {
    EXPECT_EQ(DataOf(u"&#65;&#x41;&#0065;"), u"AAA");
    EXPECT_EQ(DataOf(u"&lt;&gt;&amp;&quot;&apos;"), u"<>&\"'");
    EXPECT_EQ(DataOf(u"&Alpha;&alpha;&nbsp;&euro;&Yuml;&yuml;"),
              u"\u0391\u03B1\u00A0\u20AC\u0178\u00FF");
    EXPECT_EQ(DataOf(u"&thetasym;&#x1F600;"), u"\u03D1\U0001F600");
    EXPECT_EQ(DataOf(u"a&#x4E2D;b"), u"a中b");
    EXPECT_EQ(NamedEntityCount(), 253u);
}

TEST(XmlElementData, LeavesUnknownAndMalformedReferencesAsTheyAre) {
    for (const std::u16string_view literal :
         {u"&unknown;", u"&ALPHA;", u"&amp", u"& amp;", u"&;", u"&#;", u"&#x;", u"&#65",
          u"&#xD800;", u"&#0;", u"&#x110000;", u"&#99999999999;", u"&#X41;", u"&abcdefghij;"}) {
        EXPECT_EQ(DataOf(literal), literal);
    }
    EXPECT_EQ(DataOf(u"&&amp;&"), u"&&&");
}

TEST(XmlElementData, TakesCDataVerbatimAndDropsOtherMarkup) {
    EXPECT_EQ(DataOf(u"x<![CDATA[<&amp;>]]>y"), u"x<&amp;>y");
    EXPECT_EQ(DataOf(u"1<!-- 9 -->2<?pi 9?>3"), u"123");
    EXPECT_EQ(DataOf(u""), u"");
    XmlDocument doc;
    doc.SetDocument(u"<r><e/><f></f></r>");
    doc.FindChildElement();
    EXPECT_EQ(doc.GetChildData(), u"");
    EXPECT_EQ(doc.GetElementData(), u"");
}

TEST(XmlElementData, TrimsOrCollapsesWhitespaceOnlyWhenAsked) {
    const std::u16string_view content = u"\r\n  a \t b\n\nc  ";
    EXPECT_EQ(DataOf(content), content);
    EXPECT_EQ(DataOf(content, XmlDocFlags::kTrimWhitespace), u"a \t b\n\nc");
    EXPECT_EQ(DataOf(content, XmlDocFlags::kCollapseWhitespace), u"a b c");
}
