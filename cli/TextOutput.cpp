#include "cli/TextOutput.h"

#include "cli/Secrets.h"
#include "common/Text.h"

#include <algorithm>

namespace quorlex::cli {

namespace {
constexpr size_t kNameWidth = 32;
}

std::string AlignedLine(std::string_view name, std::string_view value) {
    std::string line(name);
    line.append(std::max<size_t>(kNameWidth, line.size() + 2) - line.size(), ' ');
    return line.append(value) + "\n";
}

std::string TextValue(const FieldDef& field, const std::optional<std::string>& value) {
    std::string shown = ShownValue(field, value);
    if (field.kind == FieldKind::Frequencies && value) {
        std::replace(shown.begin(), shown.end(), '|', ' ');
    }
    return shown;
}

std::string ReadText(const std::string& receiver, int slot, const ReceiverInfo& identity,
                     const ConfigFile& reported) {
    std::string text = AlignedLine("receiver", receiver);
    text += AlignedLine("configuration", slot == 0 ? "current" : "slot " + std::to_string(slot));
    text += AlignedLine("serial", ToUtf8(identity.device.serialNumber));
    text += AlignedLine("model", ToUtf8(identity.device.model));
    text += AlignedLine("hardware", ToUtf8(identity.device.hardwareVersion));
    text += AlignedLine("firmware", ToUtf8(identity.device.firmwareVersion));
    text += "\n";
    for (const FieldDef& field : ConfigFields()) {
        text += AlignedLine(field.path, TextValue(field, FieldText(field, reported)));
    }
    return text;
}

} // namespace quorlex::cli
