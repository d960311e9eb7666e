#include "devices/DeviceList.h"

#include "xml/XmlDocument.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace quorlex {

namespace {

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::u16string_view kVersion = u"1.0.1.1";

// Fields missing from an entry keep what the entry before it held.
void ReadField(XmlDocument& doc, std::u16string_view element, std::u16string& field) {
    if (doc.FindChildElement(element)) {
        field = doc.GetChildData();
    }
}

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    std::string buffer(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return ".";
}

} // namespace

bool LoadDeviceList(const std::filesystem::path& path, std::vector<KnownDevice>& devices) {
    XmlDocument doc;
    if (!doc.LoadFile(path)) {
        return false;
    }
    if (!doc.FindElement(u"HEAD") || !doc.EnterElement() || !doc.FindElement(u"Bluetooth_Config") ||
        !doc.EnterElement()) {
        return false;
    }
    // Any version text is accepted; BtDevice entries are read from after Ver.
    if (doc.FindElement(u"Ver")) {
        doc.GetElementData();
    }
    devices.clear();
    KnownDevice entry;
    while (doc.FindElement(u"BtDevice")) {
        ReadField(doc, u"Bluetooth_Name", entry.name);
        ReadField(doc, u"Bluetooth_Address", entry.address);
        ReadField(doc, u"Bluetooth_PIN", entry.pin);
        devices.push_back(entry);
    }
    return true;
}

bool SaveDeviceList(const std::filesystem::path& path, const std::vector<KnownDevice>& devices) {
    XmlDocument doc;
    doc.SetDocument(kDeclaration); // holds no element yet, so it reports no root
    doc.AddElement(u"HEAD");
    doc.EnterElement();
    doc.AddElement(u"Bluetooth_Config");
    doc.EnterElement();
    doc.AddElement(u"Ver", kVersion);
    for (const KnownDevice& device : devices) {
        doc.AddElement(u"BtDevice");
        doc.AddChildElement(u"Bluetooth_Name", device.name);
        doc.AddChildElement(u"Bluetooth_Address", device.address);
        doc.AddChildElement(u"Bluetooth_PIN", device.pin);
    }
    if (path.has_parent_path()) {
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
    }
    return doc.SaveFile(path);
}

std::filesystem::path DeviceListPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path folder = (config != nullptr && config[0] == '/')
                                             ? std::filesystem::path(config)
                                             : HomeFolder() / ".config";
    return folder / "quorlex" / "Bluetooth.cfg";
}

} // namespace quorlex
