#include "resources/DialogTemplate.h"
#include "resources/MenuTemplate.h"
#include "ui/MenuBuilder.h"
#include "ui/QtText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace quorlex {
namespace {

bool IsCombo(ControlKind kind) {
    return kind == ControlKind::DropDown || kind == ControlKind::DropDownList;
}

TEST(ResourcesTest, EveryControlLiesInsideItsDialogAndIdsAreUnique) {
    ASSERT_FALSE(AllDialogTemplates().empty());
    for (const DialogTemplate* dialog : AllDialogTemplates()) {
        std::set<int> ids;
        for (const ControlTemplate& c : dialog->controls) {
            EXPECT_GE(c.x, 0) << dialog->id << "/" << c.id;
            EXPECT_GE(c.y, 0) << dialog->id << "/" << c.id;
            EXPECT_LE(c.x + c.width, dialog->width) << dialog->id << "/" << c.id;
            if (!IsCombo(c.kind)) { // a combo's height includes its dropped-down list
                EXPECT_LE(c.y + c.height, dialog->height) << dialog->id << "/" << c.id;
            }
            if (c.id != kNoControlId) {
                EXPECT_TRUE(ids.insert(c.id).second) << dialog->id << " repeats " << c.id;
            }
        }
        EXPECT_EQ(FindDialogTemplate(dialog->id), dialog);
    }
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

TEST(ResourcesTest, RadioGroupsStartWithAGroupMark) {
    for (const DialogTemplate* dialog : AllDialogTemplates()) {
        bool previousWasRadio = false;
        for (const ControlTemplate& c : dialog->controls) {
            const bool radio = c.kind == ControlKind::RadioButton;
            if (radio && !previousWasRadio) {
                EXPECT_NE(c.styles & style::kGroup, 0u) << dialog->id << "/" << c.id;
            }
            previousWasRadio = radio;
        }
    }
}

std::vector<QAction*> CommandActions(QWidget& menu) {
    std::vector<QAction*> found;
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            auto more = CommandActions(*action->menu());
            found.insert(found.end(), more.begin(), more.end());
        } else if (!action->isSeparator()) {
            found.push_back(action);
        }
    }
    return found;
}

TEST(ResourcesTest, FrameMenuDeliversItsCommands) {
    const MenuTemplate* menu = FindMenuTemplate(kFrameResourceId);
    ASSERT_NE(menu, nullptr);
    QMenuBar bar;
    std::vector<int> commands;
    BuildMenuBar(*menu, bar, [&](int command) { commands.push_back(command); });
    ASSERT_EQ(bar.actions().size(), 1);
    EXPECT_EQ(bar.actions()[0]->text(), QStringLiteral("菜单"));

    QAction* test = nullptr;
    QAction* about = nullptr;
    QAction* undo = nullptr;
    for (QAction* action : CommandActions(bar)) {
        if (action->text() == QStringLiteral("测试")) {
            test = action;
        } else if (action->text() == QStringLiteral("关于 Quorlex...")) {
            about = action;
        } else if (action->text() == QStringLiteral("撤消")) {
            undo = action;
        }
    }
    ASSERT_NE(test, nullptr);
    ASSERT_NE(about, nullptr);
    ASSERT_NE(undo, nullptr);
    test->trigger();
    about->trigger();
    EXPECT_EQ(commands, (std::vector<int>{command::kDeviceDialog, command::kAppAbout}));
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

    // Ctrl+N has no menu entry: it becomes a window shortcut of its own.
    QWidget window;
    AddAccelerators(window, *menu, FrameAccelerators(),
                    [&](int command) { commands.push_back(command); });
    ASSERT_EQ(window.actions().size(), 1);
    EXPECT_EQ(window.actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    window.actions()[0]->trigger();
    EXPECT_EQ(commands.back(), command::kFileNew);
}

TEST(ResourcesTest, ReadMenuOffersTheCurrentConfigurationAndFiveSlots) {
    const MenuTemplate* menu = FindMenuTemplate(kReadMenuId);
    ASSERT_NE(menu, nullptr);
    QMenu popup;
    std::vector<int> commands;
    BuildPopupMenu(*menu, popup, [&](int command) { commands.push_back(command); });
    for (QAction* action : popup.actions()) {
        action->trigger();
    }
    EXPECT_EQ(commands, (std::vector<int>{32777, 32778, 32779, 32780, 32781, 32782}));
    EXPECT_EQ(popup.actions()[5]->text(), QStringLiteral("配置5"));
}

TEST(ResourcesTest, DocumentString) {
    EXPECT_EQ(LoadResourceString(kFrameResourceId),
              u"Quorlex\n\nQuorlex\n\n\nQuorlex.Document\nQuorlex.Document");
    EXPECT_TRUE(LoadResourceString(1).empty());
}

} // namespace
} // namespace quorlex
