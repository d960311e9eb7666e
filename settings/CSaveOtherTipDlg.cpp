#include "settings/CSaveOtherTipDlg.h"

#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kSaveOtherTipTemplate = 206;
constexpr int kApplyOnly = 1006;
constexpr int kApplyAndSave = 1047;
constexpr int kSlotCombo = 1048;

} // namespace

CSaveOtherTipDlg::CSaveOtherTipDlg(QWidget* parent) : Dialog(kSaveOtherTipTemplate, parent) {}

void CSaveOtherTipDlg::DoDataExchange(DataExchange& dx) {
    DdxRadio(dx, kApplyOnly, saveChoice);
    DdxComboIndex(dx, kSlotCombo, slotIndex);
}

void CSaveOtherTipDlg::OnCommand(int id, Notification code) {
    if (code == Notification::Clicked && (id == kApplyOnly || id == kApplyAndSave)) {
        // The slot matters only when saving.
        EnableDlgItem(kSlotCombo, id == kApplyAndSave);
        return;
    }
    Dialog::OnCommand(id, code);
}

} // namespace quorlex
