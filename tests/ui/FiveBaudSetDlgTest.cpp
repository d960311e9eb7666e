#include "devices/CFiveBaudSetDlg.h"
#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;
using namespace std::chrono_literals;

constexpr int kBaudCombo = 1060;

QStringList Items(QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

TEST(FiveBaudSetDlgTest, OpensWithTheKnownRateOr38400) {
    SimulatedFrame sim;
    CFiveBaudSetDlg unknown(sim.Control());
    QString shown;
    QStringList items;
    RunModal(unknown, [&] {
        auto* combo = unknown.DlgItem<QComboBox>(kBaudCombo);
        shown = combo->currentText();
        items = Items(*combo);
        Click(unknown, kIdCancel);
    });
    EXPECT_EQ(shown, QStringLiteral("38400"));
    EXPECT_EQ(items, (QStringList{"4800", "9600", "19200", "38400", "57600", "115200"}));

    CFiveBaudSetDlg known(sim.Control());
    known.baudText = u"9600";
    RunModal(known, [&] {
        shown = known.DlgItem<QComboBox>(kBaudCombo)->currentText();
        Click(known, kIdCancel);
    });
    EXPECT_EQ(shown, QStringLiteral("9600"));
}

// "设置" sends the rate as shown under the progress dialog and stays open.
TEST(FiveBaudSetDlgTest, SendsTheChosenOrTypedRateAndStaysOpen) {
    SimulatedFrame sim;
    ASSERT_TRUE(sim.Connect(0));
    ReceiverSimulator& receiver = sim.Simulator(0);
    receiver.ClearReceivedCommands();
    CFiveBaudSetDlg dialog(sim.Control());
    std::vector<int> progressResults;
    bool openAfterFirst = false;
    std::u16string recordAfterFirst;
    const auto watchProgress = [&] {
        AnswerNextModal([&](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            QObject::connect(progress, &QDialog::finished,
                             [&](int result) { progressResults.push_back(result); });
        });
    };
    const int result = RunModal(dialog, [&] {
        dialog.DlgItem<QComboBox>(kBaudCombo)->setCurrentIndex(5);
        watchProgress();
        Click(dialog, kIdOk);
        openAfterFirst = dialog.HasWindow() && dialog.isVisible();
        recordAfterFirst = sim.Control().Settings().info.fivePinBaudText;
        dialog.DlgItem<QComboBox>(kBaudCombo)->setEditText(QStringLiteral("1200"));
        watchProgress();
        Click(dialog, kIdOk);
        Click(dialog, kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(openAfterFirst);
    EXPECT_EQ(progressResults, (std::vector<int>{kIdOk, kIdOk}));
    EXPECT_EQ(receiver.ReceivedCommands(), (std::vector<std::string>{"COM,115200", "COM,1200"}));
    EXPECT_EQ(recordAfterFirst, u"115200");
    EXPECT_EQ(receiver.FivePinBaud(), u"1200");
    EXPECT_EQ(sim.Control().Settings().info.fivePinBaudText, u"1200");
    EXPECT_EQ(dialog.baudText, u"1200");
}

} // namespace
} // namespace quorlex
