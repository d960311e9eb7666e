#include "settings/CSaveTipDlg.h"

#include "common/Format.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kSaveTipTemplate = 205;
constexpr int kSlotLabel = 1049;
constexpr int kFirstChoice = 1006;

} // namespace

CSaveTipDlg::CSaveTipDlg(QWidget* parent) : Dialog(kSaveTipTemplate, parent) {}

void CSaveTipDlg::DoDataExchange(DataExchange& dx) {
    DdxRadio(dx, kFirstChoice, saveChoice);
}

bool CSaveTipDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetDlgItemText(kSlotLabel, FormatText(u"对配置%d", {static_cast<int64_t>(slotNumber)}));
    return true;
}

} // namespace quorlex
