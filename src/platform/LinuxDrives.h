#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MountTable.h"
#include "services.h"

// Optical drives as Linux shows them: block devices in /sys/block, mounts in
// /proc/self/mountinfo, labels in /dev/disk/by-label or on the disc itself. Every path is
// read below `root`, so tests point it at a fixture tree.
class LinuxDrives : public Drives {
public:
    explicit LinuxDrives(std::string root = "/");

    std::vector<OpticalDrive> OpticalDrives() override;
    std::string OpticalMountPointOf(const std::string& path) override;
    std::optional<std::string> VolumeLabel(const std::string& mountPoint) override;

    // "/a/./b//c/../d" -> "/a/b/d", without asking the file system.
    static std::string NormalisePath(std::string_view path);
    // The same for a path made absolute against the current directory; empty when the path
    // is relative and the current directory cannot be known.
    static std::string NormalAbsolutePath(const std::string& path);
    // udev writes unsafe bytes in link names as "\xHH".
    static std::string DecodeUdevEscapes(std::string_view name);

private:
    struct Drive {
        std::string name;        // "sr0"
        std::string majorMinor;  // "11:0", empty when unknown
    };

    std::string Under(std::string_view path) const;
    std::vector<Drive> FindDrives() const;
    MountTable ReadMounts() const;
    static bool IsOn(const MountTable::Entry& mount, const Drive& drive);
    std::optional<std::string> LabelFromLinks(const std::string& name) const;
    std::optional<std::string> LabelFromDisc(const std::string& name) const;

    std::string root_;
};
