#include "MountWatcher.h"

namespace {

// Long enough to gather the steps of one mount, short enough to feel immediate.
constexpr int kSettleMilliseconds = 50;

}  // namespace

MountWatcher::MountWatcher(QObject* parent, const std::string& root)
    : QObject(parent), table_(root) {
    settling_.setSingleShot(true);
    settling_.setInterval(kSettleMilliseconds);
    connect(&settling_, &QTimer::timeout, this, &MountWatcher::settle);
    if (table_.fd() < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(table_.fd(), QSocketNotifier::Exception);
    // The kernel clears the wake-up as it reports it; the timer's start only gathers a burst.
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (!settling_.isActive()) {
            settling_.start();
        }
    });
}

void MountWatcher::settle() {
    // A change that comes after this reading wakes the notifier again.
    if (table_.TakeChange()) {
        emit mountsChanged();
    }
}
