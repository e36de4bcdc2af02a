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

// Whether the descriptor an fdinfo file tells of was opened read-only (its flags, in octal).
bool OpenForReadingOnly(const std::string& fdinfo) {
    std::string text;
    ReadTextFile(fdinfo, text);
    const std::size_t key = text.find("flags:");
    if (key == std::string::npos) {
        return false;
    }
    const std::size_t end = text.find('\n', key);
    const std::size_t last = (end == std::string::npos ? text.size() : end) - 1;
    return last > key && (text[last] - '0') % 4 == 0;  // O_RDONLY in the access mode bits
}

// Whether a daemon's path argument names `absolute`. The daemon has left the folder it
// started in, so a relative argument can only be compared with the end of the path.
bool PathMatches(const std::string& argument, const std::string& absolute) {
    if (argument.empty()) {
        return false;
    }
    const std::string path = LinuxDrives::NormalisePath(absolute);
    if (argument.front() == '/') {
        return LinuxDrives::NormalisePath(argument) == path;
    }
    const std::string tail = LinuxDrives::NormalisePath("/" + argument);
    return tail != "/" && path.size() >= tail.size() &&
           path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
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

std::optional<std::string> FuseDaemons::Operand(const std::vector<std::string>& args, int index) {
    int operand = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "-c") {
            ++i;  // the option's value
        } else if (!arg.empty() && arg.front() == '-') {
            continue;
        } else if (operand++ == index) {
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
        if (!IsNumber(pid) || ReadTrimmedTextFile(Under("/proc/" + pid + "/comm")) != name) {
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
    Daemon daemon{pid, {}, {}, {}};
    std::vector<std::pair<std::string, std::string>> files;  // descriptor, link
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
        if (!link.empty() && ::stat(Under(process + "/fd/" + fd).c_str(), &status) == 0 &&
            S_ISREG(status.st_mode) && OpenForReadingOnly(Under(process + "/fdinfo/" + fd))) {
            files.emplace_back(fd, link);
        }
    }
    if (match != Match::Yes && toldOtherwise) {
        match = Match::No;
    }
    // The image is the file the arguments name; when they cannot tell, the only one read.
    const std::optional<std::string> image = Operand(Arguments(pid), 0);
    const auto named = std::find_if(files.begin(), files.end(), [&](const auto& file) {
        return image && PathMatches(*image, file.second);
    });
    if (named != files.end()) {
        daemon.imageFd = named->first;
        daemon.imageLink = named->second;
    } else if (files.size() == 1) {
        daemon.imageFd = files.front().first;
        daemon.imageLink = files.front().second;
    }
    if (daemon.fuseFd.empty() || daemon.imageFd.empty()) {
        return std::nullopt;
    }
    return daemon;
}

std::vector<std::string> FuseDaemons::Arguments(const std::string& pid) const {
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
    return args;
}

FuseDaemons::Match FuseDaemons::MatchesByArguments(const std::string& pid,
                                                   const MountTable::Entry& mount) const {
    const std::optional<std::string> argument = Operand(Arguments(pid), 1);
    return argument && PathMatches(*argument, mount.mountPoint) ? Match::Yes : Match::No;
}

bool FuseDaemons::StillServes(const Daemon& daemon, const MountTable::Entry& mount) const {
    const std::string process = "/proc/" + daemon.pid;
    if (ReadTrimmedTextFile(Under(process + "/comm")) !=
            Program(mount).substr(0, kCommandNameLength) ||
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
