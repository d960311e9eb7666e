#include "devices/DeviceListFile.h"
#include "common/CodePage.h"
#include "common/Text.h"
#include "devices/DeviceList.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorlex;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ListBytes(const std::vector<KnownDevice>& devices) {
    return ToUtf8(DeviceListText(devices));
}

const std::vector<KnownDevice> kStored = {{u"基站一号", u"00126f0a1b2c", u"0000"}};
const std::vector<KnownDevice> kNew = {{u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                                       {u"GNSS-R03", u"00126f0c7712", u"7391"}};

// Root may write any file; these cases are about the surveyor's own account,
// so under root the file operations run as "nobody" on a folder handed over.
class Unprivileged {
public:
    explicit Unprivileged(const fs::path& folder) {
        if (::geteuid() != 0) {
            return;
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            ::lchown(entry.path().c_str(), kNobody, kNobody);
        }
        ::lchown(folder.c_str(), kNobody, kNobody);
        active_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        // A temporary folder inside one only root may enter is no place for these cases.
        failed_ = !active_ || ::faccessat(AT_FDCWD, folder.c_str(), X_OK, AT_EACCESS) != 0;
    }
    ~Unprivileged() {
        if (active_) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    bool Failed() const { return failed_; }

private:
    bool active_ = false;
    bool failed_ = false;
};

struct FileCase {
    const char* name;
    // Lays out the folder; returns the path the dialog would use.
    std::function<fs::path(const fs::path& folder)> setUp;
    DeviceListOpening opening;
    DeviceListDamage damage;
    int saveErrno;
    bool saved;
    // What the list file (through any link) holds after the save: the saved
    // list, or the bytes it held before.
    bool replaced;
    // Copies expected beside the file, by name, each holding the bytes the file had.
    std::vector<std::string> copies;
};

void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.name;
}

fs::path ListIn(const fs::path& folder, const std::string& bytes) {
    Write(folder / "Bluetooth.cfg", bytes);
    return folder / "Bluetooth.cfg";
}

const std::string kGarbage = "Bluetooth list? no: just some words\n\x01\x02\x03 and a tab\t";
const std::string kBinary = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe\x00\x10", 20);
// Declares UTF-8 but holds the name in code page 936, as another editor would save it.
const std::string kWrongEncoding =
    EncodeCp936(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<HEAD>\r\n<Bluetooth_Config>\r\n"
                u"<Ver>1.0.1.1</Ver>\r\n<BtDevice>\r\n<Bluetooth_Name>基站一号</Bluetooth_Name>\r\n"
                u"<Bluetooth_Address>00126f0a1b2c</Bluetooth_Address>\r\n"
                u"<Bluetooth_PIN>0000</Bluetooth_PIN>\r\n</BtDevice>\r\n</Bluetooth_Config>\r\n"
                u"</HEAD>\r\n");
const std::string kUndeclaredCp936 = EncodeCp936(
    u"<HEAD><Bluetooth_Config><Ver>1.0.1.1</Ver><BtDevice><Bluetooth_Name>基站一号"
    u"</Bluetooth_Name><Bluetooth_Address>00126f0a1b2c</Bluetooth_Address><Bluetooth_PIN>0000"
    u"</Bluetooth_PIN></BtDevice></Bluetooth_Config></HEAD>");
const std::string kCutShort = ListBytes(kStored) + "<HEAD><Bluetooth_Config><Ver>1</Ver>";

const FileCase kFileCases[] = {
    {"garbage",
     [](const fs::path& f) { return ListIn(f, kGarbage); },
     DeviceListOpening::KeptAside,
     DeviceListDamage::NotAList,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak"}},
    {"binary",
     [](const fs::path& f) { return ListIn(f, kBinary); },
     DeviceListOpening::KeptAside,
     DeviceListDamage::NotAList,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak"}},
    {"wrong encoding",
     [](const fs::path& f) { return ListIn(f, kWrongEncoding); },
     DeviceListOpening::KeptAside,
     DeviceListDamage::Incomplete,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak"}},
    {"second root",
     [](const fs::path& f) { return ListIn(f, kCutShort); },
     DeviceListOpening::KeptAside,
     DeviceListDamage::Incomplete,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak"}},
    {"earlier copy kept",
     [](const fs::path& f) {
         Write(f / "Bluetooth.cfg.bak", "an earlier copy");
         return ListIn(f, kGarbage);
     },
     DeviceListOpening::KeptAside,
     DeviceListDamage::NotAList,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak.1"}},
    {"identical copy there",
     [](const fs::path& f) {
         Write(f / "Bluetooth.cfg.bak", kGarbage);
         return ListIn(f, kGarbage);
     },
     DeviceListOpening::AlreadyKept,
     DeviceListDamage::NotAList,
     0,
     true,
     true,
     {"Bluetooth.cfg.bak"}},
    {"no copy possible",
     [](const fs::path& f) {
         fs::path path = ListIn(f, kGarbage);
         ::chmod(f.c_str(), 0555);
         return path;
     },
     DeviceListOpening::Protected,
     DeviceListDamage::NotAList,
     EACCES,
     false,
     false,
     {}},
    {"undeclared code page 936",
     [](const fs::path& f) { return ListIn(f, kUndeclaredCp936); },
     DeviceListOpening::Read,
     DeviceListDamage::None,
     0,
     true,
     true,
     {}},
    {"symlink",
     [](const fs::path& f) {
         Write(f / "dotfiles" / "Bluetooth.cfg", ListBytes(kStored));
         fs::create_directories(f / "config");
         fs::create_symlink("../dotfiles/Bluetooth.cfg", f / "config" / "Bluetooth.cfg");
         return f / "config" / "Bluetooth.cfg";
     },
     DeviceListOpening::Read,
     DeviceListDamage::None,
     0,
     true,
     true,
     {}},
    {"dangling symlink",
     [](const fs::path& f) {
         fs::create_directories(f / "dotfiles");
         fs::create_symlink(f / "dotfiles" / "Bluetooth.cfg", f / "Bluetooth.cfg");
         return f / "Bluetooth.cfg";
     },
     DeviceListOpening::Missing,
     DeviceListDamage::None,
     0,
     true,
     true,
     {}},
    {"read-only file",
     [](const fs::path& f) {
         fs::path path = ListIn(f, ListBytes(kStored));
         ::chmod(path.c_str(), 0444);
         return path;
     },
     DeviceListOpening::Read,
     DeviceListDamage::None,
     EACCES,
     false,
     false,
     {}},
    {"read-only folder, writable file",
     [](const fs::path& f) {
         fs::path path = ListIn(f, ListBytes(kStored) + std::string(4000, '\n'));
         ::chmod(f.c_str(), 0555);
         return path;
     },
     DeviceListOpening::Read,
     DeviceListDamage::None,
     0,
     true,
     true,
     {}},
    {"parent is a file",
     [](const fs::path& f) {
         Write(f / "quorlex", "a file where the folder should be");
         return f / "quorlex" / "Bluetooth.cfg";
     },
     DeviceListOpening::Missing,
     DeviceListDamage::None,
     ENOTDIR,
     false,
     false,
     {}},
};

class DeviceListFileCases : public ::testing::TestWithParam<FileCase> {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("devicelistfile-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            if (entry.is_directory() && !entry.is_symlink()) {
                ::chmod(entry.path().c_str(), 0755);
            }
        }
        ::chmod(folder_.c_str(), 0755);
        fs::remove_all(folder_);
    }

    // Every file in the folder tree, by path relative to it, with its bytes.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            if (entry.is_regular_file()) {
                files[fs::relative(entry.path(), folder_).string()] = Read(entry.path());
            }
        }
        return files;
    }

    fs::path folder_;
};

} // namespace

