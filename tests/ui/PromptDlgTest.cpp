#include "devices/CCommunicatePINDlg.h"
#include "settings/CSaveOtherTipDlg.h"
#include "settings/CSaveTipDlg.h"
#include "tests/ui/ModalDriver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace quorlex {
namespace {

TEST(SaveTipDlgTest, ShowsTheSlotAndPreselectsApplyAndSave) {
    CSaveTipDlg dialog;
    dialog.slotNumber = 5;
    const int result = RunModal(dialog, [&] {
        EXPECT_EQ(dialog.GetDlgItemText(1049), u"对配置5");
        EXPECT_TRUE(dialog.DlgItem<QRadioButton>(1006)->isChecked());
        EXPECT_EQ(dialog.GetDlgItemText(1006), u"立即应用并保存配置");
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.saveChoice, 0);
}

TEST(SaveTipDlgTest, ReturnsTheChosenAction) {
    CSaveTipDlg saveOnly;
    saveOnly.slotNumber = 2;
    RunModal(saveOnly, [&] {
        saveOnly.DlgItem<QRadioButton>(1007)->click();
        Click(saveOnly, kIdOk);
    });
    EXPECT_EQ(saveOnly.saveChoice, 2);

    CSaveTipDlg cancelled;
    const int result = RunModal(cancelled, [&] {
        cancelled.DlgItem<QRadioButton>(1047)->click();
        Click(cancelled, kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(cancelled.saveChoice, 0);
}

TEST(SaveOtherTipDlgTest, SlotComboIsEnabledOnlyForApplyAndSaveAs) {
    CSaveOtherTipDlg dialog;
    const int result = RunModal(dialog, [&] {
        auto* combo = dialog.DlgItem<QComboBox>(1048);
        EXPECT_FALSE(combo->isEnabled());
        EXPECT_EQ(combo->currentText(), QStringLiteral("配置1"));
        EXPECT_TRUE(dialog.DlgItem<QRadioButton>(1006)->isChecked());
        // Clicking the already chosen first choice keeps it disabled.
        dialog.DlgItem<QRadioButton>(1006)->click();
        EXPECT_FALSE(combo->isEnabled());
        dialog.DlgItem<QRadioButton>(1047)->click();
        EXPECT_TRUE(combo->isEnabled());
        combo->setCurrentIndex(3);
        dialog.DlgItem<QRadioButton>(1006)->click();
        EXPECT_FALSE(combo->isEnabled());
        Click(dialog, kIdOk);
    });
    // The caller sees choice 0 and leaves the slot alone.
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.saveChoice, 0);
    EXPECT_EQ(dialog.slotIndex, 3);
}

TEST(SaveOtherTipDlgTest, ApplyAndSaveAsReturnsTheSlotIndex) {
    CSaveOtherTipDlg dialog;
    RunModal(dialog, [&] {
        dialog.DlgItem<QRadioButton>(1047)->click();
        dialog.DlgItem<QComboBox>(1048)->setCurrentIndex(2);
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(dialog.saveChoice, 1);
    EXPECT_EQ(dialog.slotIndex, 2);

    CSaveOtherTipDlg cancelled;
    RunModal(cancelled, [&] {
        cancelled.DlgItem<QRadioButton>(1047)->click();
        cancelled.DlgItem<QComboBox>(1048)->setCurrentIndex(4);
        Click(cancelled, kIdCancel);
    });
    EXPECT_EQ(cancelled.saveChoice, 0);
    EXPECT_EQ(cancelled.slotIndex, 0);
}

TEST(CommunicatePINDlgTest, EditsThePinAndAcceptsEmptyText) {
    CCommunicatePINDlg dialog;
    dialog.pinText = u"7391";
    const int result = RunModal(dialog, [&] {
        auto* edit = dialog.DlgItem<QLineEdit>(1041);
        EXPECT_EQ(edit->text(), QStringLiteral("7391"));
        EXPECT_EQ(dialog.GetDlgItem(kIdCancel), nullptr); // only "确定"
        edit->clear();
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.pinText, u"");

    CCommunicatePINDlg changed;
    RunModal(changed, [&] {
        changed.DlgItem<QLineEdit>(1041)->setText(QStringLiteral("12:34 密码"));
        Click(changed, kIdOk);
    });
    EXPECT_EQ(changed.pinText, u"12:34 密码");
}

TEST(CommunicatePINDlgTest, ClosingWithoutOkKeepsThePin) {
    CCommunicatePINDlg dialog;
    dialog.pinText = u"1234";
    const int result = RunModal(dialog, [&] {
        dialog.DlgItem<QLineEdit>(1041)->setText(QStringLiteral("9999"));
        dialog.close(); // the title bar's close button
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dialog.pinText, u"1234");
}

} // namespace
} // namespace quorlex
