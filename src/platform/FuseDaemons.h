#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MountTable.h"

// The processes that serve FUSE mounts. The mount table names only the program ("fuseiso"),
// so the image behind a mount is found in its daemon: the process of that program holding
// /dev/fuse open for the mount's connection, and the file it reads, which its arguments
// name (it may hold others, inherited from whatever started it). Every path is read below
// `root`.
class FuseDaemons {
public:
    struct Daemon {
        std::string pid;
        std::string fuseFd;     // its descriptor of /dev/fuse
        std::string imageFd;    // its descriptor of the image
        std::string imageLink;  // where that descriptor leads, "/home/user/disc.iso"
    };

    explicit FuseDaemons(std::string root);

    // The daemon of a "fuse.<program>" mount; nothing when none can be told apart.
    std::optional<Daemon> Find(const MountTable::Entry& mount) const;
    // Whether the daemon found before still serves the mount with the same image.
    bool StillServes(const Daemon& daemon, const MountTable::Entry& mount) const;
    // The path that opens the daemon's image, below the root.
    std::string ImagePath(const Daemon& daemon) const;

    // The image (0) or the mount point (1) among a daemon's arguments, which follow the
    // program's name: the ones that are no option, in order.
    static std::optional<std::string> Operand(const std::vector<std::string>& args, int index);

private:
    enum class Match { Yes, No, Unknown };

    std::string Under(std::string_view path) const;
    std::optional<Daemon> Inspect(const std::string& pid, const MountTable::Entry& mount,
                                  Match& match) const;
    std::vector<std::string> Arguments(const std::string& pid) const;
    Match MatchesByArguments(const std::string& pid, const MountTable::Entry& mount) const;

    std::string root_;
};
