#pragma once

#include <string>

#include "Result.h"

// Registers the program with the desktop for the current user, as the XDG base directory,
// desktop entry and shared MIME info standards describe: a desktop entry, a MIME type for
// catalog files ("Plumet.Document", *.plm) and, when the type has none, the user's default
// application for it.
class XdgDesktopRegistration {
public:
    // The values the registration reads; empty or relative folders fall back to the
    // defaults below HOME.
    struct Environment {
        std::string home;
        std::string dataHome;    // XDG_DATA_HOME, default $HOME/.local/share
        std::string configHome;  // XDG_CONFIG_HOME, default $HOME/.config
        std::string program;     // the program's absolute path
    };

    static constexpr const char* kDesktopId = "plumet.desktop";
    static constexpr const char* kMimeType = "application/x-plumet-document";

    explicit XdgDesktopRegistration(Environment environment);
    // HOME and the XDG folders from the process environment; the program is
    // /proc/self/exe unless `program` names it.
    static XdgDesktopRegistration ForCurrentUser(const std::string& program = {});

    // Installs what is missing and leaves the rest; callers at start may ignore the result.
    Result Register();
    // Removes the desktop entry, the MIME package and a default naming this program; true
    // when nothing of it is left.
    bool Unregister();

    std::string DesktopEntryPath() const;
    std::string MimePackagePath() const;
    std::string MimeAppsPath() const;

    // The Exec value that starts `program` with one file, quoted and escaped for the
    // desktop entry file.
    static std::string ExecValue(const std::string& program);
    // The program an Exec value as stored in the file starts, or empty.
    static std::string ExecProgram(const std::string& value);

private:
    std::string DesktopEntryText() const;
    bool DesktopEntryIsCurrent() const;
    Result RegisterDesktopEntry();
    Result RegisterMimeType();
    Result RegisterDefault();

    std::string dataHome_;
    std::string configHome_;
    std::string program_;
};
