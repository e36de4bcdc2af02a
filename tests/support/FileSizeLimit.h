#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

// Runs `work` in a child process whose files may grow to `bytes` only: a full disk for that
// process alone, which needs no privileges and ends with the child. Gives back the text the
// work returned, or nothing when the limit cannot be set or the child did not finish.
inline std::optional<std::string> WithFileSizeLimit(rlim_t bytes,
                                                    const std::function<std::string()>& work) {
    int report[2];
    if (::pipe(report) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return std::nullopt;
    }
    if (child == 0) {
        ::close(report[0]);
        // Without this the kernel kills the writer instead of failing the write with EFBIG.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(4);
        }
        const std::string text = work();
        [[maybe_unused]] const ssize_t put = ::write(report[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(report[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return text;
}
