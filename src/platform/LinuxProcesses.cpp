#include "LinuxProcesses.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

// A small file read whole; nothing when it cannot be read (a process that has ended).
std::optional<std::string> ReadSmallFile(const fs::path& path) {
    std::string text;
    if (!ReadTextFile(path.string(), text)) {
        return std::nullopt;
    }
    return text;
}

bool IsProcessFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

LinuxProcesses::LinuxProcesses(std::string root) : root_(std::move(root)) {}

std::string_view LinuxProcesses::ProgramBaseName(std::string_view commandLine) {
    const std::string_view first = commandLine.substr(0, commandLine.find('\0'));
    const auto slash = first.find_last_of("/\\");
    return slash == std::string_view::npos ? first : first.substr(slash + 1);
}

std::string_view LinuxProcesses::CommName(std::string_view comm) {
    if (!comm.empty() && comm.back() == '\n') {
        comm.remove_suffix(1);
    }
    return comm;
}

bool LinuxProcesses::NameMatches(std::string_view name, std::string_view imageName) {
    const auto fold = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return name.size() == imageName.size() &&
           std::equal(name.begin(), name.end(), imageName.begin(),
                      [&fold](char x, char y) { return fold(x) == fold(y); });
}

bool LinuxProcesses::IsProcessRunning(const std::string& imageName) {
    std::error_code error;
    for (fs::directory_iterator next(fs::path(root_) / "proc", error);
         !error && next != fs::directory_iterator(); next.increment(error)) {
        const fs::directory_entry& entry = *next;
        if (!IsProcessFolder(entry)) {
            continue;
        }
        std::optional<std::string> name = ReadSmallFile(entry.path() / "comm");
        if (name) {
            name->resize(CommName(*name).size());
        }
        if (!name || !NameMatches(*name, imageName)) {
            const std::optional<std::string> commandLine = ReadSmallFile(entry.path() / "cmdline");
            name = commandLine ? std::optional<std::string>(ProgramBaseName(*commandLine))
                               : std::nullopt;
        }
        if (name && NameMatches(*name, imageName)) {
            std::printf("%s (Process ID: %s)\n", name->c_str(),
                        entry.path().filename().string().c_str());
            std::fflush(stdout);
            return true;
        }
    }
    return false;
}
