#include "tests/xml/XmlIndexCheck.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorlex;
using quorlex::testing::ElementLines;

namespace {

std::vector<std::u16string> Lines(std::u16string_view text, uint32_t flags = 0) {
    XmlDocument doc;
    doc.SetDocFlags(flags);
    doc.SetDocument(text);
    return ElementLines(doc);
}

// The node whose "<" is at offset, 0 when there is none.
uint32_t NodeAt(const XmlDocument& doc, uint32_t offset) {
    for (uint32_t i = 1; i < doc.Index().NextFree(); ++i) {
        if (doc.Index()[i].offset == offset) {
            return i;
        }
    }
    return 0;
}

bool LogHas(const XmlDocument& doc, std::u16string_view entry) {
    return doc.GetResult().find(entry) != std::u16string::npos;
}

} // namespace

TEST(XmlParse, IndexesAWellFormedDocument) {
    XmlDocument doc;
    const std::u16string text =
        u"<?xml version=\"1.0\"?>\n<r k=\"x>y\"><a>1</a><b/><c>t<d/>u</c></r>";
    ASSERT_TRUE(doc.SetDocument(text));
    EXPECT_EQ(doc.GetResult(), u"");
    EXPECT_EQ(ElementLines(doc),
              (std::vector<std::u16string>{u"r", u" a=1", u" b=", u" c", u"  d="}));

    const XmlNodeIndex& index = doc.Index();
    const uint32_t r = NodeAt(doc, 22);
    ASSERT_NE(r, 0u);
    EXPECT_EQ(index.StartTagLength(r), 11u); // the quoted ">" does not end the tag
    EXPECT_EQ(index.EndTagLength(r), 4u);
    EXPECT_EQ(index[r].length, text.size() - 22);
    EXPECT_EQ(index[r].Level(), 1u);
    EXPECT_TRUE(index[r].Has(XmlNode::kFirstChild));
    EXPECT_EQ(index[0].length, text.size());

    const uint32_t a = index[r].firstChild;
    const uint32_t b = index[a].nextSibling;
    const uint32_t c = index[b].nextSibling;
    EXPECT_TRUE(index[a].Has(XmlNode::kFirstChild));
    EXPECT_FALSE(index[b].Has(XmlNode::kFirstChild));
    EXPECT_EQ(index[a].prevSibling, c); // circular through the first child
    EXPECT_EQ(index[c].prevSibling, b);
    EXPECT_EQ(index[c].nextSibling, 0u);
    EXPECT_EQ(index.EndTagLength(b), 0u);
    EXPECT_EQ(index[b].length, 4u);
    EXPECT_EQ(index[index[c].firstChild].Level(), 3u);
    EXPECT_EQ(index[index[c].firstChild].parent, c);
}

TEST(XmlParse, UnendedStartTagBecomesEmptyAndItsChildrenFollowIt) {
    XmlDocument doc;
    EXPECT_TRUE(doc.SetDocument(u"<r><a><b><c></c><d/></a><e/></r>"));
    EXPECT_EQ(ElementLines(doc),
              (std::vector<std::u16string>{u"r", u" a", u"  b=", u"  c=", u"  d=", u" e="}));
    EXPECT_TRUE(LogHas(doc, u"<unended_start_tag tagname=\"b\" offset=\"6\" offset2=\"20\"/>"))
        << std::string(doc.GetResult().begin(), doc.GetResult().end());

    const XmlNodeIndex& index = doc.Index();
    const uint32_t b = NodeAt(doc, 6);
    const uint32_t c = NodeAt(doc, 9);
    EXPECT_TRUE(index[b].Has(XmlNode::kUnended));
    EXPECT_TRUE(index[b].Has(XmlNode::kIllFormed));
    EXPECT_EQ(index[b].length, 3u);
    EXPECT_EQ(index[b].firstChild, 0u);
    EXPECT_EQ(index[c].parent, index[b].parent);
    EXPECT_FALSE(index[c].Has(XmlNode::kFirstChild));
    EXPECT_EQ(index[c].Level(), 3u); // moved up one level
    EXPECT_TRUE(index[index[b].parent].Has(XmlNode::kHoldsIllFormed));
    EXPECT_TRUE(index[NodeAt(doc, 0)].Has(XmlNode::kHoldsIllFormed));
    EXPECT_EQ(quorlex::testing::CompareWithReparse(doc), "");
}

