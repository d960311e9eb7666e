#pragma once

#include "sim/CasterTable.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorlex {

// The receiver's memory: the live value of every key, five stored
// configuration slots and the slot being edited between START and END.
// Not thread-safe; the simulator guards it.
class ReceiverState {
public:
    static constexpr int kSlotCount = 5;

    enum class SetResult { Applied, UnknownKey, ReadOnly, BadValue };

    ReceiverState();

    std::optional<std::u16string> Value(std::u16string_view key) const;
    // Any key, read-only ones included; no side effects. False for an unknown key.
    bool Override(std::u16string_view key, std::u16string_view value);
    // A SET command: goes to the open slot bracket if there is one, else live.
    SetResult Set(std::u16string_view key, std::u16string_view value);

    bool BeginSlot(int slot);
    // Stores the bracket's copy; false when the bracket is open on another
    // slot. Ending a slot with no bracket open changes nothing.
    bool EndSlot(int slot);
    // Loads a stored slot into the live configuration.
    bool UseSlot(int slot);
    int CurrentSlot() const { return currentSlot_; }
    int OpenSlot() const { return openSlot_; }
    std::optional<std::u16string> SlotValue(int slot, std::u16string_view key) const;

    // Values in burst order: live, or slot 1..5 (its settings, live for the rest).
    std::optional<std::vector<std::u16string>> BurstValues(int slot) const;

    int WorkingMode() const;
    bool SetFivePinBaud(std::u16string_view baud);
    std::u16string FivePinBaud() const;

    // The STR records of the caster the receiver's modem reaches.
    const std::vector<std::u16string>& CasterStreams() const { return casterStreams_; }
    void SetCasterStreams(std::vector<std::u16string> streams) {
        casterStreams_ = std::move(streams);
    }
    // How that caster answers.
    CasterForm Caster() const { return casterForm_; }
    void SetCaster(CasterForm form) { casterForm_ = form; }

private:
    using Values = std::vector<std::u16string>;

    static bool ValidSlot(int slot) { return slot >= 1 && slot <= kSlotCount; }
    // Settings that imply others (the datalink follows the system mode).
    static void ApplySetting(Values& values, std::size_t index, std::u16string_view value);
    void RefreshNetworkStatus();

    Values live_;
    std::array<Values, kSlotCount> slots_;
    Values bracket_;
    int openSlot_ = 0;
    int currentSlot_ = 0;
    std::vector<std::u16string> casterStreams_;
    CasterForm casterForm_ = CasterForm::Ntrip1;
};

// 0..3 for the four system mode words, -1 for anything else.
int WorkingModeOf(std::u16string_view sysMode);

} // namespace quorlex
