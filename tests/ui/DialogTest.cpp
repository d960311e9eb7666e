#include "ui/Dialog.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "ui/DataExchange.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace quorlex {
namespace {

// Template 206: a radio group (1006, 1047) and a drop-down list (1048).
class ChoiceDialog : public Dialog {
public:
    ChoiceDialog() : Dialog(206) {}

    int choice = 1;
    int slot = 2;
    bool windowDuringInit = false;
    bool endDuringInit = false;

protected:
    void DoDataExchange(DataExchange& dx) override {
        DdxRadio(dx, 1006, choice);
        DdxComboIndex(dx, 1048, slot);
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        windowDuringInit = HasWindow();
        if (endDuringInit) {
            EndDialog(kIdOk);
        }
        return true;
    }
};

// Template 209: an editable combo box (1060); template 201: an edit (1041).
class TextDialog : public Dialog {
public:
    explicit TextDialog(int templateId, int textId, QWidget* parent = nullptr)
        : Dialog(templateId, parent), textId_(textId) {}

    std::u16string text;
    int number = 0;
    bool asNumber = false;

protected:
    void DoDataExchange(DataExchange& dx) override {
        if (asNumber) {
            DdxInt(dx, textId_, number);
        } else {
            DdxText(dx, textId_, text);
        }
    }

private:
    int textId_;
};

TEST(DialogTest, BuildsTheTemplateInDialogUnitsWithItsStyles) {
    Dialog dialog(135);
    RunModal(dialog, [&] {
        const DialogUnits& units = dialog.Units();
        EXPECT_EQ(dialog.width(), units.ToPixelsX(138));
        EXPECT_EQ(dialog.height(), units.ToPixelsY(153));
        QWidget* save = dialog.GetDlgItem(1036);
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(save->geometry(), units.ToPixels(1, 139, 68, 14));
        EXPECT_EQ(dialog.GetDlgItemText(1036), u"保存");
        // The combo box keeps its closed height; the template's height includes the list.
        QWidget* combo = dialog.GetDlgItem(1044);
        EXPECT_EQ(combo->geometry().topLeft(), units.ToPixels(74, 3, 63, 103).topLeft());
        EXPECT_LT(combo->height(), units.ToPixelsY(103));
        EXPECT_EQ(dynamic_cast<QComboBox*>(combo)->count(), 4);

        EXPECT_TRUE(dialog.GetDlgItem(1027)->isHidden());
        EXPECT_FALSE(dialog.GetDlgItem(1027)->isEnabled());
        EXPECT_FALSE(dialog.GetDlgItem(1034)->isHidden());
        EXPECT_TRUE(dialog.DlgItem<QPushButton>(1033)->isDefault());
        EXPECT_FALSE(dialog.DlgItem<QPushButton>(1034)->isDefault());
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置"));
        EXPECT_EQ(dialog.GetDlgItem(4242), nullptr);
        dialog.EndDialog(kIdOk);
    });
}

TEST(DialogTest, DialogUnitsRoundEdgesToTheNearestPixel) {
    const DialogUnits units(7, 19);
    EXPECT_EQ(units.ToPixelsX(5), 9);    // 8.75
    EXPECT_EQ(units.ToPixelsX(2), 4);    // 3.5 rounds up
    EXPECT_EQ(units.ToPixelsY(3), 7);    // 7.125
    EXPECT_EQ(units.ToPixelsY(-4), -10); // -9.5 rounds away from zero
    // Adjacent controls share their edge in pixels.
    const QRect left = units.ToPixels(5, 126, 43, 14);
    const QRect right = units.ToPixels(48, 126, 43, 14);
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(left.height(), units.ToPixelsY(140) - units.ToPixelsY(126));
}

TEST(DialogTest, UnitsFollowTheFont) {
    QFont small = QApplication::font();
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(20);
    const DialogUnits a = DialogUnits::FromFont(small);
    const DialogUnits b = DialogUnits::FromFont(large);
    EXPECT_EQ(a.BaseHeight(), QFontMetrics(small).height());
    EXPECT_GT(b.BaseWidth(), a.BaseWidth());
    EXPECT_GT(b.BaseHeight(), a.BaseHeight());
}

TEST(DialogTest, WindowExistsOnlyWhileTheDialogRuns) {
    ChoiceDialog dialog;
    EXPECT_FALSE(dialog.HasWindow());
    bool duringLoop = false;
    const int result = RunModal(dialog, [&] {
        duringLoop = dialog.HasWindow();
        dialog.EndDialog(kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(dialog.windowDuringInit);
    EXPECT_TRUE(duringLoop);
    EXPECT_FALSE(dialog.HasWindow());
}

TEST(DialogTest, EndingDuringInitialisationReturnsWithoutBlocking) {
    ChoiceDialog dialog;
    dialog.endDuringInit = true;
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_FALSE(dialog.HasWindow());
}

TEST(DialogTest, ExchangesRadioAndComboBothWays) {
    ChoiceDialog dialog;
    const int result = RunModal(dialog, [&] {
        // Fields into controls at initialisation.
        EXPECT_FALSE(dialog.DlgItem<QRadioButton>(1006)->isChecked());
        EXPECT_TRUE(dialog.DlgItem<QRadioButton>(1047)->isChecked());
        EXPECT_EQ(dialog.DlgItem<QComboBox>(1048)->currentIndex(), 2);
        dialog.DlgItem<QRadioButton>(1006)->click();
        EXPECT_FALSE(dialog.DlgItem<QRadioButton>(1047)->isChecked());
        dialog.DlgItem<QComboBox>(1048)->setCurrentIndex(4);
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.choice, 0);
    EXPECT_EQ(dialog.slot, 4);
}

TEST(DialogTest, NoChoiceClearsTheGroupAndReadsBackAsMinusOne) {
    ChoiceDialog dialog;
    dialog.choice = -1;
    dialog.slot = 9; // out of range: no selection
    RunModal(dialog, [&] {
        for (QAbstractButton* button : dialog.RadioGroup(1006)) {
            EXPECT_FALSE(button->isChecked());
        }
        EXPECT_EQ(dialog.RadioGroup(1006).size(), 2u);
        EXPECT_EQ(dialog.DlgItem<QComboBox>(1048)->currentIndex(), -1);
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(dialog.choice, -1);
    EXPECT_EQ(dialog.slot, -1);
}

TEST(DialogTest, CancelLeavesTheFieldsUnread) {
    ChoiceDialog dialog;
    const int result = RunModal(dialog, [&] {
        dialog.DlgItem<QRadioButton>(1006)->click();
        Click(dialog, kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dialog.choice, 1);
}

TEST(DialogTest, EscapeClosesWithCancel) {
    ChoiceDialog dialog;
    const int result = RunModal(dialog, [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST(DialogTest, ExchangesTextOfEditableComboAndEdit) {
    TextDialog combo(209, 1060);
    combo.text = u"1200";
    RunModal(combo, [&] {
        EXPECT_EQ(combo.DlgItem<QComboBox>(1060)->currentText(), QStringLiteral("1200"));
        combo.DlgItem<QComboBox>(1060)->setCurrentIndex(5);
        Click(combo, kIdOk);
    });
    EXPECT_EQ(combo.text, u"115200");

    TextDialog edit(201, 1041);
    edit.asNumber = true;
    edit.number = -17;
    RunModal(edit, [&] {
        EXPECT_EQ(edit.DlgItem<QLineEdit>(1041)->text(), QStringLiteral("-17"));
        edit.DlgItem<QLineEdit>(1041)->setText(QStringLiteral("42abc"));
        Click(edit, kIdOk);
    });
    EXPECT_EQ(edit.number, 42);
}

TEST(DialogTest, MessagesGoToThePromptsAndNestedDialogsInheritThem) {
    RecordingPrompts prompts;
    Dialog outer(136);
    outer.SetPrompts(prompts);
    TextDialog inner(201, 1041, &outer);
    EXPECT_EQ(&inner.Prompts(), &prompts);

    EXPECT_EQ(outer.MessageBox(u"没有选择蓝牙设备，请重新选择!"), kIdOk);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, u"没有选择蓝牙设备，请重新选择!");
    EXPECT_EQ(prompts.messages[0].caption, u"Warning");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);

    {
        WaitCursor wait(inner.Prompts());
        EXPECT_EQ(prompts.waitDepth, 1);
    }
    EXPECT_EQ(prompts.waitDepth, 0);
    EXPECT_EQ(prompts.waitCursorShown, 1);
}

TEST(DialogTest, NestedModalDialogIsAnsweredFromTheQueue) {
    Dialog outer(136);
    TextDialog inner(201, 1041, &outer);
    int innerResult = 0;
    const int outerResult = RunModal(outer, [&] {
        AnswerNextModal([&](QWidget& active) {
            EXPECT_EQ(&active, &inner);
            inner.DlgItem<QLineEdit>(1041)->setText(QStringLiteral("0000"));
            Click(inner, kIdOk);
        });
        innerResult = inner.DoModal();
        outer.EndDialog(kIdOk);
    });
    EXPECT_EQ(innerResult, kIdOk);
    EXPECT_EQ(inner.text, u"0000");
    EXPECT_EQ(outerResult, kIdOk);
}

TEST(DialogTest, UnknownTemplateGivesAnEmptyDialog) {
    Dialog dialog(4711);
    EXPECT_EQ(dialog.GetDlgItem(1), nullptr);
    dialog.SetDlgItemText(1, u"x");
    EXPECT_EQ(dialog.GetDlgItemText(1), u"");
    EXPECT_EQ(RunModal(dialog, [&] { dialog.EndDialog(kIdCancel); }), kIdCancel);
}

TEST(DialogTest, HiddenOrDisabledButtonsCannotBeClicked) {
    Dialog dialog(135);
    const int result = RunModal(dialog, [&] {
        EXPECT_FALSE(Click(dialog, 1027));
        dialog.ShowDlgItem(kIdOk, false);
        EXPECT_FALSE(Click(dialog, kIdOk));
        dialog.ShowDlgItem(kIdOk, true);
        dialog.EnableDlgItem(kIdOk, false);
        EXPECT_FALSE(Click(dialog, kIdOk));
        dialog.EnableDlgItem(kIdOk, true);
        EXPECT_TRUE(Click(dialog, kIdOk));
    });
    EXPECT_EQ(result, kIdOk);
}

} // namespace
} // namespace quorlex

namespace quorlex {
namespace {

TEST(DialogRelayoutTest, SwitchesBetweenPortraitAndLandscapeTemplates) {
    Dialog about(100);
    RunModal(about, [&] {
        about.SetDlgItemText(1046, u"编译日期: 170512");
        const QSize portrait = about.size();

        about.RelayoutFrom(200);
        EXPECT_EQ(about.width(), about.Units().ToPixelsX(180));
        EXPECT_EQ(about.height(), about.Units().ToPixelsY(110));
        EXPECT_TRUE(about.GetDlgItem(1046)->isHidden());
        ASSERT_NE(about.GetDlgItem(203), nullptr);
        EXPECT_FALSE(about.GetDlgItem(203)->isHidden());
        EXPECT_EQ(about.GetDlgItem(203)->geometry(), about.Units().ToPixels(38, 25, 130, 8));
        EXPECT_EQ(about.GetDlgItem(202)->geometry(), about.Units().ToPixels(38, 10, 130, 8));
        EXPECT_EQ(about.GetDlgItemText(202), u"Quorlex 1.0 版");
        EXPECT_EQ(about.GetDlgItem(kIdOk)->geometry(), about.Units().ToPixels(61, 88, 58, 14));

        about.RelayoutFrom(100);
        EXPECT_EQ(about.size(), portrait);
        EXPECT_TRUE(about.GetDlgItem(203)->isHidden());
        EXPECT_FALSE(about.GetDlgItem(1046)->isHidden());
        EXPECT_EQ(about.GetDlgItemText(1046), u"编译日期: 170512"); // set by code: kept
        EXPECT_EQ(about.GetDlgItemText(202), u"Quorlex 1.0 Bate");
        EXPECT_TRUE(Click(about, kIdOk));
    });
}

// A page: a dialog created as a child window of another widget.
TEST(DialogRelayoutTest, ModelessPageHasAWindowOnceCreated) {
    QWidget host;
    host.resize(400, 400);
    auto* page = new Dialog(201);
    EXPECT_FALSE(page->HasWindow());
    page->CreateModeless(&host);
    EXPECT_TRUE(page->HasWindow());
    EXPECT_EQ(page->parentWidget(), &host);
    EXPECT_FALSE(page->isWindow());
    EXPECT_NE(page->GetDlgItem(1041), nullptr);
}

TEST(DialogRelayoutTest, EscapeInAPageCancelsTheDialogHoldingIt) {
    Dialog outer(135);
    auto* page = new Dialog(201);
    const int result = RunModal(outer, [&] {
        page->CreateModeless(outer.GetDlgItem(1026));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(page->GetDlgItem(1041), &escape);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_FALSE(page->isHidden());
}

TEST(DialogComboTest, SortedComboKeepsItsItemsInOrder) {
    static constexpr ControlTemplate controls[] = {
        {7, ControlKind::DropDownList, 5, 5, 60, 60, u"", style::kSorted, u"Gamma\nalpha\nBeta"},
        {8, ControlKind::DropDown, 5, 30, 60, 60, u"", 0, u"4800\n9600"},
    };
    static constexpr DialogTemplate layout{900, u"", 100, 100, controls};
    Dialog dialog(layout);
    RunModal(dialog, [&] {
        auto* sorted = dialog.DlgItem<QComboBox>(7);
        ASSERT_NE(sorted, nullptr);
        EXPECT_EQ(sorted->itemText(0), QStringLiteral("alpha"));
        EXPECT_EQ(sorted->itemText(2), QStringLiteral("Gamma"));
        EXPECT_EQ(dialog.AddComboString(7, u"beta2"), 2);
        EXPECT_EQ(dialog.AddComboString(7, u"zeta"), 4);
        EXPECT_EQ(dialog.AddComboString(7, u"0"), 0);

        EXPECT_EQ(dialog.AddComboString(8, u"1200"), 2); // unsorted: appended
        dialog.ResetComboContent(8);
        EXPECT_EQ(dialog.DlgItem<QComboBox>(8)->count(), 0);
        EXPECT_EQ(dialog.AddComboString(8, u"38400"), 0);
        EXPECT_EQ(dialog.AddComboString(99, u"x"), -1);
        dialog.EndDialog(kIdOk);
    });
}

} // namespace
} // namespace quorlex
