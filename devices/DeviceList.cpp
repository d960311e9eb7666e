#include "devices/DeviceList.h"

#include "xml/XmlDocument.h"
#include "xml/XmlEntities.h"
#include "xml/XmlFileEncoder.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace quorlex {

namespace {

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::u16string_view kVersion = u"1.0.1.1";
constexpr std::u16string_view kLineEnd = u"\r\n";
// What one entry adds besides its texts, to size the document up front.
constexpr size_t kEntryMarkup = 136;
// Receivers not reached over Bluetooth say so in a fourth child, after the
// three that every reader of the file takes.
constexpr std::u16string_view kKindElement = u"Link_Kind";
constexpr size_t kKindMarkup = 26;

// Fields missing from an entry keep what the entry before it held.
void ReadField(XmlDocument& doc, std::u16string_view element, std::u16string& field) {
    if (doc.FindChildElement(element)) {
        field = doc.GetChildData();
    }
}

void OpenElement(std::u16string_view name, std::u16string& text) {
    text += u'<';
    text += name;
    text += u'>';
    text += kLineEnd;
}

void CloseElement(std::u16string_view name, std::u16string& text) {
    text += u"</";
    text += name;
    text += u'>';
    text += kLineEnd;
}

// An element without text is written as an empty-element tag.
void AppendElement(std::u16string_view name, std::u16string_view data, std::u16string& text) {
    text += u'<';
    text += name;
    if (data.empty()) {
        text += u"/>";
    } else {
        text += u'>';
        AppendEscaped(data, text);
        text += u"</";
        text += name;
        text += u'>';
    }
    text += kLineEnd;
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
    return doc.LoadFile(path) && ReadDeviceList(doc, devices);
}

bool ReadDeviceList(XmlDocument& doc, std::vector<KnownDevice>& devices) {
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
        // Unlike the three fields, the kind is never carried over: an entry
        // without it is a Bluetooth receiver, as in every older file.
        entry.kind.clear();
        if (doc.FindChildElement(kKindElement)) {
            entry.kind = doc.GetChildData();
        }
        devices.push_back(entry);
    }
    return true;
}

bool SaveDeviceList(const std::filesystem::path& path, const std::vector<KnownDevice>& devices) {
    FileError error;
    return SaveDeviceList(path, devices, error);
}

bool SaveDeviceList(const std::filesystem::path& path, const std::vector<KnownDevice>& devices,
                    FileError& error) {
    XmlResultLog log;
    const XmlEncodedFile file = EncodeXmlFile(DeviceListText(devices), 0, log);
    return MakeParentFolders(path, error) && ReplaceFile(path, file.bytes, error);
}

// Adding each element through the engine splices it into the text and moves
// every later offset, which grows with the square of the list; the layout
// the engine gives is simple enough to write out directly.
std::u16string DeviceListText(const std::vector<KnownDevice>& devices) {
    size_t size = kDeclaration.size() + kEntryMarkup;
    for (const KnownDevice& device : devices) {
        size += device.name.size() + device.address.size() + device.pin.size() +
                device.kind.size() + kEntryMarkup + (device.kind.empty() ? 0 : kKindMarkup);
    }
    std::u16string text;
    text.reserve(size);
    text += kDeclaration;
    OpenElement(u"HEAD", text);
    OpenElement(u"Bluetooth_Config", text);
    AppendElement(u"Ver", kVersion, text);
    for (const KnownDevice& device : devices) {
        OpenElement(u"BtDevice", text);
        AppendElement(u"Bluetooth_Name", device.name, text);
        AppendElement(u"Bluetooth_Address", device.address, text);
        AppendElement(u"Bluetooth_PIN", device.pin, text);
        if (!device.kind.empty()) {
            AppendElement(kKindElement, device.kind, text);
        }
        CloseElement(u"BtDevice", text);
    }
    CloseElement(u"Bluetooth_Config", text);
    CloseElement(u"HEAD", text);
    return text;
}

std::filesystem::path DeviceListPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path folder = (config != nullptr && config[0] == '/')
                                             ? std::filesystem::path(config)
                                             : HomeFolder() / ".config";
    return folder / "quorlex" / "Bluetooth.cfg";
}

} // namespace quorlex
