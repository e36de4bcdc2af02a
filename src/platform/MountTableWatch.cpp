#include "MountTableWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

MountTableWatch::MountTableWatch(const std::string& root) {
    std::string path = root;
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    fd_ = ::open((path + "/proc/self/mountinfo").c_str(), O_RDONLY | O_CLOEXEC);
    text_ = Read();
}

MountTableWatch::~MountTableWatch() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool MountTableWatch::TakeChange() {
    std::string text = Read();
    if (text == text_) {
        return false;
    }
    text_ = std::move(text);
    return true;
}

std::string MountTableWatch::Read() const {
    std::string text;
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return text;
    }
    char buffer[8192];
    ssize_t got = 0;
    while ((got = ::read(fd_, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    return text;
}
