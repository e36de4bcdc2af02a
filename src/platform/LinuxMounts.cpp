#include "LinuxMounts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "LinuxDrives.h"
#include "TextFile.h"
#include "VolumeDescriptor.h"
#include "catalog/PathParts.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUuidLinks = "/dev/disk/by-uuid";
constexpr std::string_view kCdromMajor = "11";  // the SCSI CD-ROM driver's, sr0 is 11:0

std::string_view Major(const MountTable::Entry& mount) {
    return std::string_view(mount.majorMinor).substr(0, mount.majorMinor.find(':'));
}

// The file system has a block device behind it; anonymous ones (tmpfs, FUSE...) have 0.
bool HasDevice(const MountTable::Entry& mount) {
    return Major(mount) != "0";
}

std::string MountIdOf(const std::string& key) {
    return key.substr(0, key.find('|'));
}

std::optional<std::string> IdOfFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> id;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode))) {
        id = VolumeDescriptor::ReadId(VolumeDescriptor::FromDescriptor(fd));
    }
    ::close(fd);
    return id;
}

std::vector<std::string> NormalPoints(const MountTable& table) {
    std::vector<std::string> points;
    for (const MountTable::Entry& mount : table.entries()) {
        points.push_back(LinuxDrives::NormalisePath(mount.mountPoint));
    }
    return points;
}

// A later mount on the same point hides the earlier ones.
bool HiddenLater(const std::vector<std::string>& points, std::size_t index) {
    return std::find(points.begin() + static_cast<std::ptrdiff_t>(index) + 1, points.end(),
                     points[index]) != points.end();
}

}  // namespace

LinuxMounts::LinuxMounts(std::string root) : root_(std::move(root)), daemons_(root_) {
    while (!root_.empty() && root_.back() == '/') {
        root_.pop_back();
    }
}

std::string LinuxMounts::Under(std::string_view path) const {
    return root_ + std::string(path);
}

MountTable LinuxMounts::ReadTable() const {
    std::string text;
    ReadTextFile(Under("/proc/self/mountinfo"), text);
    return MountTable::Parse(text);
}

