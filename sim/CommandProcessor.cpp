#include "sim/CommandProcessor.h"

#include "common/Text.h"
#include "sim/CasterTable.h"
#include "sim/ReceiverKeys.h"
#include "sim/ReceiverState.h"

#include <algorithm>
#include <optional>

namespace quorlex {

namespace {

constexpr std::u16string_view kMountPointList = u"NETWORK.MOUNTPOINTLIST";

std::u16string Field(std::u16string_view text, int n) {
    std::u16string field;
    ExtractField(text, n, u',', field);
    return field;
}

std::size_t FieldCount(std::u16string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), u',')) + 1;
}

// Everything after the n-th comma; the value of a SET may itself hold commas.
std::optional<std::u16string_view> Rest(std::u16string_view text, int n) {
    std::size_t pos = 0;
    for (int i = 0; i < n; ++i) {
        pos = text.find(u',', pos);
        if (pos == std::u16string_view::npos) {
            return std::nullopt;
        }
        ++pos;
    }
    return text.substr(pos);
}

std::optional<int> SlotNumber(std::u16string_view text) {
    if (text.size() != 1 || text[0] < u'1' || text[0] > u'0' + ReceiverState::kSlotCount) {
        return std::nullopt;
    }
    return text[0] - u'0';
}

std::vector<ReplyLine> Refuse(int code, std::u16string_view command) {
    return {ErrorReply(code, command)};
}

} // namespace

std::vector<ReplyLine> CommandProcessor::Answer(std::u16string_view command) {
    const std::u16string verb = Field(command, 0);
    if (verb == u"GET") {
        return Get(command);
    }
    if (verb == u"SET") {
        return Set(command);
    }
    if (verb == u"COM") {
        return Com(command);
    }
    return Refuse(kErrorBadCommand, command);
}

std::vector<ReplyLine> CommandProcessor::Get(std::u16string_view command) {
    const std::u16string key = Field(command, 1);
    const std::size_t fields = FieldCount(command);
    if (key == u"ALL") {
        if (fields == 2) {
            return Burst(command, 0);
        }
        const std::optional<int> slot = SlotNumber(Field(command, 2));
        if (fields == 3 && slot) {
            return Burst(command, *slot);
        }
        return Refuse(kErrorBadParameter, command);
    }
    if (fields != 2) {
        return Refuse(kErrorBadParameter, command);
    }
    if (key == kMountPointList) {
        return MountPointList();
    }
    const std::optional<std::u16string> value = state_.Value(key);
    if (!value) {
        return Refuse(kErrorNoSuchNode, command);
    }
    return {KeyReply(key, *value)};
}

std::vector<ReplyLine> CommandProcessor::Set(std::u16string_view command) {
    const std::u16string key = Field(command, 1);
    if (key == u"CONFIG") {
        return SetConfigBracket(command);
    }
    if (key == u"DEVICE.CUR_CONFIG") {
        return SetCurrentConfig(command);
    }
    const std::optional<std::u16string_view> value = Rest(command, 2);
    if (!value) {
        return Refuse(kErrorBadParameter, command);
    }
    switch (state_.Set(key, *value)) {
    case ReceiverState::SetResult::Applied:
        return {Acknowledgement(command)};
    case ReceiverState::SetResult::UnknownKey:
        return Refuse(kErrorNoSuchNode, command);
    case ReceiverState::SetResult::ReadOnly:
        return Refuse(kErrorNotSupported, command);
    case ReceiverState::SetResult::BadValue:
        break;
    }
    return Refuse(kErrorBadParameter, command);
}

std::vector<ReplyLine> CommandProcessor::SetConfigBracket(std::u16string_view command) {
    const std::optional<int> slot = SlotNumber(Field(command, 2));
    const std::u16string phase = Field(command, 3);
    bool done = false;
    if (slot && FieldCount(command) == 4) {
        if (phase == u"START") {
            done = state_.BeginSlot(*slot);
        } else if (phase == u"END") {
            done = state_.EndSlot(*slot);
        }
    }
    if (!done) {
        return Refuse(kErrorBadParameter, command);
    }
    return {Acknowledgement(command)};
}

std::vector<ReplyLine> CommandProcessor::SetCurrentConfig(std::u16string_view command) {
    const std::optional<int> slot = SlotNumber(Field(command, 2));
    if (FieldCount(command) != 3 || !slot || !state_.UseSlot(*slot)) {
        return Refuse(kErrorBadParameter, command);
    }
    return {Acknowledgement(command)};
}

std::vector<ReplyLine> CommandProcessor::Com(std::u16string_view command) {
    const std::optional<std::u16string_view> baud = Rest(command, 1);
    if (!baud || !state_.SetFivePinBaud(*baud)) {
        return Refuse(kErrorBadParameter, command);
    }
    return {Acknowledgement(command)};
}

std::vector<ReplyLine> CommandProcessor::Burst(std::u16string_view command, int slot) {
    const auto values = state_.BurstValues(slot);
    std::vector<ReplyLine> lines;
    const auto keys = ReceiverKeys();
    lines.reserve(keys.size() + 1);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        lines.push_back(KeyReply(keys[i].name, (*values)[i]));
    }
    lines.push_back(Acknowledgement(command));
    return lines;
}

std::vector<ReplyLine> CommandProcessor::MountPointList() const {
    const std::u16string prefix = u"GNSS,GET," + std::u16string(kMountPointList);
    std::vector<ReplyLine> lines{{prefix + u",START", true}};
    // A caster that refuses gives the receiver no names to report.
    if (state_.Caster() != CasterForm::Refusing) {
        for (const std::u16string& name : CasterTable::MountPoints(state_.CasterStreams())) {
            lines.push_back({u"GNSS,GET,NETWORK.MOUNTPOINTLI,OK," + name, true});
        }
    }
    lines.push_back({prefix + u",END", true});
    const auto host = state_.Value(u"NETWORK.ADDR");
    const auto port = state_.Value(u"NETWORK.PORT");
    for (const std::u16string& text :
         CasterTable::Response(state_.Caster(), *host, *port, state_.CasterStreams())) {
        lines.push_back(RawLine(text));
    }
    return lines;
}

} // namespace quorlex
