#pragma once

#include <chrono>
#include <string>

#include "services.h"

// Opens targets with `gio open`, which returns once the application has started and reports
// a failure in its exit status. Where gio is missing, `xdg-open` is started detached and a
// successful start counts as success: its exit status can come long after the application
// has been running. A launcher still running after the time limit is killed and counts as a
// failure, so a hung desktop never freezes the window that asked.
// Enqueueing starts the player detached with the command EnqueueCommand gives; the
// settings' "EnqueueCommand" comes from `profile` when there is one.
class LinuxShell : public Shell {
public:
    explicit LinuxShell(std::chrono::milliseconds timeLimit = std::chrono::seconds(5));
    explicit LinuxShell(Profile* profile,
                        std::chrono::milliseconds timeLimit = std::chrono::seconds(5));

    bool Open(const std::string& target) override;
    bool Enqueue(const std::string& mediaFile) override;

private:
    Profile* profile_ = nullptr;
    std::chrono::milliseconds timeLimit_;
};
