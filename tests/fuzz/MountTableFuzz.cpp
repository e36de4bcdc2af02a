// /proc/self/mountinfo and the names below /dev/disk/by-label, as LinuxDrives reads them:
// every entry kept has the kernel's shape, and escapes only ever shorten a text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "LinuxDrives.h"
#include "MountTable.h"

namespace {

bool IsMajorMinor(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon + 1 == text.size()) {
        return false;
    }
    return text.find_first_not_of("0123456789:") == std::string_view::npos &&
           text.find(':', colon + 1) == std::string_view::npos;
}

void CheckNormal(std::string_view path) {
    const std::string normal = LinuxDrives::NormalisePath(path);
    Require(!normal.empty() && normal.front() == '/', "a normal path is absolute");
    Require(normal == "/" || normal.back() != '/', "a normal path has no closing slash");
    Require(normal.find("//") == std::string::npos, "a normal path has no empty part");
    Require((normal + "/").find("/./") == std::string::npos &&
                (normal + "/").find("/../") == std::string::npos,
            "a normal path has no dot parts");
    Require(LinuxDrives::NormalisePath(normal) == normal, "a normal path stays as it is");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    const MountTable table = MountTable::Parse(bytes);
    for (const MountTable::Entry& entry : table.entries()) {
        Require(!entry.mountId.empty() &&
                    entry.mountId.find_first_not_of("0123456789") == std::string::npos,
                "the mount id is a number");
        Require(IsMajorMinor(entry.majorMinor), "major:minor is two numbers");
        Require(!entry.root.empty(), "the root is there");
        Require(!entry.mountPoint.empty() && entry.mountPoint.front() == '/',
                "a mount point is absolute");
        Require(!entry.fsType.empty(), "the type is there");
        CheckNormal(entry.mountPoint);
    }
    Require(MountTable::DecodeOctalEscapes(bytes).size() <= bytes.size(), "octal escapes shorten");
    Require(LinuxDrives::DecodeUdevEscapes(bytes).size() <= bytes.size(), "udev escapes shorten");
    CheckNormal(bytes);
    return 0;
}
