#include "ui/UserPrompts.h"

#include "ui/QtText.h"

#include <QApplication>
#include <QMessageBox>

namespace quorlex {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class Desktop final : public UserPrompts {
public:
    int ShowMessage(QWidget* parent, std::u16string_view text, std::u16string_view caption,
                    MessageIcon icon) override {
        MakeMessageBox(parent, text, caption, icon)->exec();
        return kIdOk;
    }
    void BeginWaitCursor() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void EndWaitCursor() override { QApplication::restoreOverrideCursor(); }
};

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, std::u16string_view text,
                                            std::u16string_view caption, MessageIcon icon) {
    return std::make_unique<QMessageBox>(ToQtIcon(icon), ToQString(caption), ToQString(text),
                                         QMessageBox::Ok, parent);
}

UserPrompts& DesktopPrompts() {
    // Stateless: the cursor stack and the boxes belong to the application object.
    static Desktop desktop;
    return desktop;
}

} // namespace quorlex
