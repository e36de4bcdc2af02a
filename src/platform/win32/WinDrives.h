#pragma once

#include "services.h"

// Optical drives by drive letter: the device and the mount point are both the drive's root
// ("D:\"), the mount point empty while no disc is in.
class WinDrives : public Drives {
public:
    std::vector<OpticalDrive> OpticalDrives() override;
    std::string OpticalMountPointOf(const std::string& path) override;
    std::optional<std::string> VolumeLabel(const std::string& mountPoint) override;
};
