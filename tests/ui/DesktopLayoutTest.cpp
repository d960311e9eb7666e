#include "common/Format.h"
#include "devices/CCommunicateSetDlg.h"
#include "devices/DeviceList.h"
#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"
#include "ui/ListCtrl.h"
#include "ui/UserPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;

QRect Geometry(const Dialog& dialog, int id) {
    return dialog.GetDlgItem(id)->geometry();
}

std::vector<bool> Marks(const ListCtrl& list) {
    std::vector<bool> marks;
    marks.reserve(static_cast<size_t>(list.GetItemCount()));
    for (int row = 0; row < list.GetItemCount(); ++row) {
        marks.push_back(list.IsItemMarked(row));
    }
    return marks;
}

// At its first size the device list shows whole addresses and PINs and marks
// the connected receiver; made larger, the list grows and the buttons keep
// to their edges: left, centre (half the growth across) or right.
TEST(DesktopLayoutTest, DeviceDialogAtFirstAndAtALargerSize) {
    SimulatedFrame sim;
    std::vector<KnownDevice> known;
    for (const SimulatedReceiverProfile& profile : SimulatedReceiversInRange()) {
        const auto high = static_cast<int64_t>(profile.address >> 32);
        const auto low = static_cast<int64_t>(profile.address & 0xFFFFFFFFU);
        known.push_back({profile.name, FormatText(u"%04x%08x", {high, low}), profile.pin});
    }
    ASSERT_TRUE(SaveDeviceList(DeviceListPath(), known));
    ASSERT_TRUE(sim.Connect(1));
    CCommunicateSetDlg dialog(sim.Control(), *sim.frame);
    const std::map<int, double> follows = {{1033, 0}, {1034, 0.5}, {1035, 1}, {1036, 0}, {1037, 1}};
    std::vector<bool> marksAfterDisconnecting;
    RunModal(dialog, [&] {
        const ListCtrl& list = *dialog.DeviceList();
        const auto& view = static_cast<const QAbstractItemView&>(list);
        QApplication::processEvents();
        EXPECT_EQ(dialog.size(), dialog.TemplateSize());
        EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
        for (int column = 0; column < 3; ++column) {
            EXPECT_GE(list.columnWidth(column), view.sizeHintForColumn(column)) << column;
        }
        EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, false, false}));

        std::map<int, QRect> before;
        for (const auto& [id, share] : follows) {
            before[id] = Geometry(dialog, id);
        }
        const QRect listBefore = list.geometry();
        const QSize growth(240, 160);
        dialog.resize(dialog.TemplateSize() + growth);
        EXPECT_EQ(list.geometry(), listBefore.adjusted(0, 0, growth.width(), growth.height()));
        for (const auto& [id, share] : follows) {
            const int across = static_cast<int>(growth.width() * share);
            EXPECT_EQ(Geometry(dialog, id), before[id].translated(across, growth.height())) << id;
        }
        // Never smaller than the template.
        dialog.resize(dialog.TemplateSize() - QSize(40, 40));
        EXPECT_EQ(dialog.size(), dialog.TemplateSize());
        EXPECT_EQ(Geometry(dialog, 1035), before[1035]);

        Click(dialog, 1036); // "断开"
        marksAfterDisconnecting = Marks(list);
        Click(dialog, 1037);
    });
    EXPECT_EQ(marksAfterDisconnecting, (std::vector<bool>{false, false, false, false}));
}

TEST(DesktopLayoutTest, ResizedProgressDialogGrowsItsListAndKeepsCancelAtTheFoot) {
    CProgressDlg dialog;
    RunModal(dialog, [&] {
        dialog.OnBatchProgress({1, 3, u"读取当前配置信息...", 0});
        const CColorListCtrl& list = *dialog.StatusList();
        const QRect listBefore = list.geometry();
        const QRect cancelBefore = Geometry(dialog, kIdCancel);

        const QSize growth(300, 200);
        dialog.resize(dialog.TemplateSize() + growth);
        EXPECT_EQ(list.geometry(), listBefore.adjusted(0, 0, growth.width(), growth.height()));
        EXPECT_EQ(Geometry(dialog, kIdCancel),
                  cancelBefore.translated(0, growth.height()).adjusted(0, 0, growth.width(), 0));
        // The status column fills the wider list, and a longer row scrolls
        // rather than lose its end, where the outcome is. (The scroll bar
        // learns of the new width a moment later.)
        EXPECT_EQ(list.columnWidth(0), list.viewport()->width());
        dialog.OnBatchProgress({2, 3, std::u16string(60, u'长') + u"超时!", 1});
        QApplication::processEvents();
        EXPECT_GE(list.columnWidth(0),
                  static_cast<const QAbstractItemView&>(list).sizeHintForColumn(0));
        EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
        dialog.EndDialog(kIdCancel);
    });
}

TEST(DesktopLayoutTest, APageInATabControlFollowsIt) {
    Dialog outer(135);
    auto* page = new Dialog(201);
    RunModal(outer, [&] {
        auto* tabs = outer.DlgItem<QTabWidget>(1026);
        page->CreateModeless(tabs);
        tabs->addTab(page, QStringLiteral("电台"));
        outer.resize(outer.TemplateSize() + QSize(200, 400));
        QApplication::processEvents();
        // The page is now larger than its template: its edit is wider and its
        // button as far from its foot as the template puts it.
        const QSize growth = page->size() - page->TemplateSize();
        ASSERT_GT(growth.height(), 0);
        const DialogUnits& units = page->Units();
        EXPECT_EQ(Geometry(*page, 1041),
                  units.ToPixels(23, 27, 92, 12).adjusted(0, 0, growth.width(), 0));
        EXPECT_EQ(Geometry(*page, kIdOk).bottom(),
                  units.ToPixels(23, 137, 92, 14).bottom() + growth.height());
        outer.EndDialog(kIdOk);
    });
}

TEST(DesktopLayoutTest, MessageBoxButtonsSpeakTheProgramsLanguage) {
    const auto box =
        MakeMessageBox(nullptr, u"蓝牙连接失败，请检查!", u"Warning", MessageIcon::Exclamation);
    const QAbstractButton* ok = box->button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Warning"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
}

} // namespace
} // namespace quorlex
