#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <string>

#include "MountTableWatch.h"

// Tells when the mount table has changed, from the kernel's wake-up on it: no polling. A
// burst of changes (a desktop mounting a disc touches the table several times) gives one
// signal.
class MountWatcher : public QObject {
    Q_OBJECT

public:
    explicit MountWatcher(QObject* parent = nullptr, const std::string& root = "/");

    // False when the mount table could not be opened: no signal will come.
    bool isWatching() const { return notifier_ != nullptr; }

signals:
    void mountsChanged();

private:
    void settle();

    MountTableWatch table_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer settling_;
};
