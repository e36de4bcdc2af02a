#include "WinDrives.h"

#include "WinVolumes.h"

std::vector<Drives::OpticalDrive> WinDrives::OpticalDrives() {
    std::vector<OpticalDrive> drives;
    for (const WinVolumes::Drive& drive : WinVolumes::Drives()) {
        if (drive.optical) {
            const bool discIn = WinVolumes::FactsOf(drive.root).has_value();
            drives.push_back(OpticalDrive{drive.root, discIn ? drive.root : std::string()});
        }
    }
    return drives;
}

std::string WinDrives::OpticalMountPointOf(const std::string& path) {
    const std::string root = WinVolumes::RootOf(path);
    return WinVolumes::IsOptical(root) ? root : std::string();
}

std::optional<std::string> WinDrives::VolumeLabel(const std::string& mountPoint) {
    if (const std::optional<WinVolumes::Facts> facts = WinVolumes::FactsOf(mountPoint)) {
        return facts->label;
    }
    return std::nullopt;
}
