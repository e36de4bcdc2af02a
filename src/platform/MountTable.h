#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mounts the kernel lists in /proc/self/mountinfo. Parsing never fails: lines that do
// not have the kernel's shape are skipped, so one odd file system cannot hide the others.
class MountTable {
public:
    struct Entry {
        std::string mountId;     // "612", new for every mount, never reused while mounted
        std::string majorMinor;  // "11:0"
        std::string root;        // the part of the file system mounted, "/" for all of it
        std::string mountPoint;  // "/media/user/MUSIC 01", escapes decoded
        std::string fsType;      // "iso9660"
        std::string source;      // "/dev/sr0"
    };

    static MountTable Parse(std::string_view text);
    // The kernel writes space, tab, newline and backslash in paths as "\ooo".
    static std::string DecodeOctalEscapes(std::string_view text);

    // In the kernel's order: a later mount on the same point hides the earlier ones.
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};
