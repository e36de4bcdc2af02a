#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "LinuxMounts.h"
#include "MountTableWatch.h"
#include "PosixFolderReader.h"
#include "scan/CFolderScan.h"
#include "scan/PendingResults.h"
#include "scan/RowNamer.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "volumes/VolumePieces.h"

namespace fs = std::filesystem;

namespace {

using Volume = Mounts::Volume;

// The first sectors of an ISO 9660 disc made at `date` ("YYYYMMDDHHMMSSCC").
std::string IsoImage(const std::string& date) {
    std::string bytes(18 * 2048, '\0');
    const std::size_t at = 16 * 2048;
    bytes[at] = 1;
    bytes.replace(at + 1, 5, "CD001");
    bytes.replace(at + 813, 16, date);  // created
    bytes.replace(at + 830, 16, date);  // modified
    bytes[17 * 2048] = static_cast<char>(255);
    bytes.replace(17 * 2048 + 1, 5, "CD001");
    return bytes;
}

// What every scenario has mounted; each adds its own lines.
constexpr const char* kBase =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "25 22 0:21 / /proc rw,nosuid - proc proc rw\n"
    "26 22 0:30 / /tmp rw - tmpfs tmpfs rw\n"
    "27 22 0:31 / /var/lib/docker/overlay rw - overlay overlay rw,lowerdir=/a\n"
    "28 22 8:2 /srv/share /mnt/bound rw - ext4 /dev/sda2 rw\n";

struct Scenario {
    const char* name;
    std::string mounts;           // after kBase
    std::vector<Volume> volumes;  // MountedVolumes, in table order
    std::vector<std::pair<const char*, std::optional<Volume>>> paths;  // VolumeOf
};

const Volume kRoot{"root-uuid", "/", false};

std::vector<Scenario> Scenarios() {
    const Volume music{"1234-ABCD", "/media/user/MUSIC 01", false};
    const Volume sameLabel{"5678-EF01", "/media/user/MUSIC 011", false};
    const Volume disc{"2024-01-02-03-04-05-06", "/media/user/DISC 1", true};
    return {
        {"nothing but the system",
         "",
         {kRoot},
         {{"/home/user/Music/a.mp3", kRoot},
          {"/tmp/a.mp3", std::nullopt},
          {"/proc/self", std::nullopt},
          {"/var/lib/docker/overlay/x", std::nullopt},
          {"/mnt/bound/a.mp3", std::nullopt},
          {"/media/user/MUSIC 01/a.mp3", kRoot}}},
        {"two sticks with the same label, a disc and a drive without a link",
         "40 22 8:17 / /media/user/MUSIC\\04001 rw - vfat /dev/sdb1 rw\n"
         "41 22 8:33 / /media/user/MUSIC\\040011 rw - vfat /dev/sdc1 rw\n"
         "42 22 11:0 / /media/user/DISC\\0401 ro - iso9660 /dev/sr0 ro\n"
         "43 22 8:50 / /media/user/NOID rw - ext4 /dev/sdd2 rw\n",
         {kRoot, music, sameLabel, disc},
         {{"/media/user/MUSIC 01/Album/01.mp3", music},
          {"/media/user/MUSIC 01", music},
          {"/media/user/MUSIC 011/x", sameLabel},
          {"/media/user/MUSIC 0/x", kRoot},
          {"/media/user/DISC 1/Track.flac", disc},
          {"/media/user/NOID/a", std::nullopt},
          {"/media/user/MUSIC 01/../MUSIC 011", sameLabel}}},
        {"the stick moved to another point",
         "40 22 8:17 / /run/media/user/Elsewhere rw - vfat /dev/sdb1 rw\n",
         {kRoot, {"1234-ABCD", "/run/media/user/Elsewhere", false}},
         {{"/run/media/user/Elsewhere/a", Volume{"1234-ABCD", "/run/media/user/Elsewhere", false}},
          {"/media/user/MUSIC 01/a", kRoot}}},
        {"a later mount hides an earlier one; nested mounts, deepest wins",
         "50 22 8:49 / /mnt/stack rw - ext4 /dev/sdd1 rw\n"
         "51 50 8:65 / /mnt/stack rw - ext4 /dev/sde1 rw\n"
         "52 22 8:81 / /srv rw - xfs /dev/sdf1 rw\n"
         "53 52 8:97 / /srv/music rw - ext4 /dev/sdg1 rw\n"
         "54 53 0:40 / /srv/music/cache rw - tmpfs tmpfs rw\n"
         "55 22 0:41 / /mnt/pool rw - btrfs /dev/sdh1 rw\n",
         {kRoot,
          {"later", "/mnt/stack", false},
          {"outer", "/srv", false},
          {"inner", "/srv/music", false},
          {"pool", "/mnt/pool", false}},
         {{"/mnt/stack/a", Volume{"later", "/mnt/stack", false}},
          {"/srv/a", Volume{"outer", "/srv", false}},
          {"/srv/music/a/b.mp3", Volume{"inner", "/srv/music", false}},
          {"/srv/musicx/a", Volume{"outer", "/srv", false}},
          {"/srv/music/cache/a", std::nullopt},
          {"/mnt/pool/a", Volume{"pool", "/mnt/pool", false}}}},
        {"images served by fuseiso, told apart by connection or by arguments",
         "60 22 0:45 / /home/user/iso rw - fuse.fuseiso fuseiso rw\n"
         "61 22 0:46 / /home/user/old\\040kernel rw - fuse.fuseiso fuseiso rw\n"
         "62 22 0:47 / /home/user/nobody rw - fuse.fuseiso fuseiso rw\n"
         "63 22 0:48 / /home/user/named rw - fuse /images/one.iso rw\n"
         "64 22 0:49 / /home/user/notdisc rw - fuse /images/log rw\n"
         "65 22 0:50 / /home/user/ssh rw - fuse.sshfs host:/music rw\n",
         {kRoot,
          {"2001-02-03-04-05-06-07", "/home/user/iso", true},
          {"2002-02-03-04-05-06-07", "/home/user/old kernel", true},
          {"2001-02-03-04-05-06-07", "/home/user/named", true}},
         {{"/home/user/iso/a.mp3", Volume{"2001-02-03-04-05-06-07", "/home/user/iso", true}},
          {"/home/user/nobody/a.mp3", std::nullopt}}},
    };
}

class LinuxMountsTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-mounts"};
    LinuxMounts mounts_{folder_.path().string()};

