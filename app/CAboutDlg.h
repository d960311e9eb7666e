#pragma once

#include "ui/Dialog.h"

#include <QPointer>
#include <QSize>

namespace quorlex {

// The about box: the portrait layout while the window it belongs to is
// narrower than high, the landscape layout otherwise, switching whenever
// that window changes its shape.
class CAboutDlg final : public Dialog {
public:
    static constexpr int kPortraitTemplate = 100;
    static constexpr int kLandscapeTemplate = 200;

    explicit CAboutDlg(QWidget* parent = nullptr);

    int LayoutTemplate() const { return Template().id; }
    // Lays the box out for a screen of that size.
    void LayoutFor(QSize screen);

protected:
    bool OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize ReferenceSize() const;

    QPointer<QWidget> reference_;
};

} // namespace quorlex
