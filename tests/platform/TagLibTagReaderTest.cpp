#include "TagLibTagReader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <taglib/fileref.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "catalog/RowFields.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Two and a half seconds of a sine tone in the format the extension names, with the tags
// ffmpeg writes from the metadata options; false when ffmpeg cannot make it.
bool MakeAudio(const fs::path& path, const std::string& options) {
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:duration=2.5 " + options +
        " -metadata 'artist=The Ártist' -metadata 'title=  Tab\tInside  '" +
        " -metadata 'album=Ágætis byrjun' -metadata 'album_artist=Various Artists'" +
        " -metadata track=3/12 -metadata disc=2/3 -metadata date=1997-05-21" +
        " -metadata genre=Rock " + Quoted(path.string()) + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(path);
}

// Artist, title and every field, so results compare as one text.
std::string Describe(const std::optional<FileTags>& tags) {
    if (!tags) {
        return "nothing";
    }
    return tags->artist + "|" + tags->title + "|" + JoinFields(tags->fields);
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

struct FormatRow {
    const char* extension;
    const char* options;  // codec, and the keys this format's tags want where ffmpeg's differ
    std::vector<Column> missing;  // fields the format's tag cannot carry as ffmpeg writes it
};

std::ostream& operator<<(std::ostream& out, const FormatRow& row) {
    return out << row.extension;
}

class TagLibTagReaderFormatTest : public testing::TestWithParam<FormatRow> {};

TEST_P(TagLibTagReaderFormatTest, GivesEveryFieldTheFormatCarries) {
    const FormatRow& row = GetParam();
    TempFolder temp("plumet-tags");
    const fs::path path = temp.path() / (std::string("song.") + row.extension);
    if (!MakeAudio(path, row.options)) {
        GTEST_SKIP() << "ffmpeg cannot write " << row.extension << " here";
    }

    TagLibTagReader reader;
    const std::optional<FileTags> tags = reader.ReadTags(path.string());
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->artist, "The Ártist");
    EXPECT_EQ(tags->title, "Tab Inside");  // control bytes become spaces, ends trimmed
    FieldValues expected;
    const auto set = [&](Column column, std::string value) {
        const bool carried =
            std::find(row.missing.begin(), row.missing.end(), column) == row.missing.end();
        expected[column - kColumnCount] = carried ? std::move(value) : std::string();
    };
    set(kAlbum, "Ágætis byrjun");
    set(kAlbumArtist, "Various Artists");
    set(kTrackNumber, "3");
    set(kDisc, "2");
    set(kYear, "1997");
    set(kGenre, "Rock");
    set(kLength, "2");
    const std::string bitrate = tags->fields[kBitrate - kColumnCount];
    EXPECT_GT(std::atoi(bitrate.c_str()), 0) << bitrate;
    set(kBitrate, bitrate);
    EXPECT_EQ(JoinFields(tags->fields), JoinFields(expected));

    // The extension in any case, the same bytes from memory, and several threads reading
    // at once all give the same.
    const fs::path upper = temp.path() / ("SONG." + Upper(row.extension));
    fs::create_hard_link(path, upper);
    EXPECT_EQ(Describe(reader.ReadTags(upper.string())), Describe(tags));
    EXPECT_EQ(Describe(TagLibTagReader::ReadTagsFromMemory(ReadBytes(path), row.extension)),
              Describe(tags));
    std::vector<std::string> seen(4);
    std::vector<std::thread> threads;
    for (std::string& result : seen) {
        threads.emplace_back([&reader, &result, &path] {
            for (int i = 0; i < 20; ++i) {
                result = Describe(reader.ReadTags(path.string()));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::string& result : seen) {
        EXPECT_EQ(result, Describe(tags));
    }
}

// WAV keeps its tags in an INFO chunk, which has no album artist or disc. ffmpeg writes WMA's
// year and WavPack's album artist and year under keys of its own unless told the usual ones.
// No encoder for Monkey's Audio or Musepack ships with Debian's ffmpeg.
INSTANTIATE_TEST_SUITE_P(
    Formats, TagLibTagReaderFormatTest,
    testing::Values(FormatRow{"mp3", "-c:a libmp3lame", {}}, FormatRow{"flac", "-c:a flac", {}},
                    FormatRow{"ogg", "-c:a libvorbis", {}}, FormatRow{"opus", "-c:a libopus", {}},
                    FormatRow{"m4a", "-c:a aac", {}},
                    FormatRow{"wma", "-c:a wmav2 -metadata WM/Year=1997", {}},
                    FormatRow{"wav", "-c:a pcm_s16le", {kAlbumArtist, kDisc}},
                    FormatRow{"aiff", "-c:a pcm_s16be -write_id3v2 1", {}},
                    FormatRow{"wv",
                              "-c:a wavpack -metadata year=1997 "
                              "-metadata 'album artist=Various Artists'",
                              {}},
                    FormatRow{"ape", "-c:a ape", {}}, FormatRow{"mpc", "-c:a musepack", {}}),
    [](const testing::TestParamInfo<FormatRow>& info) {
        return std::string(info.param.extension);
    });

bool Succeeds(const std::string& command) {
    const int status = std::system((command + " 2>/dev/null").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string BigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// A Vorbis comment carries its cover as a FLAC picture block in base64, which ffmpeg takes
// from a metadata file but cannot attach to Ogg itself.
std::string PictureBlock(const std::string& png) {
    return BigEndian(3) + BigEndian(9) + "image/png" + BigEndian(0) + BigEndian(1280) +
           BigEndian(1280) + BigEndian(24) + BigEndian(0) + BigEndian(png.size()) + png;
}

// An MP3's ID3v2 tag with this many zeros more: declared in the tag's size, as taggers
// leave room to grow, or after it, as a tag shrunk in place leaves.
std::string Padded(const std::string& mp3, std::size_t zeros, bool inTag) {
    const auto byte = [&mp3](std::size_t i) { return static_cast<std::size_t>(mp3[i] & 0x7f); };
    const std::size_t size = byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9);
    std::string header = mp3.substr(0, 10);
    if (inTag) {
        const std::size_t grown = size + zeros;
        for (int i = 0; i < 4; ++i) {
            header[9 - i] = static_cast<char>(grown >> (7 * i) & 0x7f);
        }
    }
    return header + mp3.substr(10, size) + std::string(zeros, '\0') + mp3.substr(10 + size);
}

// Ordinary files whose tags or padding make TagLib walk many headers before the audio: a
// cover of over two mebibytes in each format that carries one, and an MP3 with 64 KiB of
// padding. Length and Bitrate come out as TagLib gives them reading without any bound.
TEST(TagLibTagReaderTest, LargeCoversAndPaddingKeepLengthAndBitrate) {
    TempFolder temp("plumet-cover");
    const fs::path& dir = temp.path();
    const fs::path cover = dir / "cover.png";
    ASSERT_TRUE(
        Succeeds("ffmpeg -nostdin -v error -y -f lavfi -i "
                 "'nullsrc=s=1280x1280,geq=r=random(1)*255:g=random(2)*255:b=random(3)*255' "
                 "-frames:v 1 -pix_fmt rgb24 " +
                 Quoted(cover.string())));
    const std::string png = ReadBytes(cover);
    ASSERT_GT(png.size(), 2u << 20);
    WriteFileBytes(dir / "picture", PictureBlock(png));
    ASSERT_TRUE(Succeeds("{ printf ';FFMETADATA1\\nMETADATA_BLOCK_PICTURE='; base64 -w0 " +
                         Quoted((dir / "picture").string()) + "; echo; } > " +
                         Quoted((dir / "cover.txt").string())));
    const std::string tone = "ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=2.5 ";
    const std::string attached =
        "-i " + Quoted(cover.string()) + " -map 0 -map 1 -c:v copy -disposition:v attached_pic ";
    const std::array<std::pair<const char*, std::string>, 4> covered{{
        {"cover.mp3", attached + "-c:a libmp3lame"},
        {"cover.flac", attached + "-c:a flac"},
        {"cover.m4a", attached + "-c:a aac"},
        {"cover.ogg",
         "-i " + Quoted((dir / "cover.txt").string()) + " -map_metadata 1 -c:a libvorbis"},
    }};
    std::vector<std::string> names;
    for (const auto& [name, options] : covered) {
        ASSERT_TRUE(
            Succeeds(tone + options + " -metadata artist=A " + Quoted((dir / name).string())))
            << name;
        ASSERT_GT(fs::file_size(dir / name), 2u << 20) << name;
        names.emplace_back(name);
    }
    ASSERT_TRUE(Succeeds(tone + "-c:a libmp3lame -metadata artist=A " +
                         Quoted((dir / "plain.mp3").string())));
    const std::string plain = ReadBytes(dir / "plain.mp3");
    WriteFileBytes(dir / "padded.mp3", Padded(plain, 64 << 10, true));
    WriteFileBytes(dir / "gap.mp3", Padded(plain, 64 << 10, false));
    names.insert(names.end(), {"padded.mp3", "gap.mp3"});

    TagLibTagReader reader;
    for (const std::string& name : names) {
        const std::string path = (dir / name).string();
        const TagLib::FileRef unbounded(path.c_str());
        ASSERT_NE(unbounded.audioProperties(), nullptr) << name;
        const std::optional<FileTags> tags = reader.ReadTags(path);
        ASSERT_TRUE(tags.has_value()) << name;
        EXPECT_EQ(tags->artist, "A") << name;
        EXPECT_EQ(tags->fields[kLength - kColumnCount],
                  std::to_string(unbounded.audioProperties()->lengthInSeconds()))
            << name;
        EXPECT_EQ(tags->fields[kBitrate - kColumnCount],
                  std::to_string(unbounded.audioProperties()->bitrate()))
            << name;
    }
}

long PeakKibibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Files that only pretend to be audio give nothing, or what survives, and never crash or
// take much memory; what they cost in time the scan benchmark measures.
TEST(TagLibTagReaderTest, HostileFilesGiveLittleAndCostLittle) {
    TempFolder temp("plumet-hostile");
    const fs::path& dir = temp.path();
    TagLibTagReader reader;
    const long peakBefore = PeakKibibytes();
    constexpr std::uintmax_t kFiveGiB = 5ULL << 30;

    // Sparse: five gibibytes of zeros that take no room on the disc.
    for (const char* extension :
         {"ape", "mp3", "flac", "m4a", "wv", "ogg", "opus", "wma", "wav", "aiff"}) {
        const fs::path zeros = dir / (std::string("zeros.") + extension);
        std::ofstream{zeros};
        fs::resize_file(zeros, kFiveGiB);
        EXPECT_EQ(Describe(reader.ReadTags(zeros.string())), "nothing") << extension;
    }

    // An ID3v2 header whose size, not synchsafe, says two gibibytes: in a small file and in
    // a sparse one that could hold much of it.
    const std::string claim("ID3\x04\x00\x00\x7f\xff\xff\xff", 10);
    WriteFileBytes(dir / "claim.mp3", claim + std::string(3000, '\0'));
    WriteFileBytes(dir / "claim-sparse.mp3", claim);
    fs::resize_file(dir / "claim-sparse.mp3", kFiveGiB);
    for (const char* name : {"claim.mp3", "claim-sparse.mp3"}) {
        EXPECT_EQ(Describe(reader.ReadTags((dir / name).string())), "nothing") << name;
    }

    // Real files cut in half: an MP3 keeps the tag at its start; none crashes.
    for (const char* extension : {"mp3", "flac", "m4a", "ogg", "wv"}) {
        const fs::path whole = dir / (std::string("whole.") + extension);
        if (!MakeAudio(whole, "")) {
            ADD_FAILURE() << "ffmpeg cannot write " << extension;
            continue;
        }
        const std::string bytes = ReadBytes(whole);
        const fs::path half = dir / (std::string("half.") + extension);
        WriteFileBytes(half, bytes.substr(0, bytes.size() / 2));
        const std::optional<FileTags> tags = reader.ReadTags(half.string());
        if (std::string(extension) == "mp3") {
            ASSERT_TRUE(tags.has_value());
            EXPECT_EQ(tags->artist, "The Ártist");
        }
        // Cut anywhere, from memory, with every reader.
        std::mt19937 random(7);
        for (std::string_view other : TagLibTagReader::Extensions()) {
            const std::size_t cut = random() % bytes.size();
            TagLibTagReader::ReadTagsFromMemory(std::string_view(bytes).substr(0, cut), other);
        }
    }

    // Random bytes under every extension, and names that are no file at all.
    std::mt19937 random(14);
    std::string noise(64 << 10, '\0');
    for (std::string_view extension : TagLibTagReader::Extensions()) {
        std::generate(noise.begin(), noise.end(),
                      [&random] { return static_cast<char>(random()); });
        const fs::path path = dir / ("noise." + std::string(extension));
        WriteFileBytes(path, noise);
        reader.ReadTags(path.string());
        TagLibTagReader::ReadTagsFromMemory(noise, extension);
    }
    WriteFileBytes(dir / "empty.mp3", "");
    fs::create_directory(dir / "folder.flac");
    for (const char* name : {"empty.mp3", "folder.flac", "missing.ogg", "noise.txt"}) {
        EXPECT_EQ(Describe(reader.ReadTags((dir / name).string())), "nothing") << name;
    }
    EXPECT_EQ(Describe(TagLibTagReader::ReadTagsFromMemory("", "mp3")), "nothing");

    EXPECT_LT(PeakKibibytes() - peakBefore, 64 << 10) << "KiB more at the peak";
}

}  // namespace
