#include "ui/CColorListCtrl.h"

#include <QHeaderView>
#include <QImage>

#include <gtest/gtest.h>

namespace quorlex {
namespace {

constexpr uint32_t kRed = 255;

class ColorListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.resize(320, 260);
        list.InsertColumn(0, u"状态", ColumnAlign::Left, 280);
        list.show();
    }

    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            list.InsertItem(list.GetItemCount(), u"行");
        }
    }

    // The background of a row, sampled right of its text.
    QColor Background(int row) {
        const QImage image = list.grab().toImage();
        const QRect cell = list.visualItemRect(list.item(row, 0));
        const QPoint inViewport(cell.right() - 8, cell.center().y());
        return image.pixelColor(list.viewport()->mapTo(&list, inViewport));
    }

    CColorListCtrl list;
};

TEST_F(ColorListCtrlTest, PaintsOnlyTheColouredRow) {
    AddRows(5);
    list.SetItemColor(3, kRed);
    EXPECT_EQ(Background(3), QColor(255, 0, 0));
    for (int row = 0; row < 3; ++row) {
        EXPECT_NE(Background(row), QColor(255, 0, 0)) << row;
    }
    EXPECT_NE(Background(4), QColor(255, 0, 0));
}

TEST_F(ColorListCtrlTest, ColourValueHasRedInTheLowByte) {
    AddRows(2);
    list.SetItemColor(0, 0x00FF0000u);
    list.SetItemColor(1, 0x0000FF00u);
    EXPECT_EQ(Background(0), QColor(0, 0, 255));
    EXPECT_EQ(Background(1), QColor(0, 255, 0));
    list.SetItemColor(1, 0x00336699u); // a later colour replaces the earlier one
    EXPECT_EQ(Background(1), QColor(0x99, 0x66, 0x33));
}

TEST_F(ColorListCtrlTest, ColourBelongsToTheIndexNotTheRow) {
    AddRows(2);
    list.SetItemColor(4, kRed); // beyond the last row: nothing to see yet
    EXPECT_NE(Background(1), QColor(255, 0, 0));
    AddRows(3);
    EXPECT_EQ(Background(4), QColor(255, 0, 0));

    // Delete the red row and append another: the new row at that index is red.
    list.DeleteItem(4);
    list.InsertItem(list.GetItemCount(), u"新行");
    EXPECT_EQ(Background(4), QColor(255, 0, 0));

    // Inserting at the top moves the content, not the colour.
    list.InsertItem(0, u"首行");
    EXPECT_EQ(list.GetItemText(5, 0), u"新行");
    EXPECT_EQ(Background(4), QColor(255, 0, 0));
    EXPECT_NE(Background(5), QColor(255, 0, 0));
}

TEST(ListCtrlTest, RowsColumnsAndSelection) {
    ListCtrl list;
    EXPECT_EQ(list.InsertItem(0, u"x"), -1); // no column yet
    list.InsertColumn(0, u"设备名称", ColumnAlign::Center, 200);
    list.InsertColumn(1, u"地址", ColumnAlign::Left, 200);
    EXPECT_EQ(list.columnWidth(0), 200);
    EXPECT_EQ(list.InsertItem(7, u"A"), 0); // past the end appends
    EXPECT_EQ(list.InsertItem(7, u"C"), 1);
    EXPECT_EQ(list.InsertItem(1, u"B"), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, u"0011223344"));
    EXPECT_FALSE(list.SetItemText(3, 0, u"none"));
    EXPECT_EQ(list.GetItemText(0, 0), u"A");
    EXPECT_EQ(list.GetItemText(1, 1), u"0011223344");
    EXPECT_EQ(list.GetItemText(2, 0), u"C");
    EXPECT_EQ(list.GetItemText(2, 1), u"");
    EXPECT_EQ(list.GetItemText(9, 0), u"");
    EXPECT_EQ(list.item(0, 0)->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    EXPECT_EQ(list.GetFirstSelectedItem(), -1);
    list.SelectItem(2);
    EXPECT_EQ(list.GetFirstSelectedItem(), 2);
    list.SelectItem(1);
    EXPECT_EQ(list.GetFirstSelectedItem(), 1);
    EXPECT_EQ(list.currentRow(), 1);

    EXPECT_FALSE(list.DeleteItem(3));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 2);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.columnCount(), 2);
}

TEST(ListCtrlTest, ExtendedStylesMapToTheView) {
    ListCtrl list;
    list.SetExtendedStyle(0x00010031);
    EXPECT_TRUE(list.showGrid());
    EXPECT_TRUE(list.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    list.SetExtendedStyle(0x30);
    EXPECT_FALSE(list.showGrid());
    list.SetExtendedStyle(0);
    EXPECT_FALSE(list.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectItems);
}

} // namespace
} // namespace quorlex
