#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The drive letters and the volumes in them, as Windows lists them.
class WinVolumes {
public:
    struct Drive {
        std::string root;  // "D:\"
        bool optical = false;
    };
    struct Facts {
        std::string label;
        std::uint32_t serial = 0;
        std::string fileSystem;  // "NTFS", "CDFS", "UDF"
    };

    // Every drive letter in use, in the system's order.
    static std::vector<Drive> Drives();
    // What GetVolumeInformationW says of a volume's root; nothing when no volume is there,
    // as for an empty optical drive.
    static std::optional<Facts> FactsOf(const std::string& root);
    // The root of the volume that holds `path` ("D:\"), by GetVolumePathNameW; empty when
    // it cannot be known.
    static std::string RootOf(const std::string& path);
    // The serial number as Windows writes it: "1A2B-3C4D".
    static std::string SerialText(std::uint32_t serial);
    static bool IsOptical(const std::string& root);
};