std::vector<LinuxMounts::UuidLink> LinuxMounts::ReadUuidLinks() const {
    std::vector<UuidLink> links;
    std::error_code error;
    for (fs::directory_iterator it(Under(kUuidLinks), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const std::string target = fs::read_symlink(it->path(), linkError).string();
        if (linkError || target.empty()) {
            continue;
        }
        const std::string device = LinuxDrives::NormalisePath(
            target.front() == '/' ? target : std::string(kUuidLinks) + "/" + target);
        const std::string name = device.substr(device.rfind('/') + 1);
        links.push_back(UuidLink{LinuxDrives::DecodeUdevEscapes(it->path().filename().string()),
                                 device,
                                 ReadTrimmedTextFile(Under("/sys/class/block/" + name + "/dev"))});
    }
    // Directory order is arbitrary; a device with two names gets the same one every time.
    std::sort(links.begin(), links.end(),
              [](const UuidLink& a, const UuidLink& b) { return a.id < b.id; });
    return links;
}

bool LinuxMounts::IsDisc(const MountTable::Entry& mount) const {
    if (mount.fsType == "iso9660" || mount.fsType == "udf" || mount.fsType == "fuse.fuseiso") {
        return true;
    }
    if (!HasDevice(mount)) {
        return false;
    }
    // SCSI peripheral type 5 is a CD or DVD drive, whatever its driver.
    return Major(mount) == kCdromMajor ||
           ReadTrimmedTextFile(Under("/sys/dev/block/" + mount.majorMinor + "/device/type")) == "5";
}

std::optional<Mounts::Volume> LinuxMounts::Identify(const MountTable::Entry& mount,
                                                    const std::vector<UuidLink>& links) {
    // A bind mount of a folder shows part of a file system; paths below it are not the
    // volume's own.
    if (mount.root != "/") {
        return std::nullopt;
    }
    const bool disc = IsDisc(mount);
    const std::string source = !mount.source.empty() && mount.source.front() == '/'
                                   ? LinuxDrives::NormalisePath(mount.source)
                                   : std::string();
    for (const UuidLink& link : links) {
        if ((!link.majorMinor.empty() && link.majorMinor == mount.majorMinor) ||
            link.device == source) {
            return Volume{link.id, mount.mountPoint, disc};
        }
    }
    // A FUSE daemon given "-o fsname=IMAGE" shows the image as its source, and its type as
    // plain "fuse".
    const bool namedImage = mount.fsType.rfind("fuse", 0) == 0 && !source.empty();
    if (!disc && !namedImage) {
        return std::nullopt;
    }
    std::optional<std::string> id = DiscId(mount);
    if (!id) {
        return std::nullopt;
    }
    return Volume{std::move(*id), mount.mountPoint, true};
}

std::string LinuxMounts::CacheKey(const MountTable::Entry& mount) const {
    // Mount ids and device numbers are reused; a drive's disk sequence number changes with
    // every disc put in it.
    std::string key =
        mount.mountId + "|" + mount.majorMinor + "|" + mount.source + "|" + mount.mountPoint;
    if (HasDevice(mount)) {
        key += "|" + ReadTrimmedTextFile(Under("/sys/dev/block/" + mount.majorMinor + "/diskseq"));
    }
    return key;
}

std::optional<std::string> LinuxMounts::DiscId(const MountTable::Entry& mount) {
    const std::string key = CacheKey(mount);
    std::optional<ReadId> known;
    {
        const std::lock_guard<std::mutex> lock(cacheLock_);
        if (const auto found = discIds_.find(key); found != discIds_.end()) {
            known = found->second;
        }
    }
    if (known && (!known->daemon || daemons_.StillServes(*known->daemon, mount))) {
        return known->id;
    }
    // Read without the lock: a drive spinning up must not hold up the other thread.
    ReadId read = ReadDiscId(mount);
    const std::lock_guard<std::mutex> lock(cacheLock_);
    discIds_[key] = read;
    return read.id;
}

LinuxMounts::ReadId LinuxMounts::ReadDiscId(const MountTable::Entry& mount) const {
    ReadId read;
    if (!mount.source.empty() && mount.source.front() == '/') {
        read.id = IdOfFile(Under(mount.source));
    }
    if (!read.id && !HasDevice(mount)) {
        read.daemon = daemons_.Find(mount);
        if (read.daemon) {
            read.id = IdOfFile(daemons_.ImagePath(*read.daemon));
        }
    }
    return read;
}

void LinuxMounts::ForgetUnmounted(const MountTable& table) {
    std::set<std::string> mounted;
    for (const MountTable::Entry& entry : table.entries()) {
        mounted.insert(entry.mountId);
    }
    const std::lock_guard<std::mutex> lock(cacheLock_);
    std::erase_if(discIds_,
                  [&](const auto& known) { return mounted.count(MountIdOf(known.first)) == 0; });
}

MountTable LinuxMounts::ReadCurrentTable() {
    MountTable table = ReadTable();
    ForgetUnmounted(table);
    return table;
}

std::optional<Mounts::Volume> LinuxMounts::VolumeOf(const std::string& path) {
    const std::string normal = LinuxDrives::NormalAbsolutePath(path);
    if (normal.empty()) {
        return std::nullopt;
    }
    const MountTable table = ReadCurrentTable();
    const MountTable::Entry* deepest = nullptr;
    std::size_t deepestLength = 0;
    for (const MountTable::Entry& mount : table.entries()) {
        const std::string point = LinuxDrives::NormalisePath(mount.mountPoint);
        // A later mount on the same point hides the earlier one, hence >=.
        if (LiesBelow(normal, point) && (deepest == nullptr || point.size() >= deepestLength)) {
            deepest = &mount;
            deepestLength = point.size();
        }
    }
    if (deepest == nullptr) {
        return std::nullopt;
    }
    return Identify(*deepest, ReadUuidLinks());
}

std::optional<Mounts::Volume> LinuxMounts::VolumeOfDevice(std::uint64_t device,
                                                          const std::string& path) {
    const auto number = static_cast<dev_t>(device);
    const std::string majorMinor =
        std::to_string(major(number)) + ":" + std::to_string(minor(number));
    const std::string normal = LinuxDrives::NormalAbsolutePath(path);
    const MountTable table = ReadCurrentTable();
    const std::vector<MountTable::Entry>& entries = table.entries();
    const std::vector<std::string> points = NormalPoints(table);
    bool listed = false;
    const MountTable::Entry* chosen = nullptr;
    std::size_t chosenLength = 0;
    bool chosenAbove = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].majorMinor != majorMinor) {
            continue;
        }
        listed = true;
        // Only a whole mount shows paths as the file system's own; a point another mount
        // hides shows none of them.
        if (entries[i].root != "/" || HiddenLater(points, i)) {
            continue;
        }
        const bool above = !normal.empty() && LiesBelow(normal, points[i]);
        if (above ? !chosenAbove || points[i].size() >= chosenLength : !chosenAbove) {
            chosen = &entries[i];
            chosenLength = points[i].size();
            chosenAbove = above;
        }
    }
    if (!listed) {
        return VolumeOf(path);
    }
    if (chosen == nullptr) {
        return std::nullopt;
    }
    return Identify(*chosen, ReadUuidLinks());
}

std::vector<Mounts::Volume> LinuxMounts::MountedVolumes() {
    const MountTable table = ReadCurrentTable();
    const std::vector<UuidLink> links = ReadUuidLinks();
    const std::vector<MountTable::Entry>& entries = table.entries();
    const std::vector<std::string> points = NormalPoints(table);
    std::vector<Volume> volumes;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (HiddenLater(points, i)) {
            continue;
        }
        if (std::optional<Volume> volume = Identify(entries[i], links)) {
            volumes.push_back(std::move(*volume));
        }
    }
    return volumes;
}
