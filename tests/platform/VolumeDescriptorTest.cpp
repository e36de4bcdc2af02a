#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "VolumeDescriptor.h"
#include "support/TempFolder.h"

namespace {

constexpr std::size_t kSector = 2048;

std::optional<std::string> LabelOf(const std::string& image) {
    return VolumeDescriptor::ReadLabel(VolumeDescriptor::FromMemory(image));
}

// Disc images built byte by byte, so each field the reader relies on can be broken alone.
class Image {
public:
    explicit Image(std::size_t sectors = 300) : bytes(sectors * kSector, '\0') {}

    void Put(std::size_t at, const std::string& data) { bytes.replace(at, data.size(), data); }
    void Put16(std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>(value >> 8);
    }
    void Put32(std::size_t at, std::uint32_t value) {
        Put16(at, static_cast<std::uint16_t>(value & 0xFFFF));
        Put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }

    void IsoDescriptor(std::size_t sector, int type, const std::string& identifier,
                       const std::string& escape = "") {
        const std::size_t at = sector * kSector;
        bytes[at] = static_cast<char>(type);
        Put(at + 1, "CD001");
        bytes[at + 6] = 1;
        Put(at + 40, identifier);
        Put(at + 88, escape);
    }
    void Recognition(std::size_t sector, const std::string& identifier) {
        Put(sector * kSector + 1, identifier);
    }
    void UdfTag(std::size_t block, std::uint16_t identifier) {
        const std::size_t at = block * kSector;
        Put16(at, identifier);
        Put16(at + 2, 2);
        Put32(at + 12, static_cast<std::uint32_t>(block));
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < 16; ++i) {
            if (i != 4) {
                sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(bytes[at + i]));
            }
        }
        bytes[at + 4] = static_cast<char>(sum);
    }
    // A UDF volume: recognition sequence, anchor, and a sequence at block 32.
    void Udf(const std::string& volumeDstring, const std::string& logicalDstring,
             std::size_t recognition = 16) {
        Recognition(recognition, "BEA01");
        Recognition(recognition + 1, "NSR02");
        Recognition(recognition + 2, "TEA01");
        Put32(256 * kSector + 16, 4 * kSector);
        Put32(256 * kSector + 20, 32);
        UdfTag(256, 2);
        if (!volumeDstring.empty()) {
            Put(32 * kSector + 24, volumeDstring);
            UdfTag(32, 1);
        }
        if (!logicalDstring.empty()) {
            Put(33 * kSector + 84, logicalDstring);
            UdfTag(33, 6);
        }
        UdfTag(34, 8);
    }

    std::string bytes;
};

std::string Padded(const std::string& text, std::size_t size, char fill = ' ') {
    return text + std::string(size - text.size(), fill);
}

std::string Ucs2(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) {
        out += '\0';
        out += c;
    }
    return out;
}

// OSTA compressed unicode: compression id, characters, zeros, used length in the last byte.
std::string Dstring(char compression, const std::string& characters, std::size_t size) {
    std::string field = std::string(1, compression) + characters;
    const std::size_t used = field.size();
    field.resize(size, '\0');
    field[size - 1] = static_cast<char>(used);
    return field;
}

TEST(VolumeDescriptorTest, ReadsIso9660Labels) {
    {
        Image image;
        image.IsoDescriptor(16, 1, Padded("MUSIC01", 32));
        image.IsoDescriptor(17, 255, "");
        EXPECT_EQ(LabelOf(image.bytes), "MUSIC01");
    }
    for (const char* escape : {"%/@", "%/C", "%/E"}) {
        Image image;
        image.IsoDescriptor(16, 1, Padded("SUMMER_2008", 32));
        image.IsoDescriptor(17, 2, Ucs2("Summer 2008") + Ucs2("     "), escape);
        image.IsoDescriptor(18, 255, "");
        EXPECT_EQ(LabelOf(image.bytes), "Summer 2008") << escape;
    }
    {
        // A supplementary descriptor without Joliet's escape is some other character set.
        Image image;
        image.IsoDescriptor(16, 1, Padded("PLAIN", 32));
        image.IsoDescriptor(17, 2, Ucs2("Other"), "%/X");
        EXPECT_EQ(LabelOf(image.bytes), "PLAIN");
    }
    {
        Image image;
        image.IsoDescriptor(16, 1, Padded("", 32));
        EXPECT_EQ(LabelOf(image.bytes), std::nullopt);
    }
    {
        Image image;
        image.IsoDescriptor(16, 1, Padded("", 32));
        image.IsoDescriptor(17, 2, Ucs2("Caf") + std::string("\x00\xE9", 2), "%/E");
        EXPECT_EQ(LabelOf(image.bytes), "Caf\xC3\xA9");
    }
}