    fs::path At(const std::string& path) const { return folder_.path() / path.substr(1); }
    void Write(const std::string& path, const std::string& text) const {
        fs::create_directories(At(path).parent_path());
        std::ofstream(At(path), std::ios::binary) << text;
    }
    void Link(const std::string& path, const std::string& target) const {
        fs::create_directories(At(path).parent_path());
        fs::create_symlink(target, At(path));
    }
    void Device(const std::string& name, const std::string& majorMinor,
                const std::string& uuidLink) const {
        Write("/sys/class/block/" + name + "/dev", majorMinor + "\n");
        if (!uuidLink.empty()) {
            Link("/dev/disk/by-uuid/" + uuidLink, "../../" + name);
        }
    }
    void FuseDaemon(const std::string& pid, const std::string& image, const std::string& connection,
                    const std::vector<std::string>& args) const {
        const std::string process = "/proc/" + pid;
        std::string commandLine;
        for (const std::string& arg : args) {
            commandLine += arg + '\0';
        }
        Write(process + "/comm", "fuseiso\n");
        Write(process + "/cmdline", commandLine);
        Link(process + "/fd/0", "/dev/null");
        Link(process + "/fd/3", At(image).string());
        Write(process + "/fdinfo/3", "pos:\t36864\nflags:\t0100000\n");
        Link(process + "/fd/4", "/dev/fuse");
        // Files inherited from whatever started the daemon.
        Link(process + "/fd/5", At("/images/log").string());
        Write(process + "/fdinfo/5", "pos:\t0\nflags:\t0100001\n");
        Link(process + "/fd/6", At("/images/other.iso").string());
        Write(process + "/fdinfo/6", "pos:\t0\nflags:\t0100000\n");
        Write(process + "/fdinfo/4",
              "pos:\t0\nflags:\t0100002\n" +
                  (connection.empty() ? "" : "fuse_connection:\t" + connection + "\n"));
    }
    void Mounts(const std::string& extra) const {
        Write("/proc/self/mountinfo", kBase + extra + "not a mount line\n");
    }

