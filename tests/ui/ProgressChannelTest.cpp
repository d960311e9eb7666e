#include "channel/CommandChannel.h"
#include "common/Text.h"
#include "settings/CProgressDlg.h"
#include "tests/support/FakeCommandLink.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {
namespace {

// The progress dialog watching the real command channel, ticked by a fast
// timer as the main frame's one-second timer would inside the modal loop.
class ProgressChannelTest : public ::testing::Test {
protected:
    void StartBatch(std::u16string command, std::u16string description, std::u16string_view title) {
        channel.SetProgressTarget(&dialog); // no window yet: nothing is shown
        channel.ClearCommands();
        channel.AddCommand(MakeCommandItem(std::move(command), std::move(description)));
        channel.StartBatch(title);
    }

    void Acknowledge(std::string_view line) {
        const std::string text = std::string(line) + "\r\n";
        channel.MatchReplies(text.data(), text.size());
    }

    std::vector<std::u16string> Rows() const {
        std::vector<std::u16string> rows;
        const CColorListCtrl* list = dialog.StatusList();
        rows.reserve(static_cast<size_t>(list->GetItemCount()));
        for (int row = 0; row < list->GetItemCount(); ++row) {
            rows.push_back(list->GetItemText(row, 0));
        }
        return rows;
    }

    testing::FakeLink link;
    CommandChannel channel{link};
    CProgressDlg dialog{[this](ProgressTarget& target) { channel.SetProgressTarget(&target); }};
};

TEST_F(ProgressChannelTest, AcknowledgedFivePinCommandClosesWithTwoRows) {
    StartBatch(u"COM,115200", u"更改五芯口波特率", u"开始设置");
    ASSERT_EQ(link.sent, std::vector<std::string>{"COM,115200\r\n"});
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { channel.OnTimerTick(); });
    const int result = RunModal(dialog, [&] {
        Acknowledge("@GNSS,COM,115200,OK*3A");
        ticks.start(1);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"更改五芯口波特率成功!", u"指令发送完毕！"}));
    EXPECT_FALSE(channel.IsActive());
}

TEST_F(ProgressChannelTest, UnansweredReadTimesOutRedAndWaitsForCancel) {
    StartBatch(u"GET,ALL", u"读取当前配置信息", u"读取配置");
    QTimer ticks;
    bool okShown = true;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        channel.OnTimerTick();
        if (!channel.IsActive()) {
            ticks.stop();
            okShown = !dialog.GetDlgItem(kIdOk)->isHidden();
            Click(dialog, kIdCancel);
        }
    });
    const int result = RunModal(dialog, [&] { ticks.start(1); });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_FALSE(okShown);
    EXPECT_EQ(link.sent.size(), 4u); // sent at once and after 3, 6 and 9 ticks
    // The first send was notified before the window existed.
    EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"读取当前配置信息...2",
                                                   u"读取当前配置信息超时!", u"指令发送完毕！"}));
    EXPECT_EQ(dialog.StatusList()->GetItemColor(1), 255u);
    EXPECT_FALSE(dialog.StatusList()->GetItemColor(0).has_value());
}

// The device dialog's read over the frame and the simulated link, when the
// connection fails: the dialog shows the link's own words once each and then
// waits for "取消", with nothing else of the batch changed.
TEST(LinkFailureProgressTest, EachFailureShowsItsRowsOnceAndWaitsForCancel) {
    struct Case {
        const char* name;
        std::function<void(testing::SimulatedFrame&, uint64_t)> arrange;
        // Each with whether its row is red.
        std::vector<std::pair<std::u16string, bool>> rows;
    };
    const std::vector<Case> cases = {
        {"PIN refused",
         [](testing::SimulatedFrame& sim, uint64_t) {
             SimulatedAdapterFaults faults;
             faults.pinRecordRefused = true;
             sim.Platform().SetAdapterFaults(faults);
         },
         {{u"PIN码认证失败", true}, {u"建立连接失败", true}}},
        {"connection refused",
         [](testing::SimulatedFrame& sim, uint64_t address) {
             SimulatedReceiverFaults faults;
             faults.refuseConnection = true;
             sim.Platform().SetReceiverFaults(address, faults);
         },
         {{u"建立连接失败", true}}},
        {"line dropped during the read",
         [](testing::SimulatedFrame& sim, uint64_t address) {
             SimulatedReceiverFaults faults;
             faults.dropAfterBytes = 200;
             sim.Platform().SetReceiverFaults(address, faults);
         },
         {{u"发生错误", true}, {u"线路连接被断开", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::SimulatedFrame sim;
        const SimulatedReceiverProfile profile = sim.Profile(0);
        c.arrange(sim, profile.address);
        ReceiverControl& control = sim.Control();
        control.SetDevice({kLinkKindBluetooth, profile.name, profile.address, profile.pin});
        ASSERT_TRUE(control.Connect());
        CProgressDlg dialog([&](ProgressTarget& target) { control.SetProgressTarget(&target); },
                            sim.frame.get());
        control.SetProgressTarget(&dialog);
        control.ClearCommands();
        control.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
        control.StartBatch(u"读取配置");
        std::vector<std::u16string> rows;
        bool waitsForCancel = false;
        const int result = RunModal(dialog, [&] {
            const CColorListCtrl* list = dialog.StatusList();
            const std::u16string last = c.rows.back().first;
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return list->GetItemCount() > 0 &&
                       list->GetItemText(list->GetItemCount() - 1, 0) == last;
            }));
            // Ticks go on meanwhile; none of them adds a row.
            QTest::qWait(static_cast<int>(10 * testing::SimulatedFrame::kTick.count()));
            waitsForCancel = dialog.IsRunning() && dialog.GetDlgItem(kIdOk)->isHidden() &&
                             !dialog.GetDlgItem(kIdCancel)->isHidden();
            for (int row = 0; row < list->GetItemCount(); ++row) {
                rows.push_back(list->GetItemText(row, 0));
                for (const auto& [text, red] : c.rows) {
                    if (rows.back() == text) {
                        EXPECT_EQ(list->GetItemColor(static_cast<uint32_t>(row)).has_value(), red)
                            << row;
                    }
                }
            }
            Click(dialog, kIdCancel);
        });
        control.Disconnect();
        control.SetProgressTarget(nullptr);
        EXPECT_EQ(result, kIdCancel);
        EXPECT_TRUE(waitsForCancel);
        for (const auto& expected : c.rows) {
            const std::u16string& text = expected.first;
            EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                                    [&](const std::u16string& row) {
                                        return row.find(text) != std::u16string::npos;
                                    }),
                      1)
                << ToUtf8(text);
        }
        EXPECT_EQ(rows.back(), c.rows.back().first);
    }
}

} // namespace
} // namespace quorlex