TEST(VolumeDescriptorTest, ReadsUdfLabels) {
    {
        Image image;
        image.Udf(Dstring(8, "Volume", 32), Dstring(8, "Logical", 128));
        EXPECT_EQ(LabelOf(image.bytes), "Logical");
    }
    {
        Image image;
        image.Udf(Dstring(8, "Volume", 32), "");
        EXPECT_EQ(LabelOf(image.bytes), "Volume");
    }
    {
        Image image;
        image.Udf("", Dstring(16, Ucs2("Disc 01"), 128));
        EXPECT_EQ(LabelOf(image.bytes), "Disc 01");
    }
    {
        Image image;
        image.Udf("", Dstring(8, "Caf\xE9", 128));
        EXPECT_EQ(LabelOf(image.bytes), "Caf\xC3\xA9");
    }
    {
        // A bridge disc: the ISO 9660 name is the shortened copy.
        Image image;
        image.IsoDescriptor(16, 1, Padded("BRIDGE", 32));
        image.IsoDescriptor(17, 255, "");
        image.Udf("", Dstring(8, "Bridge Disc", 128), 18);
        EXPECT_EQ(LabelOf(image.bytes), "Bridge Disc");
        EXPECT_EQ(VolumeDescriptor::ReadIso9660Label(VolumeDescriptor::FromMemory(image.bytes)),
                  "BRIDGE");
    }
}

TEST(VolumeDescriptorTest, BrokenDescriptorsGiveNothing) {
    Image udf;
    udf.Udf(Dstring(8, "Volume", 32), Dstring(8, "Logical", 128));
    Image iso;
    iso.IsoDescriptor(16, 1, Padded("MUSIC01", 32));

    Image badAnchorChecksum = udf;
    badAnchorChecksum.bytes[256 * kSector + 4] ^= 1;
    Image anchorElsewhere = udf;
    anchorElsewhere.Put32(256 * kSector + 12, 255);
    Image noNsr = udf;
    noNsr.Recognition(17, "XXXXX");
    Image lengthTooLong = udf;
    lengthTooLong.bytes[33 * kSector + 84 + 127] = static_cast<char>(200);
    lengthTooLong.UdfTag(33, 6);
    lengthTooLong.bytes[32 * kSector + 24 + 31] = static_cast<char>(40);
    lengthTooLong.UdfTag(32, 1);
    Image unknownCompression = udf;
    unknownCompression.bytes[33 * kSector + 84] = 9;
    unknownCompression.UdfTag(33, 6);
    unknownCompression.bytes[32 * kSector + 24] = 9;
    unknownCompression.UdfTag(32, 1);
    Image sequenceOffTheEnd = udf;
    sequenceOffTheEnd.Put32(256 * kSector + 20, 0xFFFFFFF0u);
    sequenceOffTheEnd.UdfTag(256, 2);

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"zeros", std::string(300 * kSector, '\0')},
        {"garbage", std::string(300 * kSector, '\xA5')},
        {"iso cut inside the identifier", iso.bytes.substr(0, 16 * kSector + 50)},
        {"udf cut before the anchor", udf.bytes.substr(0, 256 * kSector + 10)},
        {"udf anchor checksum", badAnchorChecksum.bytes},
        {"udf anchor location", anchorElsewhere.bytes},
        {"udf without NSR", noNsr.bytes},
        {"udf length beyond the field", lengthTooLong.bytes},
        {"udf unknown compression", unknownCompression.bytes},
        {"udf sequence past the end", sequenceOffTheEnd.bytes},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LabelOf(c.bytes), std::nullopt) << c.name;
    }
}

TEST(VolumeDescriptorTest, SurvivesCorruptedImages) {
    Image image;
    image.IsoDescriptor(16, 1, Padded("MUSIC01", 32));
    image.IsoDescriptor(17, 2, Ucs2("Music"), "%/E");
    image.Udf(Dstring(8, "Volume", 32), Dstring(16, Ucs2("Logical"), 128));
    std::uint32_t state = 7;
    for (int round = 0; round < 500; ++round) {
        std::string bytes = image.bytes;
        for (int flip = 0; flip < 40; ++flip) {
            state = state * 1103515245u + 12345u;
            const std::size_t block = (state >> 8) % 4 == 0 ? 256 : 16 + (state >> 4) % 20;
            bytes[block * kSector + (state >> 12) % 256] = static_cast<char>(state >> 24);
        }
        bytes.resize(bytes.size() - (state >> 10) % (bytes.size() / 2));
        (void)LabelOf(bytes);
    }
}

