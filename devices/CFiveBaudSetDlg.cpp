#include "devices/CFiveBaudSetDlg.h"

#include "channel/ReceiverControl.h"
#include "model/CommandItem.h"
#include "settings/CProgressDlg.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kFiveBaudTemplate = 209;
constexpr int kBaudCombo = 1060;
constexpr std::u16string_view kRates[] = {u"4800",  u"9600",  u"19200",
                                          u"38400", u"57600", u"115200"};
constexpr std::u16string_view kUnknownRate = u"38400";

} // namespace

CFiveBaudSetDlg::CFiveBaudSetDlg(ReceiverControl& control, QWidget* parent)
    : Dialog(kFiveBaudTemplate, parent), control_(control) {}

void CFiveBaudSetDlg::DoDataExchange(DataExchange& dx) {
    DdxText(dx, kBaudCombo, baudText);
}

bool CFiveBaudSetDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ResetComboContent(kBaudCombo);
    for (const std::u16string_view rate : kRates) {
        AddComboString(kBaudCombo, rate);
    }
    if (baudText.empty()) {
        baudText = kUnknownRate;
    }
    UpdateData(false);
    return true;
}

// "设置": the rate goes out exactly as shown; whether it is one is the receiver's affair.
void CFiveBaudSetDlg::OnOK() {
    UpdateData(true);
    CProgressDlg progress([this](ProgressTarget& target) { control_.SetProgressTarget(&target); },
                          this);
    control_.SetProgressTarget(&progress);
    control_.ClearCommands();
    control_.AddCommand(MakeCommandItem(FormatText(u"COM,%s", {std::u16string_view(baudText)}),
                                        u"更改五芯口波特率"));
    control_.StartBatch(u"开始设置");
    progress.DoModal();
    control_.SetProgressTarget(nullptr);
}

} // namespace quorlex
