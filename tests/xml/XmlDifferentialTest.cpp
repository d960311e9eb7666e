// The engine against two independent parsers: for well-formed documents the
// element names, their nesting and the decoded text of elements without
// child elements must agree.

#include "common/Text.h"
#include "tests/xml/XmlIndexCheck.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pugixml.hpp>

#include <random>
#include <string>
#include <vector>

using namespace quorlex;

namespace {

using Lines = std::vector<std::u16string>;

void PugiLines(const pugi::xml_node& parent, size_t depth, Lines& lines) {
    for (const pugi::xml_node& node : parent.children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        std::u16string line = std::u16string(depth, u' ') + FromUtf8(node.name());
        const size_t at = lines.size();
        lines.push_back(line);
        PugiLines(node, depth + 1, lines);
        if (lines.size() == at + 1) {
            std::string data;
            for (const pugi::xml_node& piece : node.children()) {
                if (piece.type() == pugi::node_pcdata || piece.type() == pugi::node_cdata) {
                    data += piece.value();
                }
            }
            lines[at] += u"=" + FromUtf8(data);
        }
    }
}

Lines ParseWithPugi(const std::string& bytes) {
    pugi::xml_document doc;
    const unsigned options = (pugi::parse_default | pugi::parse_ws_pcdata) & ~pugi::parse_eol;
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
    Lines lines;
    if (!result) {
        lines.push_back(u"pugixml: " + FromUtf8(result.description()));
        return lines;
    }
    PugiLines(doc, 0, lines);
    return lines;
}

std::string Utf8Of(const xmlChar* text) {
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

void LibxmlLines(const xmlNode* parent, size_t depth, Lines& lines) {
    for (const xmlNode* node = parent->children; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        const size_t at = lines.size();
        lines.push_back(std::u16string(depth, u' ') + FromUtf8(Utf8Of(node->name)));
        LibxmlLines(node, depth + 1, lines);
        if (lines.size() == at + 1) {
            std::string data;
            for (const xmlNode* piece = node->children; piece != nullptr; piece = piece->next) {
                if (piece->type == XML_TEXT_NODE || piece->type == XML_CDATA_SECTION_NODE) {
                    data += Utf8Of(piece->content);
                }
            }
            lines[at] += u"=" + FromUtf8(data);
        }
    }
}

Lines ParseWithLibxml(const std::string& bytes) {
    Lines lines;
    xmlDoc* doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) {
        lines.push_back(u"libxml2 could not parse");
        return lines;
    }
    LibxmlLines(reinterpret_cast<const xmlNode*>(doc), 0, lines);
    xmlFreeDoc(doc);
    return lines;
}

Lines ParseWithEngine(const std::string& bytes) {
    XmlDocument doc;
    doc.LoadBytes(bytes);
    return quorlex::testing::ElementLines(doc);
}

// Random well-formed documents built from the constructs the engine reads.
class DocumentGenerator {
public:
    explicit DocumentGenerator(unsigned start) : rng_(start) {}

    std::string Document() {
        std::string out;
        if (Chance(2)) {
            out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        }
        if (Chance(4)) {
            out += "<!DOCTYPE root [\n<!ELEMENT root ANY>\n<!-- ] > -->\n"
                   "<!ATTLIST root k CDATA \"x>y]\">\n]>\n";
        }
        if (Chance(3)) {
            out += "<!-- before -->\n<?app data?>\n";
        }
        Element(out, 0);
        if (Chance(3)) {
            out += "\n<!-- after -->\n";
        }
        return out;
    }

private:
    bool Chance(unsigned oneIn) { return rng_() % oneIn == 0; }

    const char* Pick(std::initializer_list<const char*> options) {
        return options.begin()[rng_() % options.size()];
    }

    void Element(std::string& out, int depth) {
        const std::string name = Pick({"a", "item", "x-y.z", "_u", "名字", "B9", "data", "ü"});
        out += "<" + name;
        if (Chance(2)) {
            out += Pick({" k=\"v\"", " k='>' j=\"&amp;\"", " a=\"1\"\n b='2'", " q=\"'\""});
        }
        if (Chance(6)) {
            out += "/>";
            return;
        }
        out += Chance(5) ? " >" : ">";
        const bool leaf = depth >= 6 || Chance(2);
        const int pieces = static_cast<int>(rng_() % 5);
        for (int i = 0; i < pieces; ++i) {
            if (!leaf && Chance(2)) {
                Element(out, depth + 1);
            } else {
                Content(out);
            }
        }
        out += "</" + name + (Chance(5) ? " >" : ">");
    }

    void Content(std::string& out) {
        switch (rng_() % 8) {
        case 0:
            out += Pick({"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"});
            break;
        case 1:
            out += Pick({"&#65;", "&#x4E2D;", "&#x1F600;", "&#9;", "&#13;", "&#xa0;"});
            break;
        case 2:
            out += Pick({"<![CDATA[<a>&amp;]]>", "<![CDATA[]]>", "<![CDATA[x]y]]z]]>"});
            break;
        case 3:
            out += Pick({"<!-- note <b> -->", "<?pi x > y?>"});
            break;
        case 4:
            out += Pick({" ", "\n  ", "\t"});
            break;
        default:
            out += Pick({"text", "中文", "a > b", "x'y\"z", "é", "\xF0\x9F\x98\x80", "1.0.1.1"});
            break;
        }
    }

    std::mt19937 rng_;
};

} // namespace

TEST(XmlDifferential, GeneratedDocumentsAgreeWithPugixmlAndLibxml2) {
    DocumentGenerator generator(7);
    for (int i = 0; i < 400; ++i) {
        const std::string bytes = generator.Document();
        const Lines engine = ParseWithEngine(bytes);
        ASSERT_EQ(engine, ParseWithPugi(bytes)) << bytes;
        ASSERT_EQ(engine, ParseWithLibxml(bytes)) << bytes;
    }
}

TEST(XmlDifferential, HandWrittenDocumentsAgree) {
    const std::string documents[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<HEAD>\r\n<Bluetooth_Config>\r\n"
        "<Ver>1.0.1.1</Ver>\r\n<BtDevice>\r\n<Bluetooth_Name>R&lt;1&gt; &amp; "
        "接收机</Bluetooth_Name>"
        "\r\n<Bluetooth_Address>00a1b2c3d4e5</Bluetooth_Address>\r\n<Bluetooth_PIN>7391"
        "</Bluetooth_PIN>\r\n</BtDevice>\r\n</Bluetooth_Config>\r\n</HEAD>\r\n",
        "<r><a/><a></a><a> </a><a>\n</a></r>",
        "<r k=\"a>b\" j='c\"d'><x y=\"/>\">t</x></r>",
        "<r><![CDATA[]]]]><![CDATA[>]]></r>",
        "<!DOCTYPE r [<!ENTITY e \"v\">]><r>&#x10FFFF;&#1234;</r>",
        "<r><!----><?x?><e>1<!--2-->3</e></r>",
        "<\xE6\xA0\xB9><\xE5\xAD\x90>\xE5\x80\xBC</\xE5\xAD\x90></\xE6\xA0\xB9>",
    };
    for (const std::string& bytes : documents) {
        const Lines engine = ParseWithEngine(bytes);
        EXPECT_EQ(engine, ParseWithPugi(bytes)) << bytes;
        EXPECT_EQ(engine, ParseWithLibxml(bytes)) << bytes;
    }
}
