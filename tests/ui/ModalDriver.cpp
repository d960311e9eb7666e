#include "tests/ui/ModalDriver.h"

#include "ui/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace quorlex {
namespace {

constexpr int kWatchdogMs = 5000;
constexpr int kPollMs = 5;
constexpr int kPollLimit = 1000;

void Poll(QPointer<QWidget> below, bool hadBelow,
          std::shared_ptr<std::function<void(QWidget&)>> answer, int triesLeft) {
    // The window that was to open the answered one has gone: its test is over.
    if (hadBelow && (below.isNull() || !below->isVisible())) {
        return;
    }
    QWidget* active = QApplication::activeModalWidget();
    if (active != nullptr && active != below.data()) {
        (*answer)(*active);
        return;
    }
    if (triesLeft > 0) {
        QTimer::singleShot(kPollMs, [below, hadBelow, answer, triesLeft] {
            Poll(below, hadBelow, answer, triesLeft - 1);
        });
    }
}

} // namespace

int RunModal(Dialog& dialog, const std::function<void()>& whileOpen) {
    auto running = std::make_shared<bool>(true);
    QTimer::singleShot(0, &dialog, whileOpen);
    QTimer::singleShot(kWatchdogMs, &dialog, [&dialog, running] {
        if (*running && dialog.isVisible()) {
            dialog.done(kLeftOpen);
        }
    });
    const int result = dialog.DoModal();
    *running = false;
    return result;
}

void AnswerNextModal(std::function<void(QWidget&)> answer) {
    QPointer<QWidget> below = QApplication::activeModalWidget();
    auto shared = std::make_shared<std::function<void(QWidget&)>>(std::move(answer));
    const bool hadBelow = !below.isNull();
    QTimer::singleShot(kPollMs,
                       [below, hadBelow, shared] { Poll(below, hadBelow, shared, kPollLimit); });
}

bool Click(Dialog& dialog, int id) {
    auto* button = dialog.DlgItem<QAbstractButton>(id);
    if (button == nullptr || !button->isVisibleTo(&dialog) || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

} // namespace quorlex
