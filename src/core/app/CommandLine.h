#pragma once

#include <string>
#include <utility>
#include <vector>

// What the program's arguments ask for at start. Switches begin with '/' or '-' and match
// without regard to case; anything else names a catalog. After "--" every argument is a
// catalog, so a file called "/p" can still be opened.
class CommandLine {
public:
    enum class Action {
        NewCatalog,  // no file: start with an empty catalog
        OpenFile,    // file() names the catalog to open
        Unregister,  // remove the desktop registration and the settings, then exit
        Refused,     // a form the program does not serve; message() for stderr, exit status 2
        UsageError,  // message() for stderr, exit status 2
    };

    static constexpr int kRefusedStatus = 2;
    static constexpr const char* kUnregistered =
        "System registry entries have been removed and the INI file (if any) was deleted.";
    static constexpr const char* kNotUnregistered =
        "Not all of the system registry entries (or INI file) were removed.";

    // `args` excludes argv[0].
    static CommandLine Parse(const std::vector<std::string>& args);

    Action action() const { return action_; }
    const std::string& file() const { return file_; }
    // One line without its line feed; empty unless the action is Refused or UsageError.
    const std::string& message() const { return message_; }
    // The status to exit with at once, or 0 when the program runs on.
    int exitStatus() const;

private:
    CommandLine(Action action, std::string file, std::string message)
        : action_(action), file_(std::move(file)), message_(std::move(message)) {}

    Action action_;
    std::string file_;
    std::string message_;
};
