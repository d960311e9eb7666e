#include "sim/ReceiverState.h"

#include "sim/CasterTable.h"
#include "sim/ReceiverKeys.h"

namespace quorlex {

namespace {

constexpr std::u16string_view kSysMode = u"DEVICE.SYS_MODE";
constexpr std::u16string_view kDatalink = u"DEVICE.CUR_DATALINK";
constexpr std::u16string_view kNetworkStatus = u"NETWORK.STATUS";
constexpr std::u16string_view kExternalBaud = u"EXTERNAL.BAUD";

struct ModeWord {
    std::u16string_view word;
    std::u16string_view datalink;
    // Network module state while in this mode: connected to the caster or off.
    std::u16string_view networkStatus;
};

constexpr std::array<ModeWord, 4> kModes{{
    {u"UHF", u"UHF", u"440"},
    {u"NETRELAY", u"NETWORK", u"435"},
    {u"UHFRELAY", u"UHF", u"440"},
    {u"NETBASE", u"NETWORK", u"435"},
}};

constexpr std::array<std::u16string_view, 11> kBaudRates{
    u"1200",  u"2400",   u"4800",   u"9600",   u"19200",  u"38400",
    u"57600", u"115200", u"230400", u"460800", u"921600",
};

std::size_t IndexOf(std::u16string_view key) {
    return *FindReceiverKey(key);
}

bool IsSetting(std::size_t index) {
    return ReceiverKeys()[index].kind == KeyKind::Setting;
}

} // namespace

int WorkingModeOf(std::u16string_view sysMode) {
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        if (kModes[i].word == sysMode) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

ReceiverState::ReceiverState() : casterStreams_(CasterTable::DefaultStreams()) {
    for (const ReceiverKey& key : ReceiverKeys()) {
        live_.emplace_back(key.factoryValue);
    }
    slots_.fill(live_);
}

std::optional<std::u16string> ReceiverState::Value(std::u16string_view key) const {
    const auto index = FindReceiverKey(key);
    if (!index) {
        return std::nullopt;
    }
    return live_[*index];
}

bool ReceiverState::Override(std::u16string_view key, std::u16string_view value) {
    const auto index = FindReceiverKey(key);
    if (!index) {
        return false;
    }
    live_[*index] = value;
    return true;
}

ReceiverState::SetResult ReceiverState::Set(std::u16string_view key, std::u16string_view value) {
    const auto index = FindReceiverKey(key);
    if (!index) {
        return SetResult::UnknownKey;
    }
    if (!IsSetting(*index)) {
        return SetResult::ReadOnly;
    }
    if (key == kSysMode && WorkingModeOf(value) < 0) {
        return SetResult::BadValue;
    }
    if (openSlot_ != 0) {
        ApplySetting(bracket_, *index, value);
        return SetResult::Applied;
    }
    ApplySetting(live_, *index, value);
    RefreshNetworkStatus();
    return SetResult::Applied;
}

void ReceiverState::ApplySetting(Values& values, std::size_t index, std::u16string_view value) {
    values[index] = value;
    const int mode = ReceiverKeys()[index].name == kSysMode ? WorkingModeOf(value) : -1;
    if (mode >= 0) {
        values[IndexOf(kDatalink)] = kModes[mode].datalink;
    }
}

void ReceiverState::RefreshNetworkStatus() {
    const int mode = WorkingModeOf(live_[IndexOf(kSysMode)]);
    if (mode >= 0) {
        live_[IndexOf(kNetworkStatus)] = kModes[mode].networkStatus;
    }
}

bool ReceiverState::BeginSlot(int slot) {
    if (!ValidSlot(slot)) {
        return false;
    }
    // A second START abandons the earlier, unfinished bracket.
    bracket_ = live_;
    openSlot_ = slot;
    return true;
}

bool ReceiverState::EndSlot(int slot) {
    if (!ValidSlot(slot) || (openSlot_ != 0 && openSlot_ != slot)) {
        return false;
    }
    if (openSlot_ == slot) {
        slots_[slot - 1] = bracket_;
        bracket_.clear();
        openSlot_ = 0;
    }
    return true;
}

bool ReceiverState::UseSlot(int slot) {
    if (!ValidSlot(slot)) {
        return false;
    }
    const Values& stored = slots_[slot - 1];
    for (std::size_t i = 0; i < live_.size(); ++i) {
        if (IsSetting(i)) {
            live_[i] = stored[i];
        }
    }
    currentSlot_ = slot;
    RefreshNetworkStatus();
    return true;
}

std::optional<std::u16string> ReceiverState::SlotValue(int slot, std::u16string_view key) const {
    const auto index = FindReceiverKey(key);
    if (!ValidSlot(slot) || !index || !IsSetting(*index)) {
        return std::nullopt;
    }
    return slots_[slot - 1][*index];
}

std::optional<std::vector<std::u16string>> ReceiverState::BurstValues(int slot) const {
    if (slot == 0) {
        return live_;
    }
    if (!ValidSlot(slot)) {
        return std::nullopt;
    }
    Values values = live_;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (IsSetting(i)) {
            values[i] = slots_[slot - 1][i];
        }
    }
    return values;
}

int ReceiverState::WorkingMode() const {
    return WorkingModeOf(live_[IndexOf(kSysMode)]);
}

bool ReceiverState::SetFivePinBaud(std::u16string_view baud) {
    for (std::u16string_view rate : kBaudRates) {
        if (rate == baud) {
            live_[IndexOf(kExternalBaud)] = baud;
            return true;
        }
    }
    return false;
}

std::u16string ReceiverState::FivePinBaud() const {
    return live_[IndexOf(kExternalBaud)];
}

} // namespace quorlex
