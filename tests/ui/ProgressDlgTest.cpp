#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "ui/CColorListCtrl.h"

#include <QProgressBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorlex {
namespace {

constexpr uint32_t kRed = 255;

BatchProgress Progress(int32_t position, int32_t total, std::u16string status, int32_t failed = 0) {
    return BatchProgress{position, total, std::move(status), failed};
}

// Stands in for the command channel: it delivers only to a target whose window exists.
class FakeChannel {
public:
    void SetProgressTarget(ProgressTarget* t) { target = t; }
    void Notify(const BatchProgress& progress) {
        if (target != nullptr && target->HasWindow()) {
            target->OnBatchProgress(progress);
        }
    }
    ProgressTarget* target = nullptr;
};

class ProgressDlgTest : public ::testing::Test {
protected:
    CProgressDlg dialog{[this](ProgressTarget& t) { channel.SetProgressTarget(&t); }};
    FakeChannel channel;

    std::vector<std::u16string> Rows() const {
        std::vector<std::u16string> rows;
        const CColorListCtrl* list = dialog.StatusList();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            rows.push_back(list->GetItemText(row, 0));
        }
        return rows;
    }
    bool Red(int row) const { return dialog.StatusList()->GetItemColor(row) == kRed; }
    bool Shown(int id) const { return !dialog.GetDlgItem(id)->isHidden(); }
};

TEST_F(ProgressDlgTest, AcknowledgedSingleCommandShowsTwoRowsAndClosesWithOk) {
    // The caller's own target call: the window does not exist yet.
    channel.SetProgressTarget(&dialog);
    channel.Notify(Progress(0, 9, u"开始设置"));
    channel.Notify(Progress(-1, 9, u"更改五芯口波特率..."));
    std::vector<std::u16string> rows;
    bool onlyCancelWhileRunning = false;
    const int result = RunModal(dialog, [&] {
        onlyCancelWhileRunning = !Shown(kIdOk) && Shown(kIdCancel);
        EXPECT_EQ(channel.target, &dialog);
        channel.Notify(Progress(-1, 9, u"更改五芯口波特率成功!"));
        EXPECT_TRUE(dialog.HasWindow());
        channel.Notify(Progress(9, 9, u"指令发送完毕！"));
        rows = Rows();
    });
    EXPECT_TRUE(onlyCancelWhileRunning);
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(rows, (std::vector<std::u16string>{u"更改五芯口波特率成功!", u"指令发送完毕！"}));
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_FALSE(Red(0));
    EXPECT_FALSE(Red(1));
}

