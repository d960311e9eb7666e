#include "common/Format.h"
#include "devices/CCommunicateSetDlg.h"
#include "devices/DeviceList.h"
#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"
#include "ui/ControlAnchors.h"
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
using H = ControlAnchors::Horizontal;
using V = ControlAnchors::Vertical;

TEST(ControlAnchorsTest, ListsGrowAndButtonsKeepToTheEdgesTheySitOn) {
    struct Case {
        int dialog;
        int control;
        ControlAnchors expected;
    };
    const Case cases[] = {
        {136, 1032, {H::Stretch, V::Stretch}}, // the device list
        {136, 1033, {H::Left, V::Bottom}},     // the buttons under it
        {136, 1034, {H::Center, V::Bottom}},
        {136, 1035, {H::Right, V::Bottom}},
        {136, 1036, {H::Left, V::Bottom}},
        {136, 1037, {H::Right, V::Bottom}},
        {137, 1039, {H::Stretch, V::Top}}, // the progress bar spans the width
        {137, kIdCancel, {H::Stretch, V::Bottom}},
        {135, 1026, {H::Stretch, V::Stretch}}, // the tab control
        {135, 1044, {H::Left, V::Top}},
        {135, 1033, {H::Left, V::Bottom}},
        {135, 1034, {H::Right, V::Bottom}},
        {205, 1049, {H::Left, V::Top}},
        {205, kIdCancel, {H::Right, V::Bottom}}, // no list: a button at the foot still goes down
        {201, 1041, {H::Stretch, V::Top}},
        {100, kIdOk, {H::Center, V::Bottom}},
    };
    for (const Case& c : cases) {
        const DialogTemplate* layout = FindDialogTemplate(c.dialog);
        ASSERT_NE(layout, nullptr) << c.dialog;
        const ControlTemplate* control = layout->FindControl(c.control);
        ASSERT_NE(control, nullptr) << c.dialog << "/" << c.control;
        EXPECT_EQ(AnchorsFor(*layout, *control), c.expected) << c.dialog << "/" << c.control;
    }
}

QRect Geometry(const Dialog& dialog, int id) {
    return dialog.GetDlgItem(id)->geometry();
}