TEST_P(DeviceListFileCases, OpenKeepsUnreadableFilesAsideAndSaveIsCareful) {
    const FileCase& c = GetParam();
    const fs::path path = c.setUp(folder_);
    const std::map<std::string, std::string> before = Files();
    const bool wasLink = fs::is_symlink(path);
    const std::string original = fs::exists(path) ? Read(path) : std::string();
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;

    DeviceListFile file(path);
    std::vector<KnownDevice> devices = {{u"shown", u"1", u"1"}};
    DeviceListOpening opening{};
    bool saved = false;
    {
        Unprivileged scope(folder_);
        if (scope.Failed()) {
            GTEST_SKIP() << "running as root, but cannot act as an unprivileged user in "
                         << folder_;
        }
        opening = file.Open(devices);
        saved = file.Save(kNew);
    }

    EXPECT_EQ(opening, c.opening);
    EXPECT_EQ(file.Damage(), c.damage);
    EXPECT_EQ(saved, c.saved);
    EXPECT_EQ(file.Error().number, c.saveErrno)
        << std::string(file.Error().what.begin(), file.Error().what.end());
    if (c.opening == DeviceListOpening::Read) {
        EXPECT_EQ(devices, kStored);
    }
    EXPECT_EQ(fs::is_symlink(path), wasLink);

    std::map<std::string, std::string> expected = before;
    for (const std::string& copy : c.copies) {
        expected[copy] = original;
        EXPECT_EQ(file.CopyPath(), path.parent_path() / copy);
    }
    if (c.replaced) {
        const fs::path target = fs::canonical(path);
        expected[fs::relative(target, folder_).string()] = ListBytes(kNew);
        // A replaced file keeps its mode; a new one is private.
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, existed ? old.st_mode & 07777 : 0600u);
    }
    // Nothing else appears, disappears or changes: no temporary files left.
    EXPECT_EQ(Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DeviceListFileCases, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });
