#include "common/CodePage.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorlex;
namespace fs = std::filesystem;

namespace {

class XmlFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("xmlfile-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Write(const std::string& bytes, const char* name = "doc.xml") const {
        fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Loads the bytes and returns the data of the first element named name.
    std::u16string Load(const std::string& bytes, std::u16string_view name = u"e") {
        EXPECT_TRUE(doc_.LoadFile(Write(bytes))) << Log();
        EXPECT_TRUE(doc_.FindChildElement(name)) << Log();
        return doc_.GetChildData();
    }

    bool Logged(std::u16string_view entry) const {
        return doc_.GetResult().find(entry) != std::u16string::npos;
    }

    std::string Log() const {
        const std::u16string& log = doc_.GetResult();
        return std::string(log.begin(), log.end());
    }

    static std::string Utf16(std::u16string_view text, bool bigEndian) {
        std::string bytes;
        for (const char16_t c : text) {
            const char hi = static_cast<char>(c >> 8);
            const char lo = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? hi : lo;
            bytes += bigEndian ? lo : hi;
        }
        return bytes;
    }

    fs::path folder_;
    XmlDocument doc_;
};

} // namespace

TEST_F(XmlFile, Utf16LittleEndianWithMarkLoadsAndSavesAsItCame) {
    const std::string bytes = "\xFF\xFE" + Utf16(u"<r><e>中文 text</e></r>\r\n", false);
    EXPECT_EQ(Load(bytes), u"中文 text");
    EXPECT_EQ(doc_.GetDocFlags() & XmlDocFlags::kByteOrderMarks, XmlDocFlags::kUtf16Le);
    EXPECT_TRUE(Logged(u"<bom encoding=\"UTF-16LE\"/><read encoding=\"UTF-16LE\" length=\"23\"/>"))
        << Log();
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), bytes);
}

TEST_F(XmlFile, Utf16BigEndianWithMarkIsSwapped) {
    const std::string bytes = "\xFE\xFF" + Utf16(u"<r><e>中文</e></r>", true);
    EXPECT_EQ(Load(bytes), u"中文");
    EXPECT_EQ(doc_.GetDocFlags() & XmlDocFlags::kByteOrderMarks, XmlDocFlags::kUtf16Be);
    EXPECT_TRUE(Logged(u"<endian_swap")) << Log();
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), bytes);
}

TEST_F(XmlFile, Utf16WithoutMarkFollowsItsDeclarationInEitherByteOrder) {
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r><e>中文</e></r>";
    EXPECT_EQ(Load(Utf16(text, false)), u"中文");
    EXPECT_EQ(Load(Utf16(text, true)), u"中文");
    EXPECT_EQ(doc_.GetDocFlags() & XmlDocFlags::kByteOrderMarks, 0u);
    // Saved as declared, without a mark, and read back the same.
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), Utf16(text, false));
}

TEST_F(XmlFile, Utf16WithoutMarkOrDeclarationKeepsItsAsciiByDroppingNuls) {
    EXPECT_EQ(Load(Utf16(u"<r><e>plain</e></r>", false)), u"plain");
    EXPECT_TRUE(Logged(u"<nulls_removed count=\"19\"/>")) << Log();
}

TEST_F(XmlFile, Utf8MarkIsKeptForTheNextSave) {
    const std::string bytes = "\xEF\xBB\xBF<r><e>\xE4\xB8\xAD</e></r>";
    EXPECT_EQ(Load(bytes), u"中");
    EXPECT_EQ(doc_.GetDocFlags() & XmlDocFlags::kByteOrderMarks, XmlDocFlags::kUtf8Bom);
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), bytes);
    // Loading a file without a mark forgets it.
    Load("<r><e/></r>");
    EXPECT_EQ(doc_.GetDocFlags() & XmlDocFlags::kByteOrderMarks, 0u);
}

// A device list saved by another editor in code page 936, without a declaration.
TEST_F(XmlFile, UndeclaredTextThatIsNotUtf8IsReadInCodePage936) {
    const std::string gbk = EncodeCp936(u"<r><e>测试接收机</e></r>");
    EXPECT_EQ(Load(gbk), u"测试接收机");
    EXPECT_TRUE(Logged(u"<utf8_detection encoding=\"ANSI\"/>"
                       u"<converted_to encoding=\"UTF-16\" length=\"19\"/>"))
        << Log();
    EXPECT_EQ(Load("<r><e>\xE6\xB5\x8B</e></r>"), u"测");
    EXPECT_TRUE(Logged(u"<utf8_detection encoding=\"UTF-8\"/>")) << Log();
}

