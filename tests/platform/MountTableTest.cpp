#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "MountTable.h"

namespace {

TEST(MountTableTest, ReadsTheFieldsOfRealLines) {
    const MountTable table = MountTable::Parse(
        "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
        "25 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
        "612 29 11:0 / /media/user/MUSIC\\04001 ro,nosuid,nodev,relatime shared:330 master:7 - "
        "iso9660 /dev/sr0 ro,nojoliet,check=r,map=n,blocksize=2048\n"
        "640 22 8:2 /srv/music /mnt/bound rw,relatime - ext4 /dev/sda2 rw\n");
    ASSERT_EQ(table.entries().size(), 4u);
    const MountTable::Entry& disc = table.entries()[2];
    EXPECT_EQ(disc.mountId, "612");
    EXPECT_EQ(disc.majorMinor, "11:0");
    EXPECT_EQ(disc.root, "/");
    EXPECT_EQ(disc.mountPoint, "/media/user/MUSIC 01");
    EXPECT_EQ(disc.fsType, "iso9660");
    EXPECT_EQ(disc.source, "/dev/sr0");
    EXPECT_EQ(table.entries()[1].source, "proc");
    EXPECT_EQ(table.entries()[3].root, "/srv/music");
    EXPECT_EQ(table.entries()[3].mountPoint, "/mnt/bound");
}

TEST(MountTableTest, SkipsMalformedLinesAndKeepsTheOthers) {
    const MountTable table = MountTable::Parse(
        "this is not a mount line\n"
        "\n"
        "30 22 11:1 / /media/cd ro - iso9660\n"                     // no source
        "31 22 11:1 / /media/cd ro shared:2 iso9660 /dev/sr1 ro\n"  // no separator
        "x 22 11:1 / /media/cd ro - iso9660 /dev/sr1 ro\n"          // mount ID not a number
        "32 22 111 / /media/cd ro - iso9660 /dev/sr1 ro\n"          // no major:minor
        "33 22 11:1 / media/cd ro - iso9660 /dev/sr1 ro\n"          // relative mount point
        "34 22 11:1 / /media/cd ro -\n"
        "35 22 11:1 / /media/cd ro - iso9660 /dev/sr1 ro\r\n"
        "36 22 11:1 / /media/last ro - iso9660 /dev/sr1");
    ASSERT_EQ(table.entries().size(), 2u);
    EXPECT_EQ(table.entries()[0].mountPoint, "/media/cd");
    EXPECT_EQ(table.entries()[1].mountPoint, "/media/last");
    EXPECT_EQ(table.entries()[1].source, "/dev/sr1");
}

TEST(MountTableTest, DecodesOctalEscapes) {
    const struct {
        const char* text;
        const char* decoded;
    } cases[] = {
        {"/media/a\\040b", "/media/a b"},
        {"tab\\011here", "tab\there"},
        {"new\\012line", "new\nline"},
        {"back\\134slash", "back\\slash"},
        {"\\303\\251t\\303\\251", "\xC3\xA9t\xC3\xA9"},
        {"\\101", "A"},
        {"not\\081", "not\\081"},    // 8 is no octal digit
        {"short\\04", "short\\04"},  // too few digits
        {"end\\", "end\\"},
        {"big\\777", "big\\777"},  // beyond a byte
        {"\\\\040", "\\ "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MountTable::DecodeOctalEscapes(c.text), c.decoded) << c.text;
    }
}

TEST(MountTableTest, SurvivesArbitraryBytes) {
    std::uint32_t state = 12345;
    const std::string pieces[] = {" ", "-", "\n", "\\", "\\0", "1", ":", "/", "a", "\0"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(state % 120);
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            text += (state >> 16) % 3 == 0 ? std::string(1, static_cast<char>(state >> 8))
                                           : pieces[(state >> 12) % 10];
        }
        const MountTable table = MountTable::Parse(text);
        for (const MountTable::Entry& entry : table.entries()) {
            EXPECT_FALSE(entry.mountPoint.empty());
        }
    }
}

}  // namespace
