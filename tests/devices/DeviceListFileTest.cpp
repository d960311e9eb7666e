#include "devices/DeviceListFile.h"
#include "common/CodePage.h"
#include "common/Text.h"
#include "devices/DeviceList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorlex;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
using Op = DeviceListOpening;
using Damage = DeviceListDamage;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ListBytes(const std::vector<KnownDevice>& devices) {
    return ToUtf8(DeviceListText(devices));
}

// Every file under the folder, by relative path, with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = Read(entry.path());
        }
    }
    return files;
}

// Root may write any file; these cases are about the surveyor's own account,
// so under root they run as "nobody" on a folder handed over to it.
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

const std::vector<KnownDevice> kStored = {{u"基站一号", u"00126f0a1b2c", u"0000"}};
const std::vector<KnownDevice> kNew = {{u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                                       {u"GNSS-R03", u"00126f0c7712", u"7391"}};

const std::string kGarbage = "Bluetooth list? no: just some words\n\x01\x02\x03";
const std::string kBinary = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe\x00\x10", 20);
// Declares UTF-8 but holds the name in code page 936, as another editor would save it.
const std::string kWrongEncoding = EncodeCp936(
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<HEAD><Bluetooth_Config><Ver>1</Ver>"
    u"<BtDevice><Bluetooth_Name>基站一号</Bluetooth_Name></BtDevice>"
    u"</Bluetooth_Config></HEAD>");
const std::string kUndeclaredCp936 = EncodeCp936(
    u"<HEAD><Bluetooth_Config><Ver>1.0.1.1</Ver><BtDevice><Bluetooth_Name>基站一号"
    u"</Bluetooth_Name><Bluetooth_Address>00126f0a1b2c</Bluetooth_Address><Bluetooth_PIN>0000"
    u"</Bluetooth_PIN></BtDevice></Bluetooth_Config></HEAD>");
const std::string kSecondRoot = ListBytes(kStored) + "<HEAD><Bluetooth_Config/></HEAD>";

fs::path List(const fs::path& f, const std::string& bytes) {
    return Write(f / "Bluetooth.cfg", bytes);
}

fs::path ReadOnly(const fs::path& path, const fs::path& what) {
    ::chmod(what.c_str(), 0555);
    return path;
}

struct FileCase {
    const char* name;
    std::function<fs::path(const fs::path& folder)> setUp; // returns the list's path
    Op opening;
    Damage damage;
    int saveErrno; // 0: the save succeeds and the file (through any link) holds the new list
    std::vector<std::string> copies; // beside the file, each holding the bytes it had
};

// clang-format off
const FileCase kFileCases[] = {
    {"garbage", [](auto& f) { return List(f, kGarbage); }, Op::KeptAside, Damage::NotAList, 0,
     {"Bluetooth.cfg.bak"}},
    {"binary", [](auto& f) { return List(f, kBinary); }, Op::KeptAside, Damage::NotAList, 0,
     {"Bluetooth.cfg.bak"}},
    {"wrong encoding", [](auto& f) { return List(f, kWrongEncoding); }, Op::KeptAside,
     Damage::Incomplete, 0, {"Bluetooth.cfg.bak"}},
    {"second root", [](auto& f) { return List(f, kSecondRoot); }, Op::KeptAside,
     Damage::Incomplete, 0, {"Bluetooth.cfg.bak"}},
    {"earlier copy kept", [](auto& f) { Write(f / "Bluetooth.cfg.bak", "older"); return List(f, kGarbage); },
     Op::KeptAside, Damage::NotAList, 0, {"Bluetooth.cfg.bak.1"}},
    {"identical copy there", [](auto& f) { Write(f / "Bluetooth.cfg.bak", kGarbage); return List(f, kGarbage); },
     Op::AlreadyKept, Damage::NotAList, 0, {"Bluetooth.cfg.bak"}},
    {"no copy possible", [](auto& f) { return ReadOnly(List(f, kGarbage), f); }, Op::Protected,
     Damage::NotAList, EACCES, {}},
    {"undeclared code page 936", [](auto& f) { return List(f, kUndeclaredCp936); }, Op::Read,
     Damage::None, 0, {}},
    {"symlink", [](auto& f) {
         Write(f / "dotfiles" / "Bluetooth.cfg", ListBytes(kStored));
         fs::create_directories(f / "config");
         fs::create_symlink("../dotfiles/Bluetooth.cfg", f / "config" / "Bluetooth.cfg");
         return f / "config" / "Bluetooth.cfg"; },
     Op::Read, Damage::None, 0, {}},
    {"read-only file", [](auto& f) { return ReadOnly(List(f, ListBytes(kStored)), f / "Bluetooth.cfg"); },
     Op::Read, Damage::None, EACCES, {}},
    {"read-only folder, writable file",
     [](auto& f) { return ReadOnly(List(f, ListBytes(kStored) + std::string(4000, '\n')), f); },
     Op::Read, Damage::None, 0, {}},
    {"parent is a file", [](auto& f) { return Write(f / "quorlex", "a file") / "Bluetooth.cfg"; },
     Op::Missing, Damage::None, ENOTDIR, {}},
};
// clang-format on

} // namespace

TEST(DeviceListFileCases, UnreadableFilesAreKeptAsideAndSavesAreCareful) {
    const fs::path root =
        fs::temp_directory_path() / ("devicelistfile-" + std::to_string(::getpid()));
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root);
        const fs::path folder = root / "case";
        fs::create_directories(folder);
        const fs::path path = c.setUp(folder);
        const std::map<std::string, std::string> before = Files(folder);
        const bool wasLink = fs::is_symlink(path);
        const std::string original = fs::exists(path) ? Read(path) : "";
        struct stat old {};
        ::stat(path.c_str(), &old);

        DeviceListFile file(path);
        std::vector<KnownDevice> devices;
        Op opening{};
        bool saved = false;
        {
            Unprivileged scope(root);
            if (scope.Failed()) {
                GTEST_SKIP() << "running as root, but cannot act as an unprivileged user in "
                             << root;
            }
            opening = file.Open(devices);
            saved = file.Save(kNew);
        }
        ::chmod(folder.c_str(), 0755);

        EXPECT_EQ(opening, c.opening);
        EXPECT_EQ(file.Damage(), c.damage);
        EXPECT_EQ(saved, c.saveErrno == 0);
        EXPECT_EQ(file.Error().number, c.saveErrno) << ToUtf8(file.Error().what);
        if (c.opening == Op::Read) {
            EXPECT_EQ(devices, kStored);
        }
        EXPECT_EQ(fs::is_symlink(path), wasLink);
        std::map<std::string, std::string> expected = before;
        for (const std::string& copy : c.copies) {
            expected[copy] = original;
            EXPECT_EQ(file.CopyPath(), path.parent_path() / copy);
        }
        if (saved) {
            const fs::path target = fs::canonical(path);
            expected[fs::relative(target, folder).string()] = ListBytes(kNew);
            struct stat now {};
            ::stat(target.c_str(), &now);
            EXPECT_EQ(now.st_mode & 07777, old.st_mode & 07777); // the mode is kept
        }
        // Nothing else appears, disappears or changes: no temporary files left.
        EXPECT_EQ(Files(folder), expected);
    }
    fs::remove_all(root);
}
