#include "radio/CWorkSetDafaultUHFDlg.h"

#include "channel/ReceiverControl.h"
#include "common/Numbers.h"
#include "settings/CProgressDlg.h"
#include "settings/SettingsWindowSlot.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kChannelDefaultsTemplate = 208;
constexpr int kTransmitButton = 1006;
constexpr int kReceiveButton = 1007;
constexpr int kRestoreButton = 1033;
// Edit ids by channel, channel 1 first.
constexpr std::array<int, kRadioChannelCount> kFrequencyEdits{
    1053, 1054, 1009, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1010, 1062, 1063, 1064, 1065, 1066,
};

} // namespace

CWorkSetDafaultUHFDlg::CWorkSetDafaultUHFDlg(ReceiverControl& control,
                                             SettingsWindowSlot& settingsWindow, QWidget* parent)
    : Dialog(kChannelDefaultsTemplate, parent), control_(control), settingsWindow_(settingsWindow) {
}

void CWorkSetDafaultUHFDlg::DoDataExchange(DataExchange& dx) {
    DdxRadio(dx, kTransmitButton, direction);
    for (size_t i = 0; i < kFrequencyEdits.size(); ++i) {
        DdxText(dx, kFrequencyEdits[i], frequencyText[i]);
    }
}

bool CWorkSetDafaultUHFDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    direction = kTransmitTable;
    ShowTable();
    UpdateData(false);
    return true;
}

void CWorkSetDafaultUHFDlg::ShowTable() {
    const FrequencyTable& table = ChannelTableOf(datalink, direction);
    for (size_t i = 0; i < table.size(); ++i) {
        frequencyText[i] = FormatFixed(table[i], 3);
    }
}

void CWorkSetDafaultUHFDlg::ParseShownTable() {
    FrequencyTable& table = ChannelTableOf(datalink, direction);
    for (size_t i = 0; i < table.size(); ++i) {
        table[i] = ParseTableFrequency(frequencyText[i]);
    }
}

void CWorkSetDafaultUHFDlg::OnCommand(int id, Notification code) {
    if (code == Notification::Clicked && (id == kTransmitButton || id == kReceiveButton)) {
        SwitchTable();
    } else if (code == Notification::Clicked && id == kRestoreButton) {
        RestoreDefaults();
    } else {
        Dialog::OnCommand(id, code);
    }
}

// The texts go into the table they were shown for before the other one is shown.
void CWorkSetDafaultUHFDlg::SwitchTable() {
    const int shown = direction;
    UpdateData(true);
    const int chosen = direction;
    direction = shown;
    if (chosen == shown || chosen < 0) {
        return;
    }
    ParseShownTable();
    direction = chosen;
    ShowTable();
    UpdateData(false);
}

// Only the texts change; a table takes them when switching or sending.
void CWorkSetDafaultUHFDlg::RestoreDefaults() {
    UpdateData(true);
    for (size_t i = 0; i < frequencyText.size(); ++i) {
        frequencyText[i] = kDefaultChannelFrequencies[i];
    }
    UpdateData(false);
}

// "设置": the table shown goes out whole, then the record is read back so the
// settings dialog can show it. The dialog stays open.
void CWorkSetDafaultUHFDlg::OnOK() {
    UpdateData(true);
    ParseShownTable();
    CProgressDlg progress([this](ProgressTarget& target) { control_.SetProgressTarget(&target); },
                          this);
    control_.SetProgressTarget(&progress);
    control_.ClearCommands();
    for (const CommandItem& item :
         BuildChannelTableCommands(direction, ChannelTableOf(datalink, direction))) {
        control_.AddCommand(item);
    }
    control_.StartBatch(u"开始设置");
    if (progress.DoModal() == kIdOk) {
        settingsWindow_.SendRefresh();
    }
    control_.SetProgressTarget(nullptr);
    UpdateData(false);
}

} // namespace quorlex
