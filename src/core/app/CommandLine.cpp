#include "app/CommandLine.h"

#include <string_view>

namespace {

enum class Switch { None, Unregister, Print, Dde, Unknown };

bool EqualsFolded(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lower[i]) {
            return false;
        }
    }
    return true;
}

// A leading '/' is also how an absolute path starts here, so only the known names count
// as switches; a '-' argument that is no known switch is a mistake, not a file.
Switch SwitchOf(const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
        return Switch::None;
    }
    const std::string_view name = std::string_view(arg).substr(1);
    if (EqualsFolded(name, "unregister") || EqualsFolded(name, "unregserver")) {
        return Switch::Unregister;
    }
    if (EqualsFolded(name, "p") || EqualsFolded(name, "pt")) {
        return Switch::Print;
    }
    if (EqualsFolded(name, "dde")) {
        return Switch::Dde;
    }
    return arg[0] == '-' ? Switch::Unknown : Switch::None;
}

constexpr const char* kUsage = "usage: plumet [CATALOG] | plumet /Unregister";

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    bool unregister = false;
    bool onlyFiles = false;
    for (const std::string& arg : args) {
        if (!onlyFiles && arg == "--") {
            onlyFiles = true;
            continue;
        }
        switch (onlyFiles ? Switch::None : SwitchOf(arg)) {
            case Switch::None:
                files.push_back(arg);
                break;
            case Switch::Unregister:
                unregister = true;
                break;
            case Switch::Print:
                return CommandLine(
                    Action::Refused, {},
                    "plumet: " + arg + ": printing from the command line is not supported");
            case Switch::Dde:
                return CommandLine(Action::Refused, {},
                                   "plumet: " + arg + ": DDE is not supported on this system");
            case Switch::Unknown:
                return CommandLine(Action::UsageError, {},
                                   "plumet: unknown option " + arg + "; " + kUsage);
        }
    }
    // Unregistering ignores any file named with it, as it always has.
    if (unregister) {
        return CommandLine(Action::Unregister, {}, {});
    }
    if (files.size() > 1) {
        return CommandLine(Action::UsageError, {},
                           std::string("plumet: one catalog at a time; ") + kUsage);
    }
    if (files.empty()) {
        return CommandLine(Action::NewCatalog, {}, {});
    }
    return CommandLine(Action::OpenFile, files[0], {});
}

int CommandLine::exitStatus() const {
    return action_ == Action::Refused || action_ == Action::UsageError ? kRefusedStatus : 0;
}
