#pragma once

#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

class QTabBar;

namespace quorlex {

class Dialog;

// A tab strip over pages that are dialogs created as its children: one page
// per tab, the chosen one shown, each placed in the area below the strip.
class CPagedTabCtrl final : public QWidget {
public:
    static constexpr int kMaxPages = 16;

    explicit CPagedTabCtrl(QWidget* parent = nullptr);

    // Appends a page; false once kMaxPages pages are there. The page must
    // outlive the control's window and be built from templateId.
    bool AddPage(std::u16string_view title, Dialog& page, int templateId);
    // Creates every page as a child, one tab each in the order added; the
    // first page is shown.
    void CreatePages();

    int PageCount() const { return static_cast<int>(pages_.size()); }
    int ShownPage() const { return shown_; }
    QTabBar* TabBar() const { return tabBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Page {
        std::u16string title;
        Dialog* page;
        int templateId;
    };

    void OnTabChosen(int index);
    void PlacePages();

    QTabBar* tabBar_;
    std::vector<Page> pages_;
    int shown_ = 0;
};

} // namespace quorlex