// Images made by the tools that burn real discs.
class VolumeImageTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-volume"};

    static bool OnPath(const std::string& tool) {
        return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
    }
    bool Run(const std::string& command) const {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }
    std::string PathOf(const std::string& name) const { return (folder_.path() / name).string(); }
    std::optional<std::string> LabelOfFile(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return LabelOf(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    // genisoimage, or xorriso in its mkisofs guise.
    std::string IsoTool() const {
        if (OnPath("genisoimage")) {
            return "genisoimage";
        }
        if (OnPath("xorriso")) {
            return "xorriso -as mkisofs";
        }
        return {};
    }
};

TEST_F(VolumeImageTest, ReadsIsoImages) {
    const std::string tool = IsoTool();
    if (tool.empty()) {
        GTEST_SKIP() << "neither genisoimage nor xorriso is installed";
    }
    std::filesystem::create_directory(PathOf("content"));
    std::ofstream(PathOf("content/track.mp3")) << "music";
    const std::string content = " '" + PathOf("content") + "'";
    ASSERT_TRUE(Run(tool + " -V MUSIC01 -o '" + PathOf("plain.iso") + "'" + content));
    ASSERT_TRUE(Run(tool + " -V 'Summer 2008' -J -o '" + PathOf("joliet.iso") + "'" + content));
    EXPECT_EQ(LabelOfFile("plain.iso"), "MUSIC01");
    EXPECT_EQ(LabelOfFile("joliet.iso"), "Summer 2008");
    // With the primary name overwritten, only the Joliet descriptor can give the label.
    {
        std::fstream image(PathOf("joliet.iso"), std::ios::binary | std::ios::in | std::ios::out);
        image.seekp(16 * kSector + 40);
        image << "PRIMARY";
    }
    EXPECT_EQ(LabelOfFile("joliet.iso"), "Summer 2008");
    std::ifstream plain(PathOf("plain.iso"), std::ios::binary);
    EXPECT_EQ(VolumeDescriptor::ReadIso9660Label(VolumeDescriptor::FromMemory(
                  std::string(std::istreambuf_iterator<char>(plain), {}))),
              "MUSIC01");
}

TEST_F(VolumeImageTest, ReadsUdfImages) {
    if (!OnPath("mkudffs")) {
        GTEST_SKIP() << "mkudffs is not installed";
    }
    const struct {
        const char* options;
        const char* label;
    } cases[] = {
        {"--label=Disc01", "Disc01"},
        {"--lvid='Logical Name' --vid=Volume", "Logical Name"},
        {"--blocksize=512 --label=Small", "Small"},
        {"--media-type=cd --label=Pressed", "Pressed"},
    };
    for (const auto& c : cases) {
        const std::string image = PathOf("udf.img");
        std::filesystem::remove(image);
        ASSERT_TRUE(Run("truncate -s 2M '" + image + "'"));
        ASSERT_TRUE(Run(std::string("mkudffs ") + c.options + " '" + image + "'")) << c.options;
        EXPECT_EQ(LabelOfFile("udf.img"), c.label) << c.options;
    }
}

// libblkid's UUID of an image file, empty when it gives none.
std::string BlkidId(const std::string& path) {
    const std::string command = "blkid -p -o value -s UUID '" + path + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            out += buffer;
        }
        ::pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

std::optional<std::string> IdOfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    return VolumeDescriptor::ReadId(VolumeDescriptor::FromMemory(bytes));
}