TEST_F(XmlFile, DeclaredEncodingsAreLookedUpWithoutRegardToCase) {
    EXPECT_EQ(
        Load("<?xml version='1.0' encoding='Gb2312'?><r><e>" + EncodeCp936(u"中文") + "</e></r>"),
        u"中文");
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><e>caf\xE9</e></r>"),
              u"café");
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r><e>\x80</e></r>"), u"€");
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"Big5\"?><r><e>\xA4\xA4</e></r>"), u"中");
    // A name not in the table means the system default code page.
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"x-unheard-of\"?><r><e>" + EncodeCp936(u"中") +
                   "</e></r>"),
              u"中");
    // Declared UTF-8 that is not: the bad bytes become "?".
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><e>a\xFF"
                   "b</e></r>"),
              u"a?b");
}

TEST_F(XmlFile, HtmlMetaCharsetNamesTheEncoding) {
    const std::string page =
        "<html><head><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=big5\"></head><body>\xA4\xA4</body></html>";
    EXPECT_EQ(Load(page, u"body"), u"中");
    EXPECT_TRUE(Logged(u"<read encoding=\"big5\"")) << Log();
}

TEST_F(XmlFile, NulBytesAreRemovedAndCounted) {
    EXPECT_EQ(Load(std::string("<r><e>a\0b\0\0c</e></r>", 20)), u"abc");
    EXPECT_TRUE(Logged(u"<nulls_removed count=\"3\"/>")) << Log();
}

TEST_F(XmlFile, Utf32IsConvertedByTheEngine) {
    std::string bytes;
    for (const char32_t c :
         std::u32string(U"<?xml version=\"1.0\" encoding=\"UTF-32\"?><r><e>\U0001F600中</e></r>")) {
        for (int k = 0; k < 4; ++k) {
            bytes += static_cast<char>((c >> (8 * k)) & 0xFF);
        }
    }
    EXPECT_EQ(Load(bytes), u"\U0001F600中");
}

TEST_F(XmlFile, SavesInTheDeclaredEncodingAndLogsWhatItCannotHold) {
    doc_.SetDocument(u"<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<r>中\u0E01\U0001F600</r>");
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<r>" +
                                             EncodeCp936(u"中") +
                                             "?"
                                             "?</r>");
    EXPECT_TRUE(Logged(u"<conversion_loss encoding=\"GBK\" count=\"2\"/>")) << Log();
    EXPECT_TRUE(Logged(u"<converted_from encoding=\"GBK\" length=\"49\"/>")) << Log();
    EXPECT_TRUE(Logged(u"<write encoding=\"GBK\" length=\"49\"/>")) << Log();

    doc_.SetDocument(u"<r>\xD800</r>"); // a lone surrogate has no UTF-8 form
    ASSERT_TRUE(doc_.SaveFile(folder_ / "out.xml"));
    EXPECT_EQ(Read(folder_ / "out.xml"), "<r>?</r>");
    EXPECT_TRUE(Logged(u"<conversion_loss encoding=\"UTF-8\" count=\"1\"/>")) << Log();
}

TEST_F(XmlFile, AFailedSaveLeavesTheOldFileAndNoLeftovers) {
    // A folder in the file's place cannot be replaced by a file.
    fs::create_directories(folder_ / "taken.xml" / "inside");
    doc_.SetDocument(u"<r/>");
    EXPECT_FALSE(doc_.SaveFile(folder_ / "taken.xml"));
    EXPECT_TRUE(Logged(u"<file_error msg=\"not a file\"")) << Log();
    EXPECT_TRUE(fs::is_directory(folder_ / "taken.xml" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);

    EXPECT_FALSE(doc_.SaveFile(folder_ / "missing" / "out.xml"));
    EXPECT_TRUE(Logged(u"<file_error msg=\"cannot create\"")) << Log();
}

TEST_F(XmlFile, ReplacingAFileKeepsItsPermissions) {
    const fs::path path = Write("<old/>");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    doc_.SetDocument(u"<new/>");
    ASSERT_TRUE(doc_.SaveFile(path));
    EXPECT_EQ(Read(path), "<new/>");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(XmlFile, AMissingFileFailsAndLeavesTheDocumentAlone) {
    doc_.SetDocument(u"<keep/>");
    EXPECT_FALSE(doc_.LoadFile(folder_ / "absent.xml"));
    EXPECT_TRUE(Logged(u"<file_error msg=\"cannot open\" n=\"2\"/>")) << Log();
    EXPECT_EQ(doc_.GetDocument(), u"<keep/>");
    EXPECT_FALSE(doc_.LoadFile(folder_));
    EXPECT_TRUE(Logged(u"<file_error msg=\"not a file\"")) << Log();
}

TEST_F(XmlFile, AnIllFormedOrEmptyFileStillLoads) {
    EXPECT_TRUE(doc_.LoadFile(Write("<a/><b/>")));
    EXPECT_TRUE(Logged(u"<root_has_sibling tagname=\"b\"")) << Log();
    EXPECT_TRUE(doc_.LoadFile(Write("")));
    EXPECT_TRUE(Logged(u"<no_root_element/>")) << Log();
}
