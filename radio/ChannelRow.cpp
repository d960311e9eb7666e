#include "radio/ChannelRow.h"

#include "common/Numbers.h"
#include "radio/RadioTables.h"
#include "ui/DataExchange.h"
#include "ui/Dialog.h"

#include <QWidget>

namespace quorlex {

void ChannelRow::Exchange(DataExchange& dx) {
    DdxComboIndex(dx, listId_, index);
    DdxText(dx, editId_, frequencyText);
}

void ChannelRow::Show(Dialog& page, int32_t channel, const FrequencyTable& table) {
    index = ChannelIndexOf(channel).value_or(-1);
    if (index >= 0) {
        ShowEntry(page, table);
    } else {
        page.EnableDlgItem(editId_, false);
    }
}

void ChannelRow::Choose(Dialog& page, const FrequencyTable& table) {
    if (index >= 0 && index < kRadioChannelCount) {
        ShowEntry(page, table);
    }
}

void ChannelRow::ShowEntry(Dialog& page, const FrequencyTable& table) {
    frequencyText = FormatFixed(table[static_cast<size_t>(index)], 3);
    page.EnableDlgItem(editId_, index == kTypedFrequencyChannelIndex);
}

int32_t ChannelRow::Channel(int32_t stored) const {
    return index >= 0 ? index + 1 : stored;
}

bool ChannelRow::StoreFrequency(Dialog& page, FrequencyTable& table) const {
    if (index != kTypedFrequencyChannelIndex) {
        return true;
    }
    if (const std::optional<double> mhz = CheckFrequencyText(frequencyText)) {
        table[kTypedFrequencyChannelIndex] = *mhz;
        return true;
    }
    page.MessageBox(kFrequencyRangeWarning);
    if (QWidget* edit = page.GetDlgItem(editId_)) {
        edit->setFocus();
    }
    return false;
}

void FillChannelList(Dialog& page, int listId) {
    page.ResetComboContent(listId);
    for (int channel = 1; channel <= kRadioChannelCount; ++channel) {
        page.AddComboString(listId, FormatInt(channel));
    }
}

void FillProtocolList(Dialog& page, int listId) {
    page.ResetComboContent(listId);
    for (const RadioProtocol& protocol : kRadioProtocols) {
        page.AddComboString(listId, protocol.name);
    }
}

} // namespace quorlex
