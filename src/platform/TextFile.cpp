#include "TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

bool ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char buffer[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    ::close(fd);
    return got == 0;
}

std::string ReadTrimmedTextFile(const std::string& path) {
    std::string text;
    ReadTextFile(path, text);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}
