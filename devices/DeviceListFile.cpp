#include "devices/DeviceListFile.h"

#include "common/CodePage.h"
#include "common/Format.h"
#include "devices/DeviceList.h"
#include "xml/XmlDocument.h"
#include "xml/XmlFileEncoder.h"

#include <array>
#include <cerrno>

namespace quorlex {

namespace {

// Copies beside the file before the search for a free name gives up.
constexpr int kMaxCopies = 100;

// Reading lost nothing when the text gives the file's bytes back, in the
// encoding the file was read in or, for a file that declares none and is not
// UTF-8, in code page 936. Any encoding that gives them back proves it.
bool ReadsBackWhole(const XmlDocument& doc, std::string_view bytes) {
    XmlResultLog scratch;
    if (EncodeXmlFile(doc.GetDocument(), doc.GetDocFlags(), scratch).bytes == bytes) {
        return true;
    }
    return EncodeCp936(doc.GetDocument()) == bytes;
}

// The parse had to repair the document (unended or stray tags, a second
// root, broken markup): entries may have been lost or misread.
bool ParsedCleanly(const XmlDocument& doc) {
    static constexpr std::array<std::u16string_view, 4> kRepairs = {
        u"<unended_start_tag", u"<lone_end_tag", u"<root_has_sibling", u"_syntax"};
    const std::u16string& log = doc.GetResult();
    for (const std::u16string_view repair : kRepairs) {
        if (log.find(repair) != std::u16string::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

DeviceListOpening DeviceListFile::Open(std::vector<KnownDevice>& devices) {
    return Examine(&devices);
}

bool DeviceListFile::Save(const std::vector<KnownDevice>& devices) {
    // The file that could not be kept aside may have become readable, or gone, since.
    if (protecting_ && Examine(nullptr) == DeviceListOpening::Protected) {
        return false;
    }
    error_ = {};
    return SaveDeviceList(path_, devices, error_);
}

DeviceListOpening DeviceListFile::Examine(std::vector<KnownDevice>* devices) {
    damage_ = DeviceListDamage::None;
    protecting_ = false;
    copyPath_.clear();
    error_ = {};
    std::string bytes;
    FileError error;
    if (!ReadWholeFile(path_, bytes, error)) {
        if (error.number == ENOENT || error.number == ENOTDIR) {
            return DeviceListOpening::Missing;
        }
        damage_ = DeviceListDamage::Unopenable;
        protecting_ = true;
        error_ = error;
        return DeviceListOpening::Protected;
    }
    if (bytes.empty()) {
        return DeviceListOpening::Missing; // nothing in it to lose
    }
    XmlDocument doc;
    doc.LoadBytes(bytes);
    std::vector<KnownDevice> read;
    if (!ReadDeviceList(doc, read)) {
        damage_ = DeviceListDamage::NotAList;
    } else {
        if (!ParsedCleanly(doc) || !ReadsBackWhole(doc, bytes)) {
            damage_ = DeviceListDamage::Incomplete;
        }
        if (devices != nullptr) {
            *devices = std::move(read);
        }
    }
    if (damage_ == DeviceListDamage::None) {
        return DeviceListOpening::Read;
    }
    return KeepAside(bytes);
}

DeviceListOpening DeviceListFile::KeepAside(std::string_view bytes) {
    for (int n = 0; n < kMaxCopies; ++n) {
        const std::filesystem::path candidate = CopyName(n);
        std::string existing;
        FileError error;
        if (ReadWholeFile(candidate, existing, error)) {
            if (existing == bytes) {
                copyPath_ = candidate;
                return DeviceListOpening::AlreadyKept;
            }
            continue;
        }
        if (error.number != ENOENT) {
            continue; // something else by that name: not ours to replace
        }
        if (WriteNewFile(candidate, bytes, error)) {
            copyPath_ = candidate;
            return DeviceListOpening::KeptAside;
        }
        if (error.number != EEXIST) {
            error_ = error;
            protecting_ = true;
            return DeviceListOpening::Protected;
        }
    }
    error_ = {u"no free name for a copy", EEXIST};
    protecting_ = true;
    return DeviceListOpening::Protected;
}

std::filesystem::path DeviceListFile::CopyName(int n) const {
    std::filesystem::path name = path_;
    name += ".bak";
    if (n > 0) {
        name += '.';
        name += std::to_string(n);
    }
    return name;
}

std::u16string DeviceListOpeningText(const DeviceListFile& file, DeviceListOpening opening) {
    const std::u16string path = PathText(file.Path());
    const std::u16string copy = PathText(file.CopyPath());
    if (opening == DeviceListOpening::Protected) {
        const std::u16string reason = FileErrorText(file.Error());
        return FormatText(u"设备列表文件\n%s\n无法读取，也无法备份。\n原因：%s\n"
                          u"为保护原文件，对设备列表的更改将不会保存。",
                          {std::u16string_view(path), std::u16string_view(reason)});
    }
    if (opening != DeviceListOpening::KeptAside) {
        return {};
    }
    const std::u16string_view what = file.Damage() == DeviceListDamage::NotAList
                                         ? u"不是有效的设备列表，无法读取。"
                                         : u"无法完整读取，列表中的内容可能有误。";
    return FormatText(u"设备列表文件\n%s\n%s\n原文件已备份为：\n%s",
                      {std::u16string_view(path), what, std::u16string_view(copy)});
}

std::u16string DeviceListSaveFailedText(const DeviceListFile& file) {
    if (file.Protecting()) {
        return DeviceListOpeningText(file, DeviceListOpening::Protected);
    }
    const std::u16string path = PathText(file.Path());
    const std::u16string reason = FileErrorText(file.Error());
    return FormatText(u"无法保存设备列表文件：\n%s\n原因：%s",
                      {std::u16string_view(path), std::u16string_view(reason)});
}

} // namespace quorlex
