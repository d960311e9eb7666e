#include "channel/CommandChannel.h"
#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "ui/CColorListCtrl.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace quorlex {
namespace {

class RecordingLink final : public CommandLink {
public:
    bool IsConnected() const override { return true; }
    int Send(const char* bytes, size_t count) override {
        sent.emplace_back(bytes, count);
        return 1;
    }
    std::vector<std::string> sent;
};

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
        for (int row = 0; row < list->GetItemCount(); ++row) {
            rows.push_back(list->GetItemText(row, 0));
        }
        return rows;
    }

    RecordingLink link;
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

} // namespace
} // namespace quorlex