TEST(XmlParse, LoneEndTagIsSkippedAndLeavesTheElementIntact) {
    XmlDocument doc;
    EXPECT_TRUE(doc.SetDocument(u"<a>x</b>y</a>"));
    EXPECT_EQ(ElementLines(doc), (std::vector<std::u16string>{u"a=xy"}));
    EXPECT_EQ(doc.GetResult(), u"<lone_end_tag tagname=\"b\" offset=\"4\"/>");
    EXPECT_TRUE(doc.Index()[1].Has(XmlNode::kIllFormed));
    EXPECT_FALSE(doc.Index()[1].Has(XmlNode::kUnended));
}

TEST(XmlParse, ElementsOpenAtTheEndOfTheTextAllBecomeTopLevel) {
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(u"<a><b><c>text<d>"));
    EXPECT_EQ(ElementLines(doc), (std::vector<std::u16string>{u"a=", u"b=", u"c=", u"d="}));
    for (uint32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(doc.Index()[i].Level(), 1u);
        EXPECT_TRUE(doc.Index()[i].Has(XmlNode::kUnended));
    }
    EXPECT_TRUE(LogHas(doc, u"<root_has_sibling tagname=\"b\" offset=\"3\"/>"));
    EXPECT_TRUE(LogHas(doc, u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"16\"/>"));
}

TEST(XmlParse, ReportsWhatIsMissingOrExtraAtTheTop) {
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    EXPECT_EQ(doc.GetResult(), u"<no_root_element/>");
    EXPECT_FALSE(doc.SetDocument(u"just text"));
    EXPECT_EQ(doc.GetResult(), u"<no_root_element/>");
    EXPECT_FALSE(doc.SetDocument());
    EXPECT_EQ(doc.GetResult(), u"<no_root_element/>");
    EXPECT_FALSE(doc.SetDocument(u"<a/>\n<b x='1'/>"));
    EXPECT_EQ(doc.GetResult(), u"<root_has_sibling tagname=\"b\" offset=\"5\"/>");
}

TEST(XmlParse, MalformedOpeningsAreLoggedAndReadAsText) {
    struct Case {
        std::u16string_view text;
        std::u16string_view log;
        std::u16string_view data;
    };
    const Case cases[] = {
        {u"<r>1 < 2</r>", u"<first_tag_syntax offset=\"5\"/>", u"1 < 2"},
        {u"<r><!1></r>", u"<exclamation_tag_syntax offset=\"3\"/>", u"<!1>"},
        {u"<r><!-x--></r>", u"<comment_tag_syntax offset=\"3\"/>", u"<!-x-->"},
        {u"<r><![CDAT[x]]></r>", u"<cdata_section_syntax offset=\"3\"/>", u"<![CDAT[x]]>"},
    };
    for (const Case& c : cases) {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetDocument(c.text));
        EXPECT_EQ(doc.GetResult(), c.log);
        ASSERT_TRUE(doc.FindElement(u"r"));
        EXPECT_EQ(doc.GetElementData(), c.data);
    }
}

// Any name but "DOCTYPE" after "<!" is logged, and the construct is still read
// as a document type declaration.
TEST(XmlParse, DeclarationsNamedOtherThanDoctypeAreLoggedAndSkipped) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"<!DOCTYPE r><r>t</r>", u""},
        {u"<!doctype r><r>t</r>", u"<doctype_tag_syntax offset=\"0\"/>"},
        {u"<!ELEMENT r ANY><r>t</r>", u"<doctype_tag_syntax offset=\"0\"/>"},
        {u"<!DOCTYPES r [<x>]><r>t</r>", u"<doctype_tag_syntax offset=\"0\"/>"},
        {u"<!DOC r><r>t</r>", u"<doctype_tag_syntax offset=\"0\"/>"},
    };
    for (const auto& [text, log] : cases) {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetDocument(text));
        EXPECT_EQ(doc.GetResult(), log) << std::string(text.begin(), text.end());
        EXPECT_EQ(ElementLines(doc), (std::vector<std::u16string>{u"r=t"}));
    }
}

TEST(XmlParse, ConstructsLeftOpenAtTheEndAreNamed) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"<r><a k='>", u"start_tag"},
        {u"<r></r", u"end_tag"},
        {u"<r><![CDATA[x]]", u"cdata_section"},
        {u"<r><![CDA", u"cdata_section"},
        {u"<r><?pi ?", u"processing_instruction"},
        {u"<r><!-- x --", u"comment"},
        {u"<r><!-", u"comment"},
        {u"<!DOCTYPE r [ <!ENTITY x \"]>\">", u"document_type"},
        {u"<!DOCTYPE r [<?pi ]><r/>", u"document_type"},
        {u"<r><", u"tag"},
        {u"<r><!", u"tag"},
    };
    for (const auto& [text, type] : cases) {
        XmlDocument doc;
        doc.SetDocument(text);
        EXPECT_NE(doc.GetResult().find(u"<unterminated_tag_syntax type=\"" + std::u16string(type) +
                                       u"\""),
                  std::u16string::npos)
            << std::string(text.begin(), text.end());
    }
}

