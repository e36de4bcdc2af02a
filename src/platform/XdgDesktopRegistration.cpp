#include "XdgDesktopRegistration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include "DesktopEntry.h"
#include "DesktopFileTexts.h"
#include "MimeAppsList.h"
#include "PosixFiles.h"
#include "ProgramPath.h"
#include "TextFile.h"
#include "catalog/PathParts.h"

extern char** environ;

namespace {

constexpr std::string_view kExecReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kQuotedEscaped = "\"`$\\";

// The XDG rule: a relative value is invalid and must be ignored.
std::string FolderOr(const std::string& value, const std::string& home, const char* fallback) {
    if (!value.empty() && value[0] == '/') {
        return value;
    }
    return home.empty() ? std::string() : home + "/" + fallback;
}

std::string Getenv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Missing folders are made private to the user, as the XDG folders should be.
void MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(folder.c_str(), 0700);
}

Result WriteText(const std::string& path, const std::string& text) {
    MakeFolders(std::string(FolderOfPath(path)));
    PosixFiles files;
    return files.ReplaceFile(
        path, [&text](ByteSink& sink) { return sink.Write(text.data(), text.size()); });
}

// Gone already counts as removed; `existed` tells whether there was anything to remove.
bool RemoveFile(const std::string& path, bool& existed) {
    existed = ::unlink(path.c_str()) == 0;
    return existed || errno == ENOENT || errno == ENOTDIR;
}

// Runs a cache tool on `folder` without a shell, silently; a missing, failing or hung tool
// only leaves the desktop's caches a little older.
void RunTool(const char* name, const std::string& folder) {
    const std::string program = FindOnPath(name);
    if (program.empty()) {
        return;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string first = name;
    std::string second = folder;
    char* argv[] = {first.data(), second.data(), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    for (;;) {
        const pid_t got = ::waitpid(pid, &status, WNOHANG);
        if (got == pid || (got < 0 && errno != EINTR)) {
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The program word of Exec, with "%%" read as the "%" it stands for.
std::string ProgramOf(const std::optional<std::vector<std::string>>& words) {
    if (!words || words->empty()) {
        return {};  // no closing quote: not a valid Exec value
    }
    std::string plain;
    const std::string& program = words->front();
    for (std::size_t at = 0; at < program.size(); ++at) {
        plain += program[at];
        if (program[at] == '%' && at + 1 < program.size() && program[at + 1] == '%') {
            ++at;
        }
    }
    return plain;
}

constexpr std::string_view kEntry = kInstalledDesktopEntry;
constexpr std::string_view kMimePackage = kInstalledMimePackage;
// Only the program's path differs from the installed files. The registration test pins the
// texts written: the sanitizer builds cannot check them at compile time.

}  // namespace

XdgDesktopRegistration::XdgDesktopRegistration(Environment environment)
    : dataHome_(FolderOr(environment.dataHome, environment.home, ".local/share")),
      configHome_(FolderOr(environment.configHome, environment.home, ".config")),
      program_(std::move(environment.program)) {}

XdgDesktopRegistration XdgDesktopRegistration::ForCurrentUser(const std::string& program) {
    Environment environment{Getenv("HOME"), Getenv("XDG_DATA_HOME"), Getenv("XDG_CONFIG_HOME"),
                            program};
    if (environment.program.empty()) {
        std::vector<char> buffer(4096);
        const ssize_t size = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (size > 0 && static_cast<std::size_t>(size) < buffer.size()) {
            environment.program.assign(buffer.data(), static_cast<std::size_t>(size));
        }
    }
    return XdgDesktopRegistration(std::move(environment));
}

std::string XdgDesktopRegistration::DesktopEntryPath() const {
    return dataHome_ + "/applications/" + kDesktopId;
}

std::string XdgDesktopRegistration::MimePackagePath() const {
    return dataHome_ + "/mime/packages/plumet.xml";
}

std::string XdgDesktopRegistration::MimeAppsPath() const {
    return configHome_ + "/mimeapps.list";
}

std::string XdgDesktopRegistration::ExecValue(const std::string& program) {
    std::string argument;
    const bool quote = program.find_first_of(kExecReserved) != std::string::npos;
    for (const char c : program) {
        if (quote && kQuotedEscaped.find(c) != std::string_view::npos) {
            argument += '\\';
        }
        argument += c == '%' ? "%%" : std::string(1, c);
    }
    if (quote) {
        argument = '"' + argument + '"';
    }
    // The file's own string escapes come on top of the Exec quoting.
    std::string value;
    for (const char c : argument + " %f") {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::string XdgDesktopRegistration::ExecProgram(const std::string& value) {
    return ProgramOf(DesktopEntry::SplitExec(DesktopEntry::UnescapeValue(value)));
}

std::string XdgDesktopRegistration::DesktopEntryText() const {
    std::string text(kEntry);
    const std::string_view exec = kInstalledExecLine;
    return text.replace(text.find(exec), exec.size(), "Exec=" + ExecValue(program_) + "\n");
}

bool XdgDesktopRegistration::DesktopEntryIsCurrent() const {
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(DesktopEntryPath());
    return entry && ProgramOf(entry->ExecWords()) == program_;
}

Result XdgDesktopRegistration::RegisterDesktopEntry() {
    if (DesktopEntryIsCurrent()) {
        return Result::Ok();
    }
    Result written = WriteText(DesktopEntryPath(), DesktopEntryText());
    if (written) {
        RunTool("update-desktop-database", std::string(FolderOfPath(DesktopEntryPath())));
    }
    return written;
}

Result XdgDesktopRegistration::RegisterMimeType() {
    std::string text;
    if (ReadTextFile(MimePackagePath(), text) && text == kMimePackage) {
        return Result::Ok();
    }
    Result written = WriteText(MimePackagePath(), std::string(kMimePackage));
    if (written) {
        RunTool("update-mime-database", dataHome_ + "/mime");
    }
    return written;
}

Result XdgDesktopRegistration::RegisterDefault() {
    std::string text;
    ReadTextFile(MimeAppsPath(), text);
    MimeAppsList list(std::move(text));
    if (!list.SetDefaultIfMissing(kMimeType, kDesktopId)) {
        return Result::Ok();
    }
    return WriteText(MimeAppsPath(), list.text());
}

Result XdgDesktopRegistration::Register() {
    if (dataHome_.empty() || configHome_.empty() || program_.empty()) {
        return Result::Failure("The desktop registration needs HOME and the program's path.");
    }
    Result entry = RegisterDesktopEntry();
    Result type = RegisterMimeType();
    // A default naming a missing entry would only confuse the desktop.
    Result defaults = entry ? RegisterDefault() : Result::Ok();
    for (Result* result : {&entry, &type, &defaults}) {
        if (!*result) {
            return *result;
        }
    }
    return Result::Ok();
}

bool XdgDesktopRegistration::Unregister() {
    if (dataHome_.empty() || configHome_.empty()) {
        return false;
    }
    bool existed = false;
    bool removed = RemoveFile(DesktopEntryPath(), existed);
    if (existed) {
        RunTool("update-desktop-database", std::string(FolderOfPath(DesktopEntryPath())));
    }
    removed = RemoveFile(MimePackagePath(), existed) && removed;
    if (existed) {
        RunTool("update-mime-database", dataHome_ + "/mime");
    }
    std::string text;
    if (ReadTextFile(MimeAppsPath(), text)) {
        MimeAppsList list(std::move(text));
        if (list.RemoveDefault(kMimeType, kDesktopId)) {
            removed = WriteText(MimeAppsPath(), list.text()).ok() && removed;
        }
    }
    return removed;
}
