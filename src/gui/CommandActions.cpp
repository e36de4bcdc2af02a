#include "CommandActions.h"

#include <QIcon>
#include <QWidget>

#include "commands/CommandTable.h"
#include "commands/CommandId.h"

CommandActions::CommandActions(QWidget* shortcutOwner) : QObject(shortcutOwner) {
    for (const CommandInfo& command : CommandTable::All()) {
        const QString menuText = QString::fromUtf8(command.menuText);
        auto* action = new QAction(menuText.section('\t', 0, 0), this);
        const QString shortcut = menuText.section('\t', 1);
        if (!shortcut.isEmpty()) {
            // Redo answers both keys the desktops use for it.
            QList<QKeySequence> keys{QKeySequence(shortcut)};
            if (command.id == kEditRedo) {
                keys.append(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
            }
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
            shortcutOwner->addAction(action);  // shortcuts work without a menu entry
        }
        action->setStatusTip(QString::fromUtf8(command.prompt));
        if (*command.toolTip) {
            action->setToolTip(QString::fromUtf8(command.toolTip));
        }
        if (*command.iconName) {
            action->setIcon(
                QIcon::fromTheme(QString::fromLatin1(command.iconName),
                                 QIcon(QStringLiteral(":/toolbar/%1.svg")
                                           .arg(QString::fromLatin1(command.iconName)))));
        }
        action->setEnabled(false);
        action->setData(command.id);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { Send(id); });
        actions_[id] = action;
    }
}

QAction* CommandActions::AddCommand(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setEnabled(false);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { Send(id); });
    actions_[id] = action;
    return action;
}

QAction* CommandActions::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CommandActions::SetHandler(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
    if (QAction* action = Action(id)) {
        action->setEnabled(true);
    }
}

bool CommandActions::Send(int id) {
    QAction* action = Action(id);
    const auto handler = handlers_.find(id);
    if (!action || !action->isEnabled() || handler == handlers_.end()) {
        return false;
    }
    handler->second();
    emit CommandRan(id);
    return true;
}
