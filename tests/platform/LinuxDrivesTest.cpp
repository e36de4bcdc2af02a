#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "LinuxDrives.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemMounts =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
    "25 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "26 22 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n"
    "27 22 8:1 / /media/usb rw,relatime shared:40 - vfat /dev/sda1 rw,fmask=0022\n"
    "broken line without the separator\n";

// A fixture tree laid out as Linux lays out /proc, /sys and /dev.
class LinuxDrivesTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-drives"};
    LinuxDrives drives_{folder_.path().string()};

    void Write(const std::string& path, const std::string& text) const {
        const fs::path file = folder_.path() / path.substr(1);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    void Mounts(const std::string& extra) const {
        Write("/proc/self/mountinfo", kSystemMounts + extra);
    }
    void BlockDevice(const std::string& name, const std::string& majorMinor,
                     const std::string& type = "") const {
        Write("/sys/block/" + name + "/dev", majorMinor + "\n");
        if (!type.empty()) {
            Write("/sys/block/" + name + "/device/type", type + "\n");
        }
    }
    void Label(const std::string& linkName, const std::string& target) const {
        const fs::path links = folder_.path() / "dev/disk/by-label";
        fs::create_directories(links);
        fs::create_symlink(target, links / linkName);
    }
    // Two drives with discs and a hard disk.
    void TwoDiscs() const {
        BlockDevice("sda", "8:0", "0");
        BlockDevice("sr1", "11:1", "5");
        BlockDevice("sr0", "11:0", "5");
        Mounts(
            "612 22 11:0 / /media/user/MUSIC\\04001 ro,nosuid shared:330 - iso9660 /dev/sr0 "
            "ro\n"
            "613 22 11:1 / /media/user/cd ro,nosuid shared:331 - udf /dev/sr1 ro\n");
    }
};

TEST_F(LinuxDrivesTest, FindsNoDriveWhereThereIsNone) {
    EXPECT_TRUE(drives_.OpticalDrives().empty());
    Mounts("");
    BlockDevice("sda", "8:0", "0");
    BlockDevice("loop0", "7:0");
    EXPECT_TRUE(drives_.OpticalDrives().empty());
    EXPECT_EQ(drives_.OpticalMountPointOf("/media/usb/Album"), "");
    EXPECT_EQ(drives_.VolumeLabel("/media/usb"), std::nullopt);
}

TEST_F(LinuxDrivesTest, ListsDrivesInNumericOrderWithTheirMounts) {
    Mounts("");
    BlockDevice("sr0", "11:0", "5");
    {
        const std::vector<Drives::OpticalDrive> found = drives_.OpticalDrives();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].device, "/dev/sr0");
        EXPECT_EQ(found[0].mountPoint, "");
    }
    TwoDiscs();
    BlockDevice("sr10", "11:10");
    BlockDevice("sr2", "11:2");
    BlockDevice("cd", "11:3", "5");  // named otherwise, a CD drive by its SCSI type
    const std::vector<Drives::OpticalDrive> found = drives_.OpticalDrives();
    std::vector<std::string> devices;
    std::vector<std::string> mountPoints;
    for (const Drives::OpticalDrive& drive : found) {
        devices.push_back(drive.device);
        mountPoints.push_back(drive.mountPoint);
    }
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/cd", "/dev/sr0", "/dev/sr1", "/dev/sr2",
                                                 "/dev/sr10"}));
    EXPECT_EQ(mountPoints,
              (std::vector<std::string>{"", "/media/user/MUSIC 01", "/media/user/cd", "", ""}));
}

TEST_F(LinuxDrivesTest, MatchesMountsByDeviceNumber) {
    BlockDevice("sr0", "11:0", "5");
    Mounts("700 22 11:0 / /run/media/disc ro - iso9660 /dev/disk/by-label/X ro\n");
    ASSERT_EQ(drives_.OpticalDrives().size(), 1u);
    EXPECT_EQ(drives_.OpticalDrives()[0].mountPoint, "/run/media/disc");
    EXPECT_EQ(drives_.OpticalMountPointOf("/run/media/disc/a"), "/run/media/disc");
}

