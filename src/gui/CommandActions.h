#pragma once

#include <QAction>
#include <QObject>
#include <functional>
#include <map>

// One QAction per command, made once from the command table. A command runs only through
// its handler and only while enabled, whether it comes from a menu, the toolbar, a shortcut
// or Send(); a command without a handler stays disabled.
class CommandActions : public QObject {
    Q_OBJECT

public:
    explicit CommandActions(QWidget* shortcutOwner);

    QAction* Action(int id) const;
    // A command that is not in the table, such as a recent-file entry.
    QAction* AddCommand(int id, const QString& text);
    void SetHandler(int id, std::function<void()> handler);
    // Runs the command as the user would; false when it is unknown, has no handler or is
    // disabled.
    bool Send(int id);

signals:
    // After every command that ran, so owners refresh their command states.
    void CommandRan(int id);

private:
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
};