TEST(DesktopLayoutTest, ResizedDeviceDialogGrowsItsListAndKeepsItsButtonsAtTheirEdges) {
    SimulatedFrame sim;
    CCommunicateSetDlg dialog(sim.Control(), *sim.frame);
    // How far each button follows the growth across: not, half, or all the way.
    const std::map<int, double> follows = {{1033, 0}, {1034, 0.5}, {1035, 1}, {1036, 0}, {1037, 1}};
    RunModal(dialog, [&] {
        const QSize base = dialog.TemplateSize();
        EXPECT_EQ(dialog.size(), base);
        std::map<int, QRect> before;
        for (const auto& [id, share] : follows) {
            before[id] = Geometry(dialog, id);
        }
        const QRect list = Geometry(dialog, 1032);

        const QSize growth(240, 160);
        dialog.resize(base + growth);
        EXPECT_EQ(Geometry(dialog, 1032), list.adjusted(0, 0, growth.width(), growth.height()));
        for (const auto& [id, share] : follows) {
            const int across = static_cast<int>(growth.width() * share);
            EXPECT_EQ(Geometry(dialog, id), before[id].translated(across, growth.height())) << id;
        }

        // Never smaller than the template, and back at its size all is where it was.
        dialog.resize(base - QSize(40, 40));
        EXPECT_EQ(dialog.size(), base);
        EXPECT_EQ(Geometry(dialog, 1032), list);
        EXPECT_EQ(Geometry(dialog, 1035), before[1035]);
        dialog.EndDialog(kIdOk);
    });
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
        // The status column fills the wider list.
        EXPECT_EQ(list.columnWidth(0), list.viewport()->width());
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

TEST(DesktopLayoutTest, DeviceListShowsWholeAddressesAndPinsAndMarksTheConnectedReceiver) {
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
    std::vector<bool> markedWhileConnected;
    std::vector<bool> markedAfterwards;
    RunModal(dialog, [&] {
        const ListCtrl& list = *dialog.DeviceList();
        const auto& view = static_cast<const QAbstractItemView&>(list);
        ASSERT_EQ(list.GetItemCount(), 3);
        QApplication::processEvents();
        EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
        for (int column = 0; column < 3; ++column) {
            EXPECT_GE(list.columnWidth(column), view.sizeHintForColumn(column)) << column;
        }
        for (int row = 0; row < 3; ++row) {
            markedWhileConnected.push_back(list.IsItemMarked(row));
        }
        Click(dialog, 1036); // "断开"
        for (int row = 0; row < 3; ++row) {
            markedAfterwards.push_back(list.IsItemMarked(row));
        }
        Click(dialog, 1037);
    });
    EXPECT_EQ(markedWhileConnected, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(markedAfterwards, (std::vector<bool>{false, false, false}));
}

TEST(ListCtrlFitTest, ColumnsFollowTheirTextsAndTheFillColumnNeverCutsOne) {
    ListCtrl list;
    list.InsertColumn(0, u"设备名称", ColumnAlign::Left, 200);
    list.InsertColumn(1, u"地址", ColumnAlign::Left, 200);
    list.SetColumnFit(0, ColumnFit::Fill);
    list.SetColumnFit(1, ColumnFit::Content);
    list.resize(400, 200);
    list.show();
    QApplication::processEvents();
    const auto& view = static_cast<const QAbstractItemView&>(list);
    const auto fills = [&] { return list.columnWidth(0) + list.columnWidth(1); };

    list.InsertItem(0, u"R1");
    list.SetItemText(0, 1, u"00126f0a1b2c");
    const int shortAddress = list.columnWidth(1);
    EXPECT_GE(shortAddress, view.sizeHintForColumn(1));
    EXPECT_EQ(fills(), list.viewport()->width());

    list.InsertItem(1, u"R2");
    list.SetItemText(1, 1, u"00126f0a1b2c, 00126f0a9e40, 00126f0c7712");
    EXPECT_GT(list.columnWidth(1), shortAddress);
    list.DeleteItem(1);
    EXPECT_EQ(list.columnWidth(1), shortAddress);

    // A name longer than the room left scrolls instead of being cut. (The
    // scroll bar learns of new widths a moment later.)
    list.InsertItem(1, std::u16string(80, u'长'));
    EXPECT_GE(list.columnWidth(0), view.sizeHintForColumn(0));
    QApplication::processEvents();
    EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
    list.DeleteItem(1);
    QApplication::processEvents();
    EXPECT_EQ(fills(), list.viewport()->width());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(ListCtrlFitTest, AMarkMovesWithItsRow) {
    ListCtrl list;
    list.InsertColumn(0, u"设备名称", ColumnAlign::Left, 100);
    list.InsertItem(0, u"R1");
    list.InsertItem(1, u"R2");
    list.SetItemMark(1, true, u"已连接");
    EXPECT_TRUE(list.item(1, 0)->font().bold());
    EXPECT_FALSE(list.item(1, 0)->icon().isNull());
    EXPECT_EQ(list.item(1, 0)->toolTip(), QStringLiteral("已连接"));
    list.InsertItem(0, u"R0");
    EXPECT_EQ(std::vector<bool>({list.IsItemMarked(0), list.IsItemMarked(1), list.IsItemMarked(2)}),
              (std::vector<bool>{false, false, true}));
    list.SetItemMark(2, false);
    EXPECT_FALSE(list.IsItemMarked(2));
    EXPECT_FALSE(list.item(2, 0)->font().bold());
    EXPECT_TRUE(list.item(2, 0)->icon().isNull());
    EXPECT_TRUE(list.item(2, 0)->toolTip().isEmpty());
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
