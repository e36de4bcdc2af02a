#pragma once

#include <string>

// The mount table, open for watching: the kernel wakes a poll() on it with POLLPRI (and
// POLLERR) whenever a file system is mounted, unmounted or moved, so an event loop can wait
// on fd() with no timer. The file is opened below `root`.
class MountTableWatch {
public:
    explicit MountTableWatch(const std::string& root = "/");
    ~MountTableWatch();
    MountTableWatch(const MountTableWatch&) = delete;
    MountTableWatch& operator=(const MountTableWatch&) = delete;

    // -1 when the table could not be opened.
    int fd() const { return fd_; }
    // Reads the table again, which readies the file for the next wake-up; true when its text
    // differs from the last reading (the one made when the watch was opened, at first).
    bool TakeChange();

private:
    std::string Read() const;

    int fd_ = -1;
    std::string text_;
};