    void SetUp() override {
        Device("sda2", "8:2", "root-uuid");
        Device("sdb1", "8:17", "1234-ABCD");
        Device("sdc1", "8:33", "5678-EF01");
        Device("sdd1", "8:49", "earlier");
        Device("sde1", "8:65", "later");
        Device("sdf1", "8:81", "outer");
        Device("sdg1", "8:97", "inner");
        Device("sdh1", "8:113", "pool");  // btrfs: the mount's device number is not the disk's
        Device("sdz1", "8:200", "absent");
        Device("sdd2", "8:50", "");
        Link("/dev/disk/by-uuid/dangling", "../../nothing");
        Write("/dev/sr0", IsoImage("2024010203040506"));
        Write("/images/one.iso", IsoImage("2001020304050607"));
        Write("/images/two.iso", IsoImage("2002020304050607"));
        Write("/images/other.iso", IsoImage("1990020304050607"));
        Write("/images/log", "");
        FuseDaemon("700", "/images/one.iso", "45", {"fuseiso", "images/one.iso", "y"});
        FuseDaemon("701", "/images/two.iso", "", {"fuseiso", "-p", "two.iso", "old kernel"});
        FuseDaemon("702", "/images/two.iso", "99", {"fuseiso", "two.iso", "b"});
        Write("/proc/703/comm", "bash\n");
    }
};

void ExpectVolume(const std::optional<Volume>& actual, const std::optional<Volume>& expected,
                  const std::string& where) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << where;
    if (expected) {
        EXPECT_EQ(actual->id, expected->id) << where;
        EXPECT_EQ(actual->mountPoint, expected->mountPoint) << where;
        EXPECT_EQ(actual->disc, expected->disc) << where;
    }
}

TEST_F(LinuxMountsTest, NamesEveryMountedFileSystemThatHasAnIdentity) {
    for (const Scenario& scenario : Scenarios()) {
        Mounts(scenario.mounts);
        const std::vector<Volume> volumes = mounts_.MountedVolumes();
        ASSERT_EQ(volumes.size(), scenario.volumes.size()) << scenario.name;
        for (std::size_t i = 0; i < volumes.size(); ++i) {
            ExpectVolume(volumes[i], scenario.volumes[i], scenario.name);
        }
        for (const auto& [path, expected] : scenario.paths) {
            ExpectVolume(mounts_.VolumeOf(path), expected,
                         std::string(scenario.name) + ": " + path);
        }
    }
}

