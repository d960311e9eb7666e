#include "devices/DeviceList.h"
#include "common/CodePage.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace quorlex;
namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<HEAD>\r\n<Bluetooth_Config>\r\n<Ver>1.0.1.1</Ver>\r\n";
constexpr const char* kFooter = "</Bluetooth_Config>\r\n</HEAD>\r\n";

class DeviceListFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("devices-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = folder_ / "quorlex" / "Bluetooth.cfg";
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void Write(const std::string& bytes) const {
        fs::create_directories(path_.parent_path());
        std::ofstream(path_, std::ios::binary) << bytes;
    }

    static std::string Entry(const char* name, const char* address, const char* pin) {
        return std::string("<BtDevice>\r\n<Bluetooth_Name>") + name +
               "</Bluetooth_Name>\r\n<Bluetooth_Address>" + address +
               "</Bluetooth_Address>\r\n<Bluetooth_PIN>" + pin +
               "</Bluetooth_PIN>\r\n</BtDevice>\r\n";
    }

    fs::path folder_;
    fs::path path_;
};

} // namespace

TEST_F(DeviceListFile, FirstStartHasNoFileThenASaveWritesTheExactLayout) {
    std::vector<KnownDevice> devices{{u"kept", u"000000000001", u"1"}};
    EXPECT_FALSE(LoadDeviceList(path_, devices));
    ASSERT_EQ(devices.size(), 1u); // unchanged
    devices = {{u"R1", u"00a1b2c3d4e5", u"7391"}, {u"R2", u"00a1b2c3d4e6", u"7391"}};
    ASSERT_TRUE(SaveDeviceList(path_, devices)); // creates the folder
    EXPECT_EQ(Read(), kHeader + Entry("R1", "00a1b2c3d4e5", "7391") +
                          Entry("R2", "00a1b2c3d4e6", "7391") + kFooter);
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    EXPECT_EQ(loaded, devices);
}

TEST_F(DeviceListFile, DeletingTheLastDeviceLeavesHeadConfigAndVersion) {
    ASSERT_TRUE(SaveDeviceList(path_, {{u"R1", u"00a1b2c3d4e5", u"7391"}}));
    ASSERT_TRUE(SaveDeviceList(path_, {}));
    EXPECT_EQ(Read(), std::string(kHeader) + kFooter);
    std::vector<KnownDevice> loaded{{u"x", u"y", u"z"}};
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    EXPECT_TRUE(loaded.empty());
}

TEST_F(DeviceListFile, NamesThatNeedEscapingOrChineseRoundTrip) {
    const std::vector<KnownDevice> devices{
        {u"<Rover> & \"base\" 'one'", u"00a1b2c3d4e5", u"12&4"},
        {u"测试接收机 中文", u"0000ffffffff", u""},
    };
    ASSERT_TRUE(SaveDeviceList(path_, devices));
    const std::string bytes = Read();
    EXPECT_NE(bytes.find("<Bluetooth_Name>&lt;Rover&gt; &amp; \"base\" 'one'</Bluetooth_Name>"),
              std::string::npos);
    EXPECT_NE(bytes.find("\xE6\xB5\x8B\xE8\xAF\x95"), std::string::npos); // UTF-8, no mark
    EXPECT_NE(bytes.rfind("<?xml", 0), std::string::npos);
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    EXPECT_EQ(loaded, devices);
}

TEST_F(DeviceListFile, AcceptsOtherVersionsAndReadsOnlyEntriesAfterVer) {
    Write(std::string("<?xml version=\"1.0\"?><HEAD><Bluetooth_Config>") +
          "<BtDevice><Bluetooth_Name>early</Bluetooth_Name></BtDevice>" + "<Ver>2.5</Ver>" +
          Entry("R1", "a", "1") + "<Other/>" + Entry("R2", "b", "2") + kFooter);
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    EXPECT_EQ(loaded, (std::vector<KnownDevice>{{u"R1", u"a", u"1"}, {u"R2", u"b", u"2"}}));
}

TEST_F(DeviceListFile, AFieldMissingFromAnEntryKeepsThePreviousEntrysText) {
    Write(std::string(kHeader) + Entry("R1", "a", "1") +
          "<BtDevice><Bluetooth_Name>R2</Bluetooth_Name><Bluetooth_PIN>2</Bluetooth_PIN>"
          "</BtDevice>" +
          kFooter);
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    EXPECT_EQ(loaded, (std::vector<KnownDevice>{{u"R1", u"a", u"1"}, {u"R2", u"a", u"2"}}));
}

