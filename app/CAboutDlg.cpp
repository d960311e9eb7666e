#include "app/CAboutDlg.h"

#include "common/Format.h"
#include "startup/VersionText.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace quorlex {
namespace {

constexpr int kBuildDateLine = 1046;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : Dialog(kPortraitTemplate, parent) {
    // The handheld turned its whole screen; here the frame's window stands for it.
    if (parent != nullptr) {
        reference_ = parent->window();
        reference_->installEventFilter(this);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::geometryChanged, this,
                [this](const QRect& geometry) { LayoutFor(geometry.size()); });
    }
}

bool CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetDlgItemText(kBuildDateLine,
                   FormatText(u"编译日期: %s", {std::u16string_view(VersionText())}));
    LayoutFor(ReferenceSize());
    return true;
}

QSize CAboutDlg::ReferenceSize() const {
    if (reference_ != nullptr) {
        return reference_->size();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize();
}

void CAboutDlg::LayoutFor(QSize screen) {
    if (!screen.isValid()) {
        return;
    }
    const int wanted = screen.width() < screen.height() ? kPortraitTemplate : kLandscapeTemplate;
    if (wanted != LayoutTemplate()) {
        RelayoutFrom(wanted);
        ApplyPlatformShell();
    }
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == reference_ && event->type() == QEvent::Resize && HasWindow()) {
        LayoutFor(reference_->size());
    }
    return Dialog::eventFilter(watched, event);
}

} // namespace quorlex