TEST_F(VolumeImageTest, IdsAreTheOnesBlkidGives) {
    if (!OnPath("blkid")) {
        GTEST_SKIP() << "blkid is not installed";
    }
    const auto isoDates = [](const std::string& created, const std::string& modified) {
        Image image;
        image.IsoDescriptor(16, 1, Padded("DATES", 32));
        image.Put(16 * kSector + 813, created);
        image.Put(16 * kSector + 830, modified);
        image.IsoDescriptor(17, 255, "");
        return image;
    };
    // A real UDF volume whose volume set identifier each case overwrites.
    const bool haveUdf = OnPath("mkudffs") && Run("truncate -s 2M '" + PathOf("udf.img") + "'") &&
                         Run("mkudffs --blocksize=2048 '" + PathOf("udf.img") + "'");
    ASSERT_TRUE(haveUdf || !OnPath("mkudffs"));
    std::ifstream udfFile(PathOf("udf.img"), std::ios::binary);
    const std::string udf(std::istreambuf_iterator<char>(udfFile), {});
    const auto udfVolumeSet = [&udf](const std::string& volumeSet) {
        Image image(0);
        image.bytes = udf;
        if (!udf.empty()) {
            const std::size_t sequence = static_cast<std::uint8_t>(udf[256 * kSector + 20]) |
                                         static_cast<std::uint8_t>(udf[256 * kSector + 21]) << 8;
            image.Put(sequence * kSector + 72, volumeSet);
        }
        return image;
    };
    const std::string unset = std::string(16, '0') + '\0';
    const struct {
        const char* name;
        Image image;
        std::optional<std::string> id;
    } cases[] = {
        {"modified", isoDates("1999123123595900\x04", "2024010203040506\0"),
         "2024-01-02-03-04-05-06"},
        {"created when modified is unset", isoDates("1999123123595999\x04", unset),
         "1999-12-31-23-59-59-99"},
        {"zeros in another zone are a date", isoDates(unset, std::string(16, '0') + '\x08'),
         "0000-00-00-00-00-00-00"},
        {"neither date set", isoDates(unset, unset), std::nullopt},
        {"spaces", isoDates(unset, "2024 1 2  3 4 5 \0"), "2024- 1- 2-  -3 -4 -5 "},
        {"hex volume set", udfVolumeSet(Dstring(8, "6b197b0400000ce5LinuxUDF", 128)),
         "6b197b0400000ce5"},
        {"uppercase hex", udfVolumeSet(Dstring(8, "6B197B04ABCDEF01", 128)), "6b197b04abcdef01"},
        {"a time then text", udfVolumeSet(Dstring(8, "12345678Plumet!!", 128)), "12345678506c756d"},
        {"text", udfVolumeSet(Dstring(8, "Hello World Disc", 128)), "48656c6c6f20576f"},
        {"too short", udfVolumeSet(Dstring(8, "short", 128)), std::nullopt},
        {"eight characters", udfVolumeSet(Dstring(8, "ABCDEF01", 128)), "abcdef0100000000"},
        {"UTF-16", udfVolumeSet(Dstring(16, Ucs2("0123456789abcdefXYZ"), 128)), "0123456789abcdef"},
        {"characters cut at 16 bytes",
         udfVolumeSet(Dstring(8, "abc\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9", 128)), "616263c3a9c3a9c3"},
        {"unknown compression", udfVolumeSet(Dstring(9, "6b197b0400000ce5", 128)), std::nullopt},
        {"length past the field", udfVolumeSet(Dstring(8, "0123456789abcdef", 127) + "\xC8"),
         "0123456789abcdef"},
        {"empty volume set", udfVolumeSet(std::string(128, '\0')), std::nullopt},
    };
    for (const auto& c : cases) {
        if (c.image.bytes.empty()) {
            continue;  // no mkudffs
        }
        const std::string path = PathOf("case.img");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.image.bytes;
        EXPECT_EQ(IdOfFile(path), c.id) << c.name;
        EXPECT_EQ(IdOfFile(path).value_or(""), BlkidId(path)) << c.name;
    }

    // Real images, whose dates and volume sets the tools make up.
    std::filesystem::create_directory(PathOf("content"));
    std::ofstream(PathOf("content/track.mp3")) << "music";
    const std::string content = " '" + PathOf("content") + "'";
    std::vector<std::string> made;
    const std::string tool = IsoTool();
    for (const char* options : {"", " -J", " -udf", " -udf -J"}) {
        if (!tool.empty()) {
            made.push_back(PathOf("made" + std::to_string(made.size()) + ".iso"));
            ASSERT_TRUE(Run(tool + options + " -o '" + made.back() + "'" + content)) << options;
        }
    }
    if (OnPath("mkudffs")) {
        for (const char* options :
             {"--uuid=0123456789abcdef", "--blocksize=512", "--fullvsid=Plumet-test-set"}) {
            made.push_back(PathOf("made" + std::to_string(made.size()) + ".img"));
            ASSERT_TRUE(Run("truncate -s 2M '" + made.back() + "'"));
            ASSERT_TRUE(Run(std::string("mkudffs ") + options + " '" + made.back() + "'"));
        }
    }
    for (const std::string& path : made) {
        const std::optional<std::string> id = IdOfFile(path);
        ASSERT_TRUE(id.has_value()) << path;
        EXPECT_EQ(*id, BlkidId(path)) << path;
    }
}

}  // namespace
