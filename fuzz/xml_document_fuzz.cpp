// Any text, walked and edited in any order: nothing may crash, the result
// log stays within its limit, and after every edit the index must be what a
// fresh parse of the new text builds.
#include "common/Text.h"
#include "tests/xml/XmlIndexCheck.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"
#include "xml/XmlResultLog.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using quorlex::XmlDocument;

constexpr size_t kMaxSteps = 48;

constexpr std::u16string_view kNames[] = {u"a",  u"b", u"r", u"HEAD", u"BtDevice",
                                          u"名", u"A", u"",  u"1x",   u"a b"};
constexpr std::u16string_view kData[] = {u"", u"x", u"<&>", u"中文", u"]]>", u"&amp;"};

void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

void CheckIndex(const XmlDocument& doc) {
    const std::string difference = quorlex::testing::CompareWithReparse(doc);
    if (!difference.empty()) {
        Fail("index differs from a fresh parse:",
             difference + "\n" + quorlex::ToUtf8(doc.GetDocument()));
    }
}

// Two bytes per unit, so that any UTF-16 unit, lone surrogates included, can occur.
std::u16string Utf16Units(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

void Step(XmlDocument& doc, uint8_t code) {
    const std::u16string_view name = kNames[(code / 10) % std::size(kNames)];
    const std::u16string_view data = kData[(code / 3) % std::size(kData)];
    switch (code % 10) {
    case 0:
        doc.FindElement();
        break;
    case 1:
        doc.FindElement(name);
        break;
    case 2:
        doc.FindChildElement();
        break;
    case 3:
        doc.FindChildElement(name);
        break;
    case 4:
        doc.EnterElement();
        break;
    case 5:
        doc.LeaveElement();
        break;
    case 6:
        doc.AddElement(name, data);
        CheckIndex(doc);
        break;
    case 7:
        doc.AddChildElement(name, data);
        CheckIndex(doc);
        break;
    case 8:
        (void)doc.GetElementData();
        (void)doc.GetChildData();
        break;
    default:
        (void)doc.GetTagName();
        (void)doc.GetChildTagName();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorlex;
    FuzzedDataProvider input(data, size);
    const auto options = input.ConsumeIntegral<uint8_t>();
    uint32_t flags = 0;
    flags |= (options & 1) != 0 ? XmlDocFlags::kIgnoreCase : 0;
    flags |= (options & 2) != 0 ? XmlDocFlags::kTrimWhitespace : 0;
    flags |= (options & 4) != 0 ? XmlDocFlags::kCollapseWhitespace : 0;
    const std::string script = input.ConsumeRandomLengthString(kMaxSteps);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    XmlDocument doc;
    doc.SetDocFlags(flags);
    doc.SetDocument((options & 8) != 0 ? Utf16Units(bytes) : FromUtf8(bytes));
    if (doc.GetResult().size() > XmlResultLog::kLimit) {
        Fail("result log too long:", std::to_string(doc.GetResult().size()));
    }
    CheckIndex(doc);
    for (const char code : script) {
        Step(doc, static_cast<uint8_t>(code));
    }
    return 0;
}