TEST_F(DeviceListFile, FilesWithoutHeadOrConfigCountAsMissing) {
    const std::vector<KnownDevice> before{{u"kept", u"1", u"1"}};
    for (const std::string& bytes :
         {std::string("<HEAD><Other/></HEAD>"), std::string("<ROOT><Bluetooth_Config/></ROOT>"),
          std::string("")}) {
        Write(bytes);
        std::vector<KnownDevice> devices = before;
        EXPECT_FALSE(LoadDeviceList(path_, devices)) << bytes;
        EXPECT_EQ(devices, before);
    }
}

// Written by another editor in code page 936 without a declaration: the
// Chinese names must load, and the next save writes them back intact.
TEST_F(DeviceListFile, ACodePage936FileLoadsAndIsRewrittenAsUtf8) {
    Write(EncodeCp936(u"<HEAD><Bluetooth_Config><Ver>1.0.1.1</Ver><BtDevice>"
                      u"<Bluetooth_Name>基站一号</Bluetooth_Name><Bluetooth_Address>00a1b2c3d4e5"
                      u"</Bluetooth_Address><Bluetooth_PIN>7391</Bluetooth_PIN></BtDevice>"
                      u"</Bluetooth_Config></HEAD>"));
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path_, loaded));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].name, u"基站一号");
    ASSERT_TRUE(SaveDeviceList(path_, loaded));
    std::vector<KnownDevice> again;
    ASSERT_TRUE(LoadDeviceList(path_, again));
    EXPECT_EQ(again, loaded);
}

// A disk that fills up halfway through the write: the save fails and the
// list written before is still there, whole.
TEST_F(DeviceListFile, AFailedSaveReportsFalseAndKeepsTheOldFile) {
    ASSERT_TRUE(SaveDeviceList(path_, {{u"R1", u"00a1b2c3d4e5", u"7391"}}));
    const std::string before = Read();
    const std::vector<KnownDevice> many(50, KnownDevice{u"Rover", u"00a1b2c3d4e5", u"7391"});

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = SaveDeviceList(path_, many);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(path_.parent_path()), fs::directory_iterator()),
              1);
}

// The list is written out in one pass; the engine's element-adding
// operations, as the file format is defined by, must give the same text.
TEST(DeviceListText, IsWhatTheEnginesElementOperationsBuild) {
    const std::vector<std::vector<KnownDevice>> lists = {
        {},
        {{u"R1", u"00a1b2c3d4e5", u"7391"}},
        {{u"", u"", u""}, {u"<a&b>", u"x\r\ny", u" "}, {u"测站一号", u"0000ffffffff", u"\xD800"}},
        std::vector<KnownDevice>(40, KnownDevice{u"Rover", u"00a1b2c3d4e5", u""}),
    };
    for (const std::vector<KnownDevice>& devices : lists) {
        XmlDocument doc;
        doc.SetDocument(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
        doc.AddElement(u"HEAD");
        doc.EnterElement();
        doc.AddElement(u"Bluetooth_Config");
        doc.EnterElement();
        doc.AddElement(u"Ver", u"1.0.1.1");
        for (const KnownDevice& device : devices) {
            doc.AddElement(u"BtDevice");
            doc.AddChildElement(u"Bluetooth_Name", device.name);
            doc.AddChildElement(u"Bluetooth_Address", device.address);
            doc.AddChildElement(u"Bluetooth_PIN", device.pin);
        }
        EXPECT_EQ(DeviceListText(devices), doc.GetDocument()) << devices.size() << " entries";
    }
}

TEST(DeviceListLocation, FollowsTheConfigurationFolderVariables) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig != nullptr ? savedConfig : "";
    const std::string home = savedHome != nullptr ? savedHome : "";

    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(DeviceListPath(), fs::path("/tmp/cfg/quorlex/Bluetooth.cfg"));
    ::setenv("HOME", "/home/surveyor", 1);
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(DeviceListPath(), fs::path("/home/surveyor/.config/quorlex/Bluetooth.cfg"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DeviceListPath(), fs::path("/home/surveyor/.config/quorlex/Bluetooth.cfg"));

    savedConfig != nullptr ? ::setenv("XDG_CONFIG_HOME", config.c_str(), 1)
                           : ::unsetenv("XDG_CONFIG_HOME");
    savedHome != nullptr ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}
