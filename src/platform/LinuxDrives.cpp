#include "LinuxDrives.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "TextFile.h"
#include "VolumeDescriptor.h"
#include "catalog/PathParts.h"

namespace fs = std::filesystem;

namespace {

// Empty when the file cannot be read.
std::string ReadSmallFile(const std::string& path) {
    std::string text;
    ReadTextFile(path, text);
    return text;
}

std::string TrimmedLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// sr2 before sr10: names compare by their letters, then by the number that ends them.
bool NaturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') {
            --digits;
        }
        std::string number = name.substr(digits);
        number.erase(0, std::min(number.find_first_not_of('0'), number.size()));
        return std::make_pair(name.substr(0, digits), number);
    };
    const auto [prefixA, numberA] = split(a);
    const auto [prefixB, numberB] = split(b);
    if (prefixA != prefixB) {
        return prefixA < prefixB;
    }
    if (numberA.size() != numberB.size()) {
        return numberA.size() < numberB.size();
    }
    if (numberA != numberB) {
        return numberA < numberB;
    }
    return a < b;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

LinuxDrives::LinuxDrives(std::string root) : root_(std::move(root)) {
    while (!root_.empty() && root_.back() == '/') {
        root_.pop_back();
    }
}

std::string LinuxDrives::Under(std::string_view path) const {
    return root_ + std::string(path);
}

std::string LinuxDrives::NormalisePath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) {
            slash = path.size();
        }
        const std::string_view part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string normal;
    for (const std::string_view part : parts) {
        normal += '/';
        normal += part;
    }
    return normal.empty() ? "/" : normal;
}

std::string LinuxDrives::DecodeUdevEscapes(std::string_view name) {
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = HexValue(name[i + 2]);
            const int low = HexValue(name[i + 3]);
            if (high >= 0 && low >= 0) {
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        decoded.push_back(name[i]);
    }
    return decoded;
}

std::vector<LinuxDrives::Drive> LinuxDrives::FindDrives() const {
    std::vector<Drive> drives;
    std::error_code error;
    const std::string block = Under("/sys/block");
    for (fs::directory_iterator it(block, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string folder = block + "/" + name;
        // SCSI peripheral type 5 is a CD or DVD drive, whatever its name.
        if (name.rfind("sr", 0) != 0 &&
            TrimmedLine(ReadSmallFile(folder + "/device/type")) != "5") {
            continue;
        }
        drives.push_back(Drive{name, TrimmedLine(ReadSmallFile(folder + "/dev"))});
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return NaturalLess(a.name, b.name); });
    return drives;
}

MountTable LinuxDrives::ReadMounts() const {
    return MountTable::Parse(ReadSmallFile(Under("/proc/self/mountinfo")));
}

bool LinuxDrives::IsOn(const MountTable::Entry& mount, const Drive& drive) {
    return mount.source == "/dev/" + drive.name ||
           (!drive.majorMinor.empty() && mount.majorMinor == drive.majorMinor);
}

std::vector<Drives::OpticalDrive> LinuxDrives::OpticalDrives() {
    const MountTable mounts = ReadMounts();
    std::vector<OpticalDrive> found;
    for (const Drive& drive : FindDrives()) {
        OpticalDrive optical{"/dev/" + drive.name, {}};
        for (const MountTable::Entry& mount : mounts.entries()) {
            if (IsOn(mount, drive)) {
                optical.mountPoint = mount.mountPoint;
                break;
            }
        }
        found.push_back(std::move(optical));
    }
    return found;
}

std::string LinuxDrives::NormalAbsolutePath(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute.front() != '/') {
        std::error_code error;
        const fs::path current = fs::current_path(error);
        if (error) {
            return {};
        }
        absolute = current.string() + "/" + absolute;
    }
    return NormalisePath(absolute);
}

std::string LinuxDrives::OpticalMountPointOf(const std::string& path) {
    const std::string normal = NormalAbsolutePath(path);
    if (normal.empty()) {
        return {};
    }
    const MountTable mounts = ReadMounts();
    const MountTable::Entry* deepest = nullptr;
    std::size_t deepestLength = 0;
    for (const MountTable::Entry& mount : mounts.entries()) {
        const std::string point = NormalisePath(mount.mountPoint);
        // A later mount on the same point hides the earlier one, hence >=.
        if (LiesBelow(normal, point) && (deepest == nullptr || point.size() >= deepestLength)) {
            deepest = &mount;
            deepestLength = point.size();
        }
    }
    if (deepest == nullptr) {
        return {};
    }
    for (const Drive& drive : FindDrives()) {
        if (IsOn(*deepest, drive)) {
            return deepest->mountPoint;
        }
    }
    return {};
}

std::optional<std::string> LinuxDrives::VolumeLabel(const std::string& mountPoint) {
    const std::string normal = NormalisePath(mountPoint);
    const MountTable mounts = ReadMounts();
    const std::vector<Drive> drives = FindDrives();
    std::optional<std::string> name;
    for (const MountTable::Entry& mount : mounts.entries()) {
        if (NormalisePath(mount.mountPoint) != normal) {
            continue;
        }
        // Later mounts on the same point win, as they hide the earlier ones.
        name.reset();
        for (const Drive& drive : drives) {
            if (IsOn(mount, drive)) {
                name = drive.name;
                break;
            }
        }
    }
    if (!name) {
        return std::nullopt;
    }
    if (std::optional<std::string> label = LabelFromLinks(*name)) {
        return label;
    }
    return LabelFromDisc(*name);
}

std::optional<std::string> LinuxDrives::LabelFromLinks(const std::string& name) const {
    constexpr std::string_view kLinks = "/dev/disk/by-label";
    const std::string device = "/dev/" + name;
    std::vector<std::string> labels;
    std::error_code error;
    for (fs::directory_iterator it(Under(kLinks), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) {
            continue;
        }
        const std::string text = target.string();
        const std::string resolved = NormalisePath(
            !text.empty() && text.front() == '/' ? text : std::string(kLinks) + "/" + text);
        if (resolved == device) {
            labels.push_back(DecodeUdevEscapes(it->path().filename().string()));
        }
    }
    if (labels.empty()) {
        return std::nullopt;
    }
    std::sort(labels.begin(), labels.end());
    return labels.front();
}

std::optional<std::string> LinuxDrives::LabelFromDisc(const std::string& name) const {
    // Non-blocking, so an empty drive answers at once instead of waiting for a disc.
    const int fd = ::open(Under("/dev/" + name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> label =
        VolumeDescriptor::ReadLabel(VolumeDescriptor::FromDescriptor(fd));
    ::close(fd);
    return label;
}
