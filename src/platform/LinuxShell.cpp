#include "LinuxShell.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "EnqueueCommand.h"
#include "ProgramPath.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Signals a GUI may ignore or block, which the launcher must see as usual.
constexpr int kResetSignals[] = {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// The executable file `name` in the first folder of PATH that holds one. Empty entries
// (the current folder) are skipped: a GUI's current folder is no place to pick programs from.
// A target beginning with '-' would be taken for an option; URLs never do, so it is a
// relative path and "./" keeps its meaning.
std::string AsArgument(const std::string& target) {
    return !target.empty() && target[0] == '-' ? "./" + target : target;
}

std::vector<char*> Argv(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// The launcher's wait status, or nothing when it is still running at `deadline`.
std::optional<int> WaitUntil(pid_t pid, Clock::time_point deadline) {
    milliseconds pause(1);
    for (;;) {
        int status = 0;
        const pid_t got = ::waitpid(pid, &status, WNOHANG);
        if (got == pid) {
            return status;
        }
        if (got < 0 && errno != EINTR) {
            return -1;  // reaped elsewhere: nothing tells us it succeeded
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, milliseconds(20));
    }
}

void Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Runs the launcher in a process group of its own with /dev/null as its standard streams
// and no other descriptor of ours; true when it exits with status 0 within the limit.
bool RunToExit(const std::string& program, std::vector<std::string> arguments, milliseconds limit) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Not every library opens its descriptors close-on-exec.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    sigset_t empty;
    sigset_t reset;
    sigemptyset(&empty);
    sigemptyset(&reset);
    for (int signal : kResetSignals) {
        sigaddset(&reset, signal);
    }
    ::posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawnattr_setpgroup(&attributes, 0);
    ::posix_spawnattr_setsigmask(&attributes, &empty);
    ::posix_spawnattr_setsigdefault(&attributes, &reset);

    std::vector<char*> argv = Argv(arguments);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        return false;
    }

    const std::optional<int> status = WaitUntil(pid, Clock::now() + limit);
    if (!status) {
        // The whole group, so a script's children do not outlive it.
        ::kill(-pid, SIGKILL);
        Reap(pid);
        return false;
    }
    return WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

// In the child of a fork: marks every descriptor from 3 up close-on-exec.
void CloseOnExecFrom3(int highest) {
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) {
        return;
    }
    for (int fd = 3; fd <= highest; ++fd) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

// Starts the launcher in a new session through a double fork, so it is no child of ours
// and never becomes our zombie. A close-on-exec pipe tells whether the exec succeeded:
// it reaches end of file at the exec, or carries errno when the exec fails.
bool StartDetached(const std::string& program, std::vector<std::string> arguments,
                   milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    std::vector<char*> argv = Argv(arguments);
    const int highest = static_cast<int>(std::min(::sysconf(_SC_OPEN_MAX), 65536L));
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        return false;
    }
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        ::close(devNull);
        return false;
    }

    const pid_t middle = ::fork();
    if (middle == 0) {
        // Only async-signal-safe calls until the exec: other threads may hold locks.
        ::setsid();
        const pid_t launcher = ::fork();
        if (launcher != 0) {
            ::_exit(launcher < 0 ? 1 : 0);
        }
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        CloseOnExecFrom3(highest);
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (int signal : kResetSignals) {
            ::sigaction(signal, &standard, nullptr);
        }
        sigset_t empty;
        sigemptyset(&empty);
        ::sigprocmask(SIG_SETMASK, &empty, nullptr);
        ::execv(program.c_str(), argv.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    ::close(devNull);
    if (middle < 0) {
        ::close(report[0]);
        return false;
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    bool started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (started) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        pollfd wait{report[0], POLLIN, 0};
        int error = 0;
        started = ::poll(&wait, 1, static_cast<int>(std::max<long long>(left.count(), 0))) == 1 &&
                  ::read(report[0], &error, sizeof error) == 0;
    }
    ::close(report[0]);
    return started;
}

}  // namespace

LinuxShell::LinuxShell(std::chrono::milliseconds timeLimit) : timeLimit_(timeLimit) {}

LinuxShell::LinuxShell(Profile* profile, std::chrono::milliseconds timeLimit)
    : profile_(profile), timeLimit_(timeLimit) {}

bool LinuxShell::Open(const std::string& target) {
    const std::string argument = AsArgument(target);
    if (const std::string gio = FindOnPath("gio"); !gio.empty()) {
        return RunToExit(gio, {"gio", "open", argument}, timeLimit_);
    }
    if (const std::string xdgOpen = FindOnPath("xdg-open"); !xdgOpen.empty()) {
        return StartDetached(xdgOpen, {"xdg-open", argument}, timeLimit_);
    }
    return false;
}

bool LinuxShell::Enqueue(const std::string& mediaFile) {
    if (mediaFile.empty()) {
        return false;
    }
    // A player already running has its own current folder; a relative path would not
    // survive the hand-over, nor would a leading '-' stay a file name.
    std::error_code error;
    const std::string file = std::filesystem::absolute(mediaFile, error).string();
    if (error) {
        return false;
    }
    const std::string commandLine =
        profile_ != nullptr ? profile_->GetString("Settings", "EnqueueCommand", "") : "";
    std::vector<std::string> words = EnqueueCommand::ForCurrentUser().For(file, commandLine);
    if (words.empty()) {
        return false;
    }
    const std::string program =
        words.front().find('/') != std::string::npos ? words.front() : FindOnPath(words.front());
    return !program.empty() && StartDetached(program, std::move(words), timeLimit_);
}
