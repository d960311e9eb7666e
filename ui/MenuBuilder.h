#pragma once

#include "resources/MenuTemplate.h"

#include <functional>

class QMenu;
class QMenuBar;
class QWidget;

namespace quorlex {

using CommandHandler = std::function<void(int command)>;

// Fills a menu bar or pop-up menu from a menu resource. Each command entry
// becomes an action that carries its command number (QAction::data) and
// calls onCommand when triggered; accelerators become the actions' shortcuts.
void BuildMenuBar(const MenuTemplate& menu, QMenuBar& bar, const CommandHandler& onCommand);
void BuildPopupMenu(const MenuTemplate& menu, QMenu& popup, const CommandHandler& onCommand);

// The accelerators whose command has no entry in menu, as window-wide shortcuts
// (the others are the shortcuts of the menu's actions).
void AddAccelerators(QWidget& window, const MenuTemplate& menu,
                     std::span<const Accelerator> accelerators, const CommandHandler& onCommand);

bool MenuHasCommand(std::span<const MenuItem> items, int command);

} // namespace quorlex
