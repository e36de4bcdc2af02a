// Makes the two trees the tag benchmark reads, the same files with tags and without:
//   make_tag_tree TAGGED UNTAGGED [--files N] [--huge K]
// Artist/Album (Year)/NN - Title.ext, MP3, FLAC, Ogg and M4A mixed. ffmpeg writes one tiny
// untagged file per format once; every file is a copy of one, tagged through TagLib. K sparse
// files of five gibibytes of zeros, named .ape and .mp3, lie among them in both trees.
// Prints what it made as "name: value" lines.

#include <sys/wait.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 4> kFormats{"mp3", "flac", "ogg", "m4a"};
constexpr std::array<std::string_view, 4> kCodecs{"-c:a libmp3lame -b:a 32k",
                                                  "-c:a flac -compression_level 0",
                                                  "-c:a libvorbis -q:a 0", "-c:a aac -b:a 32k"};
constexpr int kTracksPerAlbum = 10;
constexpr int kAlbumsPerArtist = 10;
constexpr std::uintmax_t kHugeSize = 5ULL << 30;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A quarter second of a tone, without tags or the encoder's name.
bool MakeTemplate(const fs::path& path, std::string_view codec) {
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:duration=0.25 -ac 1 "
        "-ar 22050 -map_metadata -1 -fflags +bitexact -flags:a +bitexact " +
        std::string(codec) + " '" + path.string() + "'";
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Padded(int number, int width) {
    std::string text = std::to_string(number);
    return std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, '0') + text;
}

bool Tag(const fs::path& path, int artist, int album, int track, int year) {
    TagLib::FileRef file(path.c_str(), false);
    if (file.isNull()) {
        return false;
    }
    const std::string artistName = "Artist " + Padded(artist, 4);
    file.tag()->setArtist(TagLib::String(artistName, TagLib::String::UTF8));
    file.tag()->setTitle(TagLib::String("Söng " + std::to_string(track), TagLib::String::UTF8));
    file.tag()->setAlbum("Album " + std::to_string(album));
    file.tag()->setTrack(static_cast<unsigned int>(track));
    file.tag()->setYear(static_cast<unsigned int>(year));
    file.tag()->setGenre("Rock");
    TagLib::PropertyMap properties = file.file()->properties();
    properties.replace("ALBUMARTIST", TagLib::String(artistName, TagLib::String::UTF8));
    properties.replace("DISCNUMBER", TagLib::String("1/1"));
    file.file()->setProperties(properties);
    return file.save();
}

bool ParseCount(const char* text, unsigned long& value) {
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long files = 20'000;
    unsigned long huge = 4;
    std::vector<fs::path> roots;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if ((argument == "--files" || argument == "--huge") && i + 1 < argc) {
            if (!ParseCount(argv[++i], argument == "--files" ? files : huge)) {
                std::fprintf(stderr, "make_tag_tree: expected a count after %s\n", argv[i - 1]);
                return 2;
            }
        } else if (!argument.starts_with("-") && roots.size() < 2) {
            roots.emplace_back(argument);
        } else {
            std::fprintf(stderr, "usage: make_tag_tree TAGGED UNTAGGED [--files N] [--huge K]\n");
            return 2;
        }
    }
    if (roots.size() != 2) {
        std::fprintf(stderr, "usage: make_tag_tree TAGGED UNTAGGED [--files N] [--huge K]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const fs::path& tagged = roots[0];
    const fs::path& untagged = roots[1];
    const fs::path templates = untagged.parent_path() / ".templates";
    fs::create_directories(templates);
    std::array<std::string, kFormats.size()> bytes;
    for (std::size_t format = 0; format < kFormats.size(); ++format) {
        const fs::path path = templates / ("template." + std::string(kFormats[format]));
        if (!MakeTemplate(path, kCodecs[format])) {
            std::fprintf(stderr, "make_tag_tree: ffmpeg cannot write %s\n", path.c_str());
            return 1;
        }
        bytes[format] = ReadAll(path);
    }
    fs::remove_all(templates);

    std::uintmax_t total = 0;
    for (unsigned long i = 0; i < files; ++i) {
        const int track = static_cast<int>(i % kTracksPerAlbum) + 1;
        const int album = static_cast<int>(i / kTracksPerAlbum % kAlbumsPerArtist) + 1;
        const int artist = static_cast<int>(i / kTracksPerAlbum / kAlbumsPerArtist) + 1;
        const int year = 1960 + static_cast<int>((i / kTracksPerAlbum) % 60);
        const std::size_t format = (i * 7 + i / kTracksPerAlbum) % kFormats.size();
        const fs::path relative =
            fs::path("Artist " + Padded(artist, 4)) /
            ("Album " + std::to_string(album) + " (" + std::to_string(year) + ")") /
            (Padded(track, 2) + " - Söng " + std::to_string(track) + "." +
             std::string(kFormats[format]));
        for (const fs::path& root : roots) {
            fs::create_directories((root / relative).parent_path());
            std::ofstream(root / relative, std::ios::binary) << bytes[format];
        }
        if (!Tag(tagged / relative, artist, album, track, year)) {
            std::fprintf(stderr, "make_tag_tree: TagLib cannot tag %s\n", relative.c_str());
            return 1;
        }
        total += fs::file_size(tagged / relative);
    }
    for (unsigned long i = 0; i < huge; ++i) {
        const fs::path relative = fs::path("Artist " + Padded(static_cast<int>(i) + 1, 4)) /
                                  ("Zeros " + std::to_string(i) + (i % 2 == 0 ? ".ape" : ".mp3"));
        for (const fs::path& root : roots) {
            std::ofstream{root / relative};
            fs::resize_file(root / relative, kHugeSize);
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("files: %lu\nhuge files: %lu\ntagged size: %llu\nseconds: %.3f\n", files, huge,
                static_cast<unsigned long long>(total), elapsed.count());
    return 0;
}
