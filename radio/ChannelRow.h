#pragma once

#include "radio/ChannelTable.h"

#include <cstdint>
#include <string>

namespace quorlex {

class DataExchange;
class Dialog;

// A channel list with the frequency edit beside it, as the radio pages show
// them: a channel's frequency comes from its table, and only channel 8's may be typed.
class ChannelRow {
public:
    ChannelRow(int listId, int editId) : listId_(listId), editId_(editId) {}

    void Exchange(DataExchange& dx);
    // Fields for a block's 1-based channel; one the list does not offer
    // selects nothing, shows no table entry and locks the edit.
    void Show(Dialog& page, int32_t channel, const FrequencyTable& table);
    // The user chose a channel: its table entry replaces whatever was typed.
    void Choose(Dialog& page, const FrequencyTable& table);
    // The 1-based channel to store; the block's own while nothing is selected.
    int32_t Channel(int32_t stored) const;
    // A typed channel-8 frequency into table. A refused one leaves the entry,
    // warns and puts the focus on the edit; returns false then.
    bool StoreFrequency(Dialog& page, FrequencyTable& table) const;

    int ListId() const { return listId_; }
    int index = -1; // selection of the channel list
    std::u16string frequencyText;

private:
    void ShowEntry(Dialog& page, const FrequencyTable& table);

    int listId_;
    int editId_;
};

// "1" to "16", list index = channel - 1.
void FillChannelList(Dialog& page, int listId);
// The protocol names in list order.
void FillProtocolList(Dialog& page, int listId);

} // namespace quorlex