TEST_F(ProgressDlgTest, ResentCommandShowsOneRowWithACounter) {
    const int result = RunModal(dialog, [&] {
        channel.Notify(Progress(-1, 18, u"读取配置1信息成功!"));
        channel.Notify(Progress(8, 18, u"读取当前配置信息..."));
        EXPECT_EQ(Rows().back(), u"读取当前配置信息...");
        channel.Notify(Progress(11, 18, u"读取当前配置信息..."));
        EXPECT_EQ(Rows().back(), u"读取当前配置信息...1");
        channel.Notify(Progress(14, 18, u"读取当前配置信息..."));
        channel.Notify(Progress(15, 18, u"读取当前配置信息成功!"));
        EXPECT_EQ(Rows(),
                  (std::vector<std::u16string>{u"读取配置1信息成功!", u"读取当前配置信息...2",
                                               u"读取当前配置信息成功!"}));
        // The newest row is focused and selected.
        EXPECT_EQ(dialog.StatusList()->GetFirstSelectedItem(), 2);
        EXPECT_EQ(dialog.StatusList()->currentRow(), 2);
        channel.Notify(Progress(18, 18, u"指令发送完毕！"));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(ProgressDlgTest, FinalTimeOutIsRedAndLeavesOnlyCancel) {
    bool okClickable = true;
    const int result = RunModal(dialog, [&] {
        for (int send = 0; send < 4; ++send) {
            channel.Notify(Progress(3 * send - 1, 9, u"读取当前配置信息..."));
        }
        channel.Notify(Progress(8, 9, u"读取当前配置信息超时!", 1));
        channel.Notify(Progress(9, 9, u"指令发送完毕！", 1));
        EXPECT_EQ(Rows(),
                  (std::vector<std::u16string>{u"读取当前配置信息...3", u"读取当前配置信息超时!",
                                               u"指令发送完毕！"}));
        EXPECT_TRUE(Red(1));
        EXPECT_FALSE(Red(0));
        EXPECT_FALSE(Red(2));
        EXPECT_TRUE(dialog.HasWindow()); // it waits for the surveyor
        okClickable = Click(dialog, kIdOk);
        EXPECT_TRUE(Click(dialog, kIdCancel));
    });
    EXPECT_FALSE(okClickable);
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(ProgressDlgTest, EarlierTimeOutStaysRedButSuccessfulEndStillCloses) {
    const int result = RunModal(dialog, [&] {
        channel.Notify(Progress(10, 18, u"设置网络地址超时!", 1));
        channel.Notify(Progress(12, 18, u"设置端口失败"));
        channel.Notify(Progress(13, 18, u"返回错误"));
        channel.Notify(Progress(14, 18, u"读取当前配置信息成功!"));
        channel.Notify(Progress(18, 18, u"指令发送完毕！"));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_TRUE(Red(0));
    EXPECT_TRUE(Red(1));
    EXPECT_TRUE(Red(2));
    EXPECT_FALSE(Red(3));
}

TEST_F(ProgressDlgTest, CancelDuringTheBatchEndsWithCancel) {
    const int result = RunModal(dialog, [&] {
        channel.Notify(Progress(2, 9, u"读取当前配置信息..."));
        EXPECT_TRUE(Click(dialog, kIdCancel));
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(dialog.IsRunning());
    // Notifications after the dialog has gone reach nobody.
    dialog.OnBatchProgress(Progress(9, 9, u"指令发送完毕！"));
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(ProgressDlgTest, EmptyBatchChangesNothingAndNeverEnds) {
    const int result = RunModal(dialog, [&] {
        channel.Notify(Progress(0, 0, u"指令发送完毕！"));
        EXPECT_TRUE(Rows().empty());
        EXPECT_TRUE(dialog.HasWindow());
        EXPECT_EQ(dialog.LastProgress().status, u"指令发送完毕！");
        Click(dialog, kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(ProgressDlgTest, BarFollowsThePositionAndBlankStatusAddsNoRow) {
    RunModal(dialog, [&] {
        channel.Notify(Progress(4, 11, u"  \t "));
        auto* bar = dialog.DlgItem<QProgressBar>(1039);
        EXPECT_EQ(bar->maximum(), 11);
        EXPECT_EQ(bar->value(), 4);
        EXPECT_TRUE(Rows().empty());
        channel.Notify(Progress(5, 11, u"  读取仪器信息...\r\n"));
        EXPECT_EQ(Rows(), std::vector<std::u16string>{u"读取仪器信息..."});
        Click(dialog, kIdCancel);
    });
}

TEST_F(ProgressDlgTest, CounterKeepsCountingPastItsDigits) {
    RunModal(dialog, [&] {
        channel.Notify(Progress(1, 99, u"A..."));
        for (int i = 0; i < 11; ++i) {
            channel.Notify(Progress(1, 99, u"A..."));
        }
        EXPECT_EQ(Rows(), std::vector<std::u16string>{u"A...11"});
        // A status found inside the last row replaces it too.
        channel.Notify(Progress(1, 99, u"..."));
        EXPECT_EQ(Rows(), std::vector<std::u16string>{u"...1"});
        Click(dialog, kIdCancel);
    });
}

} // namespace
} // namespace quorlex
