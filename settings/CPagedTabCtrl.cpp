#include "settings/CPagedTabCtrl.h"

#include "ui/Dialog.h"
#include "ui/QtText.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace quorlex {

CPagedTabCtrl::CPagedTabCtrl(QWidget* parent) : QWidget(parent), tabBar(new QTabBar(this)) {
    tabBar->setDrawBase(false);
    tabBar->setExpanding(false);
    // Four titles fit across the handheld's width only with narrow padding.
    tabBar->setUsesScrollButtons(false);
    tabBar->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; }"));
    connect(tabBar, &QTabBar::currentChanged, this, [this](int index) { OnTabChosen(index); });
}

bool CPagedTabCtrl::AddPage(std::u16string_view title, Dialog& page, int templateId) {
    if (PageCount() >= kMaxPages) {
        return false;
    }
    pages.push_back(Page{std::u16string(title), &page, templateId});
    return true;
}

void CPagedTabCtrl::CreatePages() {
    const QSignalBlocker quiet(tabBar);
    for (const Page& entry : pages) {
        entry.page->CreateModeless(this);
        tabBar->addTab(ToQString(entry.title));
    }
    shown = 0;
    tabBar->setCurrentIndex(0);
    for (int i = 0; i < PageCount(); ++i) {
        pages[static_cast<size_t>(i)].page->setVisible(i == shown);
    }
    PlacePages();
}

// The tab the user chose; choosing the one shown changes nothing.
void CPagedTabCtrl::OnTabChosen(int index) {
    if (index < 0 || index >= PageCount() || index == shown) {
        return;
    }
    pages[static_cast<size_t>(shown)].page->hide();
    shown = index;
    pages[static_cast<size_t>(shown)].page->show();
}

// Pages fill the area below the strip, inside the frame.
void CPagedTabCtrl::PlacePages() {
    const QSize strip = tabBar->sizeHint();
    tabBar->setGeometry(0, 0, std::min(strip.width(), width()), strip.height());
    const QRect item = tabBar->count() > 0 ? tabBar->tabRect(0) : QRect(0, 0, 0, strip.height());
    const QRect area(item.left() + 1, item.bottom() + 2, width() - item.left() - 3,
                     height() - item.bottom() - 4);
    for (const Page& entry : pages) {
        entry.page->setGeometry(area);
    }
}

void CPagedTabCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePages();
}

void CPagedTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, tabBar->height() - 1, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = tabBar->size();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

} // namespace quorlex
