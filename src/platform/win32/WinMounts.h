#pragma once

#include "services.h"

// The volumes in the drive letters, each known by its volume serial number ("1A2B-3C4D"),
// mounted at the drive's root ("D:\"). A disc is a volume in an optical drive, or one
// with a disc's file system (CDFS, UDF).
class WinMounts : public Mounts {
public:
    std::optional<Volume> VolumeOf(const std::string& path) override;
    // `device` is the volume serial number a folder's identity carries.
    std::optional<Volume> VolumeOfDevice(std::uint64_t device, const std::string& path) override;
    std::vector<Volume> MountedVolumes() override;
};