TEST(XmlParse, SkipsCommentsCDataInstructionsAndDocumentTypes) {
    XmlDocument doc;
    EXPECT_TRUE(doc.SetDocument(u"<!DOCTYPE r [<!ENTITY x \"a]>b\"><!-- ] > --><!ELEMENT r ANY>]>"
                                u"<r><!-- <x> --><?pi a > b?><![CDATA[<y></r>]]><a/></r>"));
    EXPECT_EQ(doc.GetResult(), u"");
    EXPECT_EQ(ElementLines(doc), (std::vector<std::u16string>{u"r", u" a="}));
}

TEST(XmlParse, InstructionsInTheInternalSubsetAreSkippedWhole) {
    for (const std::u16string_view text : {
             u"<!DOCTYPE r [<?pi don't?>]><r>t</r>",
             u"<!DOCTYPE r [<?pi ]><x>?>]><r>t</r>",
             u"<!DOCTYPE r [<?pi \"?><!ENTITY e \"]>\">]><r>t</r>",
         }) {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetDocument(text));
        EXPECT_EQ(doc.GetResult(), u"") << std::string(text.begin(), text.end());
        EXPECT_EQ(ElementLines(doc), (std::vector<std::u16string>{u"r=t"}));
    }
}

TEST(XmlParse, EndTagsMatchIgnoringCaseOnlyWhenAsked) {
    EXPECT_EQ(Lines(u"<A><b></B></a>"), (std::vector<std::u16string>{u"A=", u"b="}));
    EXPECT_EQ(Lines(u"<A><b></B></a>", XmlDocFlags::kIgnoreCase),
              (std::vector<std::u16string>{u"A", u" b="}));
}

TEST(XmlParse, ResultLogStopsBeforeOneThousandCharacters) {
    std::u16string text = u"<r>";
    for (int i = 0; i < 200; ++i) {
        text += u"</x>";
    }
    text += u"</r>";
    XmlDocument doc;
    EXPECT_TRUE(doc.SetDocument(text));
    const std::u16string& log = doc.GetResult();
    EXPECT_LE(log.size(), 1000u);
    EXPECT_GT(log.size(), 900u);
    EXPECT_TRUE(log.ends_with(u"/>"));
    // A new parse starts a new log.
    doc.SetDocument(u"<r/>");
    EXPECT_EQ(doc.GetResult(), u"");
}

TEST(XmlParse, TagsTooLongForTheirPackedBitsKeepTheirTrueLengths) {
    const std::u16string longName(1100, u'n');
    const std::u16string longValue(0x400000, u'v');
    const std::u16string text =
        u"<r><" + longName + u" k=\"" + longValue + u"\">data</" + longName + u"><b>x</b></r>";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(text));
    ASSERT_TRUE(doc.FindChildElement(longName));
    EXPECT_EQ(doc.GetChildData(), u"data");
    const uint32_t node = doc.ChildNode();
    EXPECT_EQ(doc.Index().StartTagLength(node), longName.size() + longValue.size() + 7);
    EXPECT_EQ(doc.Index().EndTagLength(node), longName.size() + 3);
    ASSERT_TRUE(doc.FindChildElement(u"b"));
    EXPECT_EQ(doc.GetChildData(), u"x");
    EXPECT_TRUE(doc.AddChildElement(u"c", u"y"));
    EXPECT_EQ(quorlex::testing::CompareWithReparse(doc), "");
}

TEST(XmlParse, VeryDeepNestingParsesWithoutRecursion) {
    constexpr int kDepth = 100000;
    std::u16string text;
    for (int i = 0; i < kDepth; ++i) {
        text += u"<e>";
    }
    text += u"deep";
    for (int i = 0; i < kDepth; ++i) {
        text += u"</e>";
    }
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(text));
    int depth = 0;
    while (doc.FindElement(u"e") && doc.EnterElement()) {
        ++depth;
        if (depth == kDepth) {
            doc.LeaveElement();
            break;
        }
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(doc.GetElementData(), u"deep");
    EXPECT_EQ(doc.Index()[doc.CurrentNode()].Level(), XmlNode::kLevelMask);
}
