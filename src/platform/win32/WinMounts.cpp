#include "WinMounts.h"

#include "WinVolumes.h"
#include "catalog/PathParts.h"

namespace {

std::optional<Mounts::Volume> VolumeAt(const std::string& root, bool optical,
                                       std::uint32_t* serial = nullptr) {
    const std::optional<WinVolumes::Facts> facts = WinVolumes::FactsOf(root);
    if (!facts) {
        return std::nullopt;
    }
    if (serial != nullptr) {
        *serial = facts->serial;
    }
    const bool discFileSystem = facts->fileSystem == "CDFS" || facts->fileSystem == "UDF";
    return Mounts::Volume{WinVolumes::SerialText(facts->serial), root, optical || discFileSystem};
}

}  // namespace

std::optional<Mounts::Volume> WinMounts::VolumeOf(const std::string& path) {
    const std::string root = WinVolumes::RootOf(path);
    if (root.empty()) {
        return std::nullopt;
    }
    return VolumeAt(root, WinVolumes::IsOptical(root));
}

std::optional<Mounts::Volume> WinMounts::VolumeOfDevice(std::uint64_t device,
                                                        const std::string& path) {
    std::optional<Volume> found;
    for (const WinVolumes::Drive& drive : WinVolumes::Drives()) {
        std::uint32_t serial = 0;
        std::optional<Volume> volume = VolumeAt(drive.root, drive.optical, &serial);
        if (!volume || serial != device) {
            continue;
        }
        const bool holdsPath = LiesBelow(path, drive.root);
        found = std::move(volume);
        if (holdsPath) {
            break;
        }
    }
    return found ? found : VolumeOf(path);
}

std::vector<Mounts::Volume> WinMounts::MountedVolumes() {
    std::vector<Volume> volumes;
    for (const WinVolumes::Drive& drive : WinVolumes::Drives()) {
        if (std::optional<Volume> volume = VolumeAt(drive.root, drive.optical)) {
            volumes.push_back(*std::move(volume));
        }
    }
    return volumes;
}
