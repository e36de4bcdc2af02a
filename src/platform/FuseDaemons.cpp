#include "FuseDaemons.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "LinuxDrives.h"
#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFuseDevice = "/dev/fuse";
constexpr std::string_view kConnectionKey = "fuse_connection:";
constexpr std::size_t kCommandNameLength = 15;  // the kernel cuts longer names

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ReadTrimmed(const std::string& path) {
    std::string text;
    ReadTextFile(path, text);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string LinkText(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? std::string() : target.string();
}

// "fuse.fuseiso" -> "fuseiso"; empty for other types.
std::string Program(const MountTable::Entry& mount) {
    constexpr std::string_view kPrefix = "fuse.";
    if (mount.fsType.rfind(kPrefix, 0) != 0) {
        return {};
    }
    return mount.fsType.substr(kPrefix.size());
}

std::string Minor(const MountTable::Entry& mount) {
    return mount.majorMinor.substr(mount.majorMinor.find(':') + 1);
}

// The connection a /dev/fuse descriptor serves, from its fdinfo; nothing on kernels that do
// not say.
std::optional<std::string> Connection(const std::string& fdinfo) {
    std::string text;
    ReadTextFile(fdinfo, text);
    const std::size_t key = text.find(kConnectionKey);
    if (key == std::string::npos) {
        return std::nullopt;
    }
    std::size_t start = key + kConnectionKey.size();
    while (start < text.size() && (text[start] == '\t' || text[start] == ' ')) {
        ++start;
    }
    const std::size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

FuseDaemons::FuseDaemons(std::string root) : root_(std::move(root)) {
    while (!root_.empty() && root_.back() == '/') {
        root_.pop_back();
    }
}

std::string FuseDaemons::Under(std::string_view path) const {
    return root_ + std::string(path);
}

std::optional<std::string> FuseDaemons::MountPointArgument(const std::vector<std::string>& args) {
    int positional = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "-c") {
            ++i;  // the option's value
        } else if (!arg.empty() && arg.front() == '-') {
            continue;
        } else if (++positional == 2) {
            return arg;
        }
    }
    return std::nullopt;
}

std::optional<FuseDaemons::Daemon> FuseDaemons::Find(const MountTable::Entry& mount) const {
    const std::string program = Program(mount);
    if (program.empty()) {
        return std::nullopt;
    }
    const std::string name = program.substr(0, kCommandNameLength);
    std::vector<Daemon> byArguments;
    std::error_code error;
    for (fs::directory_iterator it(Under("/proc"), error), end; !error && it != end;
         it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (!IsNumber(pid) || ReadTrimmed(Under("/proc/" + pid + "/comm")) != name) {
            continue;
        }
        Match match = Match::No;
        std::optional<Daemon> daemon = Inspect(pid, mount, match);
        if (daemon && match == Match::Yes) {
            return daemon;
        }
        if (daemon && match == Match::Unknown && MatchesByArguments(pid, mount) == Match::Yes) {
            byArguments.push_back(std::move(*daemon));
        }
    }
    // Without the kernel's word, only an unambiguous daemon names the image.
    if (byArguments.size() == 1) {
        return byArguments.front();
    }
    return std::nullopt;
}

std::optional<FuseDaemons::Daemon> FuseDaemons::Inspect(const std::string& pid,
                                                        const MountTable::Entry& mount,
                                                        Match& match) const {
    const std::string process = "/proc/" + pid;
    std::vector<std::string> fds;
    std::error_code error;
    for (fs::directory_iterator it(Under(process + "/fd"), error), end; !error && it != end;
         it.increment(error)) {
        if (IsNumber(it->path().filename().string())) {
            fds.push_back(it->path().filename().string());
        }
    }
    std::sort(fds.begin(), fds.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    Daemon daemon{pid, {}, {}, {}};
    match = Match::Unknown;
    bool toldOtherwise = false;
    for (const std::string& fd : fds) {
        const std::string link = LinkText(Under(process + "/fd/" + fd));
        if (link == kFuseDevice) {
            const std::optional<std::string> connection =
                Connection(Under(process + "/fdinfo/" + fd));
            if (connection && *connection == Minor(mount)) {
                daemon.fuseFd = fd;
                match = Match::Yes;
            } else if (connection) {
                toldOtherwise = true;
            } else if (daemon.fuseFd.empty()) {
                daemon.fuseFd = fd;
            }
            continue;
        }
        struct stat status {};
        if (daemon.imageFd.empty() && !link.empty() &&
            ::stat(Under(process + "/fd/" + fd).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            daemon.imageFd = fd;
            daemon.imageLink = link;
        }
    }
    if (match != Match::Yes && toldOtherwise) {
        match = Match::No;
    }
    if (daemon.fuseFd.empty() || daemon.imageFd.empty()) {
        return std::nullopt;
    }
    return daemon;
}

FuseDaemons::Match FuseDaemons::MatchesByArguments(const std::string& pid,
                                                   const MountTable::Entry& mount) const {
    std::string commandLine;
    ReadTextFile(Under("/proc/" + pid + "/cmdline"), commandLine);
    std::vector<std::string> args;
    std::size_t start = commandLine.find('\0');  // past the program itself
    while (start != std::string::npos && start + 1 < commandLine.size()) {
        const std::size_t end = commandLine.find('\0', start + 1);
        args.push_back(commandLine.substr(
            start + 1, end == std::string::npos ? std::string::npos : end - start - 1));
        start = end;
    }
    const std::optional<std::string> argument = MountPointArgument(args);
    if (!argument || argument->empty()) {
        return Match::No;
    }
    const std::string point = LinuxDrives::NormalisePath(mount.mountPoint);
    if (argument->front() == '/') {
        return LinuxDrives::NormalisePath(*argument) == point ? Match::Yes : Match::No;
    }
    // The daemon has left the folder it started in, so a relative argument can only be
    // compared with the end of the mount point.
    const std::string tail = LinuxDrives::NormalisePath("/" + *argument);
    const bool endsWith = point.size() >= tail.size() &&
                          point.compare(point.size() - tail.size(), tail.size(), tail) == 0;
    return endsWith && tail != "/" ? Match::Yes : Match::No;
}

bool FuseDaemons::StillServes(const Daemon& daemon, const MountTable::Entry& mount) const {
    const std::string process = "/proc/" + daemon.pid;
    if (ReadTrimmed(Under(process + "/comm")) != Program(mount).substr(0, kCommandNameLength) ||
        LinkText(Under(process + "/fd/" + daemon.imageFd)) != daemon.imageLink) {
        return false;
    }
    const std::optional<std::string> connection =
        Connection(Under(process + "/fdinfo/" + daemon.fuseFd));
    if (connection) {
        return *connection == Minor(mount);
    }
    return MatchesByArguments(daemon.pid, mount) == Match::Yes;
}

std::string FuseDaemons::ImagePath(const Daemon& daemon) const {
    return Under("/proc/" + daemon.pid + "/fd/" + daemon.imageFd);
}
