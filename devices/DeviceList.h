#pragma once

#include "common/FileStore.h"
#include "devices/KnownDevice.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quorlex {

class XmlDocument;

// The known-receivers file "Bluetooth.cfg":
//   HEAD / Bluetooth_Config / Ver "1.0.1.1", then one BtDevice per receiver
//   holding Bluetooth_Name, Bluetooth_Address and Bluetooth_PIN, and for a
//   receiver not reached over Bluetooth a fourth child Link_Kind ("tcp",
//   "serial") with its location in Bluetooth_Address. A list of Bluetooth
//   receivers only is written exactly as before there were other kinds.

// Replaces devices with the file's entries. False, leaving devices as they
// were, when the file cannot be read or lacks HEAD or Bluetooth_Config.
bool LoadDeviceList(const std::filesystem::path& path, std::vector<KnownDevice>& devices);
// The same from a document already loaded.
bool ReadDeviceList(XmlDocument& doc, std::vector<KnownDevice>& devices);

// Writes the whole list, creating the file's folder when needed.
bool SaveDeviceList(const std::filesystem::path& path, const std::vector<KnownDevice>& devices);
bool SaveDeviceList(const std::filesystem::path& path, const std::vector<KnownDevice>& devices,
                    FileError& error);

// The document the list is saved as, exactly as the engine's element-adding
// operations lay it out, built in one pass.
std::u16string DeviceListText(const std::vector<KnownDevice>& devices);

// $XDG_CONFIG_HOME/quorlex/Bluetooth.cfg, or ~/.config/quorlex/Bluetooth.cfg
// when that variable is unset or not an absolute path.
std::filesystem::path DeviceListPath();

} // namespace quorlex
