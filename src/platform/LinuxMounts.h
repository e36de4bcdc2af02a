#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuseDaemons.h"
#include "MountTable.h"
#include "services.h"

// The mounted file systems as Linux shows them: the mount table in /proc/self/mountinfo and
// the identities udev gives in /dev/disk/by-uuid. A disc udev has not named (a drive, a loop
// device, an image served by fuseiso) is named by its own descriptors, as libblkid would.
// Every path is read below `root`, so tests point it at a fixture tree.
class LinuxMounts : public Mounts {
public:
    explicit LinuxMounts(std::string root = "/");

    std::optional<Volume> VolumeOf(const std::string& path) override;
    std::optional<Volume> VolumeOfDevice(std::uint64_t device, const std::string& path) override;
    std::vector<Volume> MountedVolumes() override;

private:
    struct UuidLink {
        std::string id;          // the link's name, escapes decoded
        std::string device;      // "/dev/sda2"
        std::string majorMinor;  // "8:2", empty when unknown
    };
    // What a disc's descriptors said, and what shows it is still the same disc.
    struct ReadId {
        std::optional<std::string> id;
        std::optional<FuseDaemons::Daemon> daemon;
    };

    std::string Under(std::string_view path) const;
    MountTable ReadTable() const;
    // The table with what was read of the discs no longer in it forgotten.
    MountTable ReadCurrentTable();
    std::vector<UuidLink> ReadUuidLinks() const;
    std::optional<Volume> Identify(const MountTable::Entry& mount,
                                   const std::vector<UuidLink>& links);
    bool IsDisc(const MountTable::Entry& mount) const;
    std::string CacheKey(const MountTable::Entry& mount) const;
    std::optional<std::string> DiscId(const MountTable::Entry& mount);
    ReadId ReadDiscId(const MountTable::Entry& mount) const;
    void ForgetUnmounted(const MountTable& table);

    std::string root_;
    FuseDaemons daemons_;
    std::mutex cacheLock_;  // VolumeOf runs on the scan's thread
    std::map<std::string, ReadId> discIds_;
};
