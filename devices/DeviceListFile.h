#pragma once

#include "common/FileStore.h"
#include "devices/KnownDevice.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// How the device list file was found when it was opened.
enum class DeviceListOpening {
    Read,        // the list came from the file, whole
    Missing,     // no file yet (or an empty one): the list starts empty
    KeptAside,   // the file did not read back whole; a copy was made at CopyPath()
    AlreadyKept, // the same, but an identical copy was there already
    Protected,   // it did not read back whole and no copy could be made: saves are refused
};

// Why a file did not read back whole.
enum class DeviceListDamage {
    None,
    Unopenable, // it exists but cannot be read at all
    NotAList,   // it reads, but not as a device list
    Incomplete, // a device list, but characters or structure were lost in reading
};

// The device list file of one opening of the device dialog. A file that
// does not read back whole is the surveyor's data all the same: a copy of it
// is kept beside it ("Bluetooth.cfg.bak", then ".bak.1", ...; an earlier copy
// is never overwritten) before a save may replace it, and while no copy can
// be made every save is refused.
class DeviceListFile {
public:
    explicit DeviceListFile(std::filesystem::path path) : path_(std::move(path)) {}

    // Reads the list into devices. devices is replaced when the file holds a
    // device list, also an incomplete one; otherwise it is left as it was.
    DeviceListOpening Open(std::vector<KnownDevice>& devices);

    // Writes the whole list. False when the save is refused (Protecting()) or
    // fails; Error() tells why.
    bool Save(const std::vector<KnownDevice>& devices);

    const std::filesystem::path& Path() const { return path_; }
    const std::filesystem::path& CopyPath() const { return copyPath_; }
    DeviceListDamage Damage() const { return damage_; }
    bool Protecting() const { return protecting_; }
    const FileError& Error() const { return error_; }

private:
    DeviceListOpening Examine(std::vector<KnownDevice>* devices);
    DeviceListOpening KeepAside(std::string_view bytes);
    std::filesystem::path CopyName(int n) const;

    std::filesystem::path path_;
    std::filesystem::path copyPath_;
    DeviceListDamage damage_ = DeviceListDamage::None;
    bool protecting_ = false;
    FileError error_;
};

// What the surveyor is told about an opening; empty when there is nothing to say.
std::u16string DeviceListOpeningText(const DeviceListFile& file, DeviceListOpening opening);
// What the surveyor is told when Save() returned false.
std::u16string DeviceListSaveFailedText(const DeviceListFile& file);

} // namespace quorlex
