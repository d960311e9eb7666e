#include "ui/MenuBuilder.h"

#include "ui/QtText.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace quorlex {
namespace {

QKeySequence ShortcutFor(int command) {
    for (const Accelerator& accelerator : FrameAccelerators()) {
        if (accelerator.command == command) {
            return QKeySequence(Qt::CTRL | static_cast<Qt::Key>(accelerator.key));
        }
    }
    return {};
}

void AddItems(std::span<const MenuItem> items, QMenu& menu, const CommandHandler& onCommand);

void AddItem(const MenuItem& item, QMenu& menu, const CommandHandler& onCommand) {
    if (item.separator) {
        menu.addSeparator();
    } else if (!item.popup.empty()) {
        AddItems(item.popup, *menu.addMenu(ToQString(item.text)), onCommand);
    } else {
        QAction* action = menu.addAction(ToQString(item.text));
        action->setData(item.command);
        action->setShortcut(ShortcutFor(item.command));
        const int command = item.command;
        QObject::connect(action, &QAction::triggered, &menu,
                         [onCommand, command] { onCommand(command); });
    }
}

void AddItems(std::span<const MenuItem> items, QMenu& menu, const CommandHandler& onCommand) {
    for (const MenuItem& item : items) {
        AddItem(item, menu, onCommand);
    }
}

} // namespace

void BuildMenuBar(const MenuTemplate& menu, QMenuBar& bar, const CommandHandler& onCommand) {
    for (const MenuItem& item : menu.items) {
        if (!item.popup.empty()) {
            AddItems(item.popup, *bar.addMenu(ToQString(item.text)), onCommand);
            continue;
        }
        QAction* action = bar.addAction(ToQString(item.text));
        action->setData(item.command);
        const int command = item.command;
        QObject::connect(action, &QAction::triggered, &bar,
                         [onCommand, command] { onCommand(command); });
    }
}

void BuildPopupMenu(const MenuTemplate& menu, QMenu& popup, const CommandHandler& onCommand) {
    AddItems(menu.items, popup, onCommand);
}

bool MenuHasCommand(std::span<const MenuItem> items, int command) {
    for (const MenuItem& item : items) {
        if ((!item.separator && item.popup.empty() && item.command == command) ||
            MenuHasCommand(item.popup, command)) {
            return true;
        }
    }
    return false;
}

void AddAccelerators(QWidget& window, const MenuTemplate& menu,
                     std::span<const Accelerator> accelerators, const CommandHandler& onCommand) {
    for (const Accelerator& accelerator : accelerators) {
        if (MenuHasCommand(menu.items, accelerator.command)) {
            continue;
        }
        auto* action = new QAction(&window);
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(accelerator.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(accelerator.command);
        const int command = accelerator.command;
        QObject::connect(action, &QAction::triggered, &window,
                         [onCommand, command] { onCommand(command); });
        window.addAction(action);
    }
}

} // namespace quorlex