TEST_F(LinuxDrivesTest, MapsPathsToTheDiscHoldingThem) {
    TwoDiscs();
    Write("/proc/self/mountinfo", std::string(kSystemMounts) +
                                      "612 22 11:0 / /media/user/MUSIC\\04001 ro - iso9660 "
                                      "/dev/sr0 ro\n"
                                      "613 22 11:1 / /media/cd ro - udf /dev/sr1 ro\n"
                                      "614 613 0:50 / /media/cd/inner rw - tmpfs tmpfs rw\n");
    const struct {
        const char* path;
        const char* mountPoint;
    } cases[] = {
        {"/media/user/MUSIC 01", "/media/user/MUSIC 01"},
        {"/media/user/MUSIC 01/Album/01 Track.mp3", "/media/user/MUSIC 01"},
        {"/media/cd/Album", "/media/cd"},
        {"/media/cd/", "/media/cd"},
        {"//media///cd/./Album/..", "/media/cd"},
        {"/media/usb/../cd/Album", "/media/cd"},
        {"/media/cdx", ""},
        {"/media/cdx/Album", ""},
        {"/media/usb/Album", ""},
        {"/media/cd/inner/file", ""},  // another file system mounted over the disc
        {"/media/cd/inner/../Album", "/media/cd"},
        {"/home/user", ""},
        {"/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drives_.OpticalMountPointOf(c.path), c.mountPoint) << c.path;
    }
}

TEST_F(LinuxDrivesTest, ReadsLabelsFromUdevLinks) {
    TwoDiscs();
    Label("MUSIC\\x2001", "../../sr1");
    Label("Other", "../../sda1");
    Label("Caf\\xc3\\xa9", "/dev/sr0");
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd"), "MUSIC 01");
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd/"), "MUSIC 01");
    EXPECT_EQ(drives_.VolumeLabel("/media/user/MUSIC 01"), "Caf\xC3\xA9");
    EXPECT_EQ(drives_.VolumeLabel("/media/usb"), std::nullopt);
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd/Album"), std::nullopt);
    EXPECT_EQ(drives_.VolumeLabel("/nowhere"), std::nullopt);
}

TEST_F(LinuxDrivesTest, DecodesUdevEscapes) {
    const struct {
        const char* name;
        const char* decoded;
    } cases[] = {
        {"MUSIC\\x2001", "MUSIC 01"}, {"a\\x2fb", "a/b"},     {"\\x5cx20", "\\x20"},
        {"bad\\xzz", "bad\\xzz"},     {"end\\x2", "end\\x2"}, {"plain", "plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinuxDrives::DecodeUdevEscapes(c.name), c.decoded) << c.name;
    }
}

TEST_F(LinuxDrivesTest, ReadsTheLabelFromTheDiscWithoutALink) {
    TwoDiscs();
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd"), std::nullopt);  // no link, no device file
    const bool genisoimage = std::system("command -v genisoimage >/dev/null 2>&1") == 0;
    const bool xorriso = std::system("command -v xorriso >/dev/null 2>&1") == 0;
    if (!genisoimage && !xorriso) {
        GTEST_SKIP() << "neither genisoimage nor xorriso is installed";
    }
    Write("/content/track.mp3", "music");
    fs::create_directories(folder_.path() / "dev");
    const std::string command = std::string(genisoimage ? "genisoimage" : "xorriso -as mkisofs") +
                                " -V MUSIC01 -J -o '" + (folder_.path() / "dev/sr1").string() +
                                "' '" + (folder_.path() / "content").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd"), "MUSIC01");
    Label("Linked", "../../sr1");
    EXPECT_EQ(drives_.VolumeLabel("/media/user/cd"), "Linked");
}

}  // namespace
