#pragma once

#include <string>
#include <utility>
#include <vector>

// The command that adds one media file to the user's player's queue: the user's own command
// line when there is one, else the default application for the file's type from the
// mimeapps.list files, asked through a hidden "enqueue" desktop entry of the same program or
// through the enqueue options of a known player.
class EnqueueCommand {
public:
    // The XDG folders, each in precedence order.
    struct Folders {
        std::string configHome;
        std::vector<std::string> configDirs;
        std::string dataHome;
        std::vector<std::string> dataDirs;
        std::vector<std::string> desktops;  // XDG_CURRENT_DESKTOP's names, lower case
    };

    explicit EnqueueCommand(Folders folders) : folders_(std::move(folders)) {}
    // The folders from the environment, with the XDG defaults where it sets none.
    static EnqueueCommand ForCurrentUser();

    // The words to run, from `commandLine` (Exec form) unless it is blank; empty when
    // nothing can enqueue the file.
    std::vector<std::string> For(const std::string& mediaFile,
                                 const std::string& commandLine) const;

    // The MIME types for the file name's extension, the usual name first, then its aliases.
    static std::vector<std::string> MimeTypesOf(const std::string& fileName);
    // The known player's enqueue command for the program an entry starts, or empty.
    static std::vector<std::string> KnownPlayerCommand(const std::string& program,
                                                       const std::string& file);
    // The mimeapps.list files in precedence order.
    std::vector<std::string> MimeAppsFiles() const;

private:
    // Desktop ids with their files: the most important folder first, ids sorted within
    // one; an id seen once is hidden in the folders after.
    using Index = std::vector<std::pair<std::string, std::string>>;

    Index DesktopIndex() const;
    std::string DefaultApplication(const Index& index, const std::vector<std::string>& types) const;

    Folders folders_;
};