TEST_F(LinuxMountsTest, ADeviceNamesTheFileSystemWhateverPathLedToIt) {
    Mounts(
        "40 22 8:17 / /media/user/MUSIC\\04001 rw - vfat /dev/sdb1 rw\n"
        "41 22 8:17 /music /srv/music rw - vfat /dev/sdb1 rw\n"
        "42 22 8:33 / /mnt/one rw - vfat /dev/sdc1 rw\n"
        "43 22 8:33 / /mnt/two rw - vfat /dev/sdc1 rw\n"
        "44 22 8:49 /part /mnt/part rw - ext4 /dev/sdd1 rw\n"
        "45 22 8:65 / /mnt/stack rw - ext4 /dev/sde1 rw\n"
        "46 45 8:81 / /mnt/stack rw - xfs /dev/sdf1 rw\n");
    const Volume music{"1234-ABCD", "/media/user/MUSIC 01", false};
    const struct {
        unsigned major, minor;
        const char* path;
        std::optional<Volume> volume;
    } cases[] = {
        {8, 17, "/home/user/Music/stick/a.mp3", music},  // through a link
        {8, 17, "/srv/music/a.mp3", music},              // through a bind mount of a folder
        {8, 17, "/media/user/MUSIC 01/a.mp3", music},
        {8, 2, "/mnt/bound/a.mp3", kRoot},
        {8, 2, "/media/user/MUSIC 01/on-root", kRoot},
        {8, 33, "/mnt/one/a", Volume{"5678-EF01", "/mnt/one", false}},
        {8, 33, "/mnt/two/../two/a", Volume{"5678-EF01", "/mnt/two", false}},
        {8, 33, "/elsewhere/a", Volume{"5678-EF01", "/mnt/two", false}},  // the last listed
        {8, 49, "/mnt/part/a", std::nullopt},                             // mounted only in part
        {8, 65, "/mnt/stack/a", std::nullopt},                            // hidden
        {8, 81, "/mnt/stack/a", Volume{"outer", "/mnt/stack", false}},
        {0, 26, "/tmp/a", std::nullopt},
        {0, 99, "/media/user/MUSIC 01/subvolume/a", music},  // no mount shows it: by path
    };
    for (const auto& c : cases) {
        ExpectVolume(mounts_.VolumeOfDevice(makedev(c.major, c.minor), c.path), c.volume,
                     std::to_string(c.major) + ":" + std::to_string(c.minor) + " " + c.path);
    }
}

// A real walk from one file system into another through a link, the two named by a fixture
// table that gives their real device numbers identities. By its text, the linked folder
// lies on the first.
TEST(LinuxMountsWalkTest, RowsReachedThroughALinkNameTheFileSystemTheyLieOn) {
    if (!fs::is_directory("/dev/shm")) {
        GTEST_SKIP() << "no second file system to link into";
    }
    TempFolder here("plumet-link-walk");
    TempFolder awayFolder("plumet-link-walk", "/dev/shm");
    const fs::path& away = awayFolder.path();
    struct stat hereStatus {};
    struct stat awayStatus {};
    ASSERT_EQ(::stat(here.path().c_str(), &hereStatus), 0);
    ASSERT_EQ(::stat(away.c_str(), &awayStatus), 0);
    if (hereStatus.st_dev == awayStatus.st_dev) {
        GTEST_SKIP() << "the temporary folders share one file system";
    }
    const auto majorMinor = [](dev_t device) {
        return std::to_string(major(device)) + ":" + std::to_string(minor(device));
    };
    TempFolder fixture("plumet-link-mounts");
    const auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories((fixture.path() / path).parent_path());
        std::ofstream(fixture.path() / path, std::ios::binary) << text;
    };
    write("proc/self/mountinfo",
          "1 0 " + majorMinor(hereStatus.st_dev) + " / / rw - ext4 /dev/vdx1 rw\n" + "2 1 " +
              majorMinor(awayStatus.st_dev) + " / /away rw - ext4 /dev/vdy1 rw\n");
    write("sys/class/block/vdx1/dev", majorMinor(hereStatus.st_dev) + "\n");
    write("sys/class/block/vdy1/dev", majorMinor(awayStatus.st_dev) + "\n");
    fs::create_directories(fixture.path() / "dev/disk/by-uuid");
    fs::create_symlink("../../vdx1", fixture.path() / "dev/disk/by-uuid/here-id");
    fs::create_symlink("../../vdy1", fixture.path() / "dev/disk/by-uuid/away-id");
    LinuxMounts mounts(fixture.path().string());

    std::ofstream(here.path() / "a.mp3") << "x";
    fs::create_directories(away / "Album");
    std::ofstream(away / "Album" / "b.mp3") << "y";
    fs::create_directory_symlink(away / "Album", here.path() / "linked");

    PosixFolderReader reader;
    PendingResults pending;
    const std::atomic<bool> cancel{false};
    FixedLocale locale;
    const RowNamer namer({}, std::nullopt, ",");
    WalkContext walk{reader, pending, "audio", namer, locale, cancel, {}, {}};
    walk.mounts = &mounts;
    CFolderScan(here.path().string()).ScanFolderProc(walk);
    std::map<std::string, std::pair<std::string, std::string>> places;
    for (const CatalogRow& row : pending.Take()) {
        places[fs::path(row.Cell(kPath)).filename().string()] = {std::string(RowVolume(row)),
                                                                 std::string(RowMount(row))};
    }
    using Place = std::pair<std::string, std::string>;
    EXPECT_EQ(places["a.mp3"], Place("here-id", "/"));
    EXPECT_EQ(places["b.mp3"], Place("away-id", "/away"));
    EXPECT_EQ(places.size(), 2u);
}

