#include "settings/CPagedTabCtrl.h"

#include "ui/Dialog.h"
#include "ui/QtText.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace quorlex {

CPagedTabCtrl::CPagedTabCtrl(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)) {
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    // Four titles fit across the handheld's width only with narrow padding.
    tabBar_->setUsesScrollButtons(false);
    tabBar_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; }"));
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) { OnTabChosen(index); });
}

bool CPagedTabCtrl::AddPage(std::u16string_view title, Dialog& page, int templateId) {
    if (PageCount() >= kMaxPages) {
        return false;
    }
    pages_.push_back(Page{std::u16string(title), &page, templateId});
    return true;
}

void CPagedTabCtrl::CreatePages() {
    const QSignalBlocker quiet(tabBar_);
    for (const Page& entry : pages_) {
        entry.page->CreateModeless(this);
        tabBar_->addTab(ToQString(entry.title));
    }
    shown_ = 0;
    tabBar_->setCurrentIndex(0);
    for (int i = 0; i < PageCount(); ++i) {
        pages_[static_cast<size_t>(i)].page->setVisible(i == shown_);
    }
    PlacePages();
}

// The tab the user chose; choosing the one shown changes nothing.
void CPagedTabCtrl::OnTabChosen(int index) {
    if (index < 0 || index >= PageCount() || index == shown_) {
        return;
    }
    pages_[static_cast<size_t>(shown_)].page->hide();
    shown_ = index;
    pages_[static_cast<size_t>(shown_)].page->show();
}

// Pages fill the area below the strip, inside the frame.
void CPagedTabCtrl::PlacePages() {
    const QSize strip = tabBar_->sizeHint();
    tabBar_->setGeometry(0, 0, std::min(strip.width(), width()), strip.height());
    const QRect item = tabBar_->count() > 0 ? tabBar_->tabRect(0) : QRect(0, 0, 0, strip.height());
    const QRect area(item.left() + 1, item.bottom() + 2, width() - item.left() - 3,
                     height() - item.bottom() - 4);
    for (const Page& entry : pages_) {
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
    frame.rect = rect().adjusted(0, tabBar_->height() - 1, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = tabBar_->size();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

} // namespace quorlex
