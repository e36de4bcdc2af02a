#include "TagLibTagReader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "catalog/RowFields.h"
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

long PeakKibibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
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
    Write(dir / "claim.mp3", claim + std::string(3000, '\0'));
    Write(dir / "claim-sparse.mp3", claim);
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
        Write(half, bytes.substr(0, bytes.size() / 2));
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
        Write(path, noise);
        reader.ReadTags(path.string());
        TagLibTagReader::ReadTagsFromMemory(noise, extension);
    }
    Write(dir / "empty.mp3", "");
    fs::create_directory(dir / "folder.flac");
    for (const char* name : {"empty.mp3", "folder.flac", "missing.ogg", "noise.txt"}) {
        EXPECT_EQ(Describe(reader.ReadTags((dir / name).string())), "nothing") << name;
    }
    EXPECT_EQ(Describe(TagLibTagReader::ReadTagsFromMemory("", "mp3")), "nothing");

    EXPECT_LT(PeakKibibytes() - peakBefore, 64 << 10) << "KiB more at the peak";
}

}  // namespace