TEST_F(LinuxMountsTest, ReadsADiscOncePerMountAndAgainForANewDisc) {
    const std::string drive = "42 22 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n";
    Mounts(drive);
    const auto discId = [this]() -> std::string {
        const std::optional<Volume> volume = mounts_.VolumeOf("/media/cd/a");
        return volume ? volume->id : "none";
    };
    EXPECT_EQ(discId(), "2024-01-02-03-04-05-06");
    // The same mount is not read again...
    Write("/dev/sr0", IsoImage("2025010203040506"));
    EXPECT_EQ(discId(), "2024-01-02-03-04-05-06");
    EXPECT_EQ(mounts_.MountedVolumes().back().id, "2024-01-02-03-04-05-06");
    // ...but a disc put in the drive under the same mount id is.
    Write("/sys/dev/block/11:0/diskseq", "7\n");
    EXPECT_EQ(discId(), "2025-01-02-03-04-05-06");
    // Once unmounted the mount id may come back for another disc.
    Mounts("");
    EXPECT_EQ(discId(), "root-uuid");
    Write("/dev/sr0", IsoImage("2026010203040506"));
    Mounts(drive);
    EXPECT_EQ(discId(), "2026-01-02-03-04-05-06");
    // A daemon that now serves another image is asked again.
    Mounts("60 22 0:45 / /iso rw - fuse.fuseiso fuseiso rw\n");
    EXPECT_EQ(mounts_.VolumeOf("/iso")->id, "2001-02-03-04-05-06-07");
    fs::remove_all(At("/proc/700"));
    FuseDaemon("704", "/images/two.iso", "45", {"fuseiso", "two.iso", "/iso"});
    EXPECT_EQ(mounts_.VolumeOf("/iso")->id, "2002-02-03-04-05-06-07");
}

TEST_F(LinuxMountsTest, AWatchSaysWhenTheTableTextChanged) {
    Mounts("");
    MountTableWatch watch(folder_.path().string() + "/");
    ASSERT_GE(watch.fd(), 0);
    EXPECT_FALSE(watch.TakeChange());
    // Rewritten in place, as the kernel's file is the same file with new text.
    Mounts("40 22 8:17 / /media/stick rw - vfat /dev/sdb1 rw\n");
    EXPECT_TRUE(watch.TakeChange());
    EXPECT_FALSE(watch.TakeChange());
    Mounts("");
    EXPECT_TRUE(watch.TakeChange());

    MountTableWatch nowhere(At("/missing").string());
    EXPECT_EQ(nowhere.fd(), -1);
    EXPECT_FALSE(nowhere.TakeChange());
}

TEST(FuseDaemonsTest, FindsTheImageAndTheMountPointAmongTheArguments) {
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> image;
        std::optional<std::string> mountPoint;
    } cases[] = {
        {{"image.iso", "mnt"}, "image.iso", "mnt"},
        {{"-p", "-n", "image.iso", "/mnt/a b"}, "image.iso", "/mnt/a b"},
        {{"-c", "UTF-8", "image.iso", "mnt", "-o", "ro"}, "image.iso", "mnt"},
        {{"-o", "allow_other", "image.iso", "-f", "mnt"}, "image.iso", "mnt"},
        {{"image.iso"}, "image.iso", std::nullopt},
        {{"-c"}, std::nullopt, std::nullopt},
        {{}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string where = c.args.empty() ? "" : c.args.back();
        EXPECT_EQ(FuseDaemons::Operand(c.args, 0), c.image) << where;
        EXPECT_EQ(FuseDaemons::Operand(c.args, 1), c.mountPoint) << where;
    }
}

}  // namespace
