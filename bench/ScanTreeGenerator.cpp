#include "ScanTreeGenerator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kMaxDepth = 4;
// One file in this many is made larger than 4 GiB, to reach sizes past 32 bits.
constexpr std::uint64_t kHugeFileEvery = 40'000;
constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;
constexpr std::int64_t kEarliestTime = 946'684'800;  // 2000-01-01
constexpr std::int64_t kLatestTime = 1'704'067'200;  // 2024-01-01

constexpr std::array<std::string_view, 40> kWords{
    "Love",  "Night",  "Blue", "River",  "Fire",  "Heart",  "Dream",       "Rain",
    "Gold",  "Road",   "Home", "Light",  "Stone", "Wild",   "Moon",        "Ocean",
    "Glass", "Silver", "Sky",  "Echo",   "Storm", "Sugar",  "City",        "Lost",
    "Train", "Angel",  "Dust", "Velvet", "Neon",  "Mirror", "Garden",      "Radio",
    "Café",  "Über",   "Niño", "Señor",  "Größe", "Été",    "Rock'n'Roll", "&"};
// Real names with the accents and scripts that a byte-wise scan must carry through.
constexpr std::array<std::string_view, 16> kKnownArtists{
    "Björk",       "Sigur Rós",     "Mötley Crüe",     "Motörhead", "Beyoncé", "Röyksopp",
    "Café Tacvba", "Zoë Keating",   "Ólafur Arnalds",  "坂本龍一",  "Кино",    "Μίκης Θεοδωράκης",
    "AC-DC",       "Guns N' Roses", "Sinéad O'Connor", "Los Lobos"};
constexpr std::array<std::string_view, 5> kLooseFolders{"Compilations", "Singles", "Incoming 2019",
                                                        "_Unsorted", "Soundtracks"};
constexpr std::array<std::string_view, 12> kConsonants{"b", "d", "f", "g", "k", "l",
                                                       "m", "n", "p", "r", "s", "t"};
constexpr std::array<std::string_view, 5> kVowels{"a", "e", "i", "o", "u"};

struct Weighted {
    std::string_view text;
    std::uint32_t weight;
};

// Every one of these is an extension the scan catalogs, in varied case.
constexpr std::array<Weighted, 15> kAudioExtensions{{{".mp3", 48},
                                                     {".flac", 14},
                                                     {".ogg", 7},
                                                     {".wma", 6},
                                                     {".MP3", 6},
                                                     {".FLAC", 2},
                                                     {".wav", 3},
                                                     {".aac", 3},
                                                     {".ape", 2},
                                                     {".mp2", 2},
                                                     {".mp4", 2},
                                                     {".aa3", 1},
                                                     {".apl", 1},
                                                     {".Ogg", 2},
                                                     {".WAV", 1}}};
// Not audio, though some look close (".m4v", ".mp3.part"); the bare name "mp3" is
// audio by the scan's rule, a case the counts must agree on.
constexpr std::array<std::string_view, 18> kOtherNames{
    "cover.jpg", "folder.jpg", "back.JPG",  "notes.txt",   "playlist.m3u",   "album.nfo",
    "README",    "info",       "Thumbs.db", "desktop.ini", "lyrics.TXT",     "album.cue",
    "rip.log",   ".DS_Store",  "mp3",       "booklet.pdf", "01 - Intro.m4v", "track.mp3.part"};

constexpr std::array<std::string_view, 18> kCataloguedExtensions{
    "mp3", "mp2", "mp4", "wav",  "wma", "flac", "ape",  "apl", "aa3",
    "aac", "ogg", "m4a", "opus", "oga", "aif",  "aiff", "wv",  "mpc"};

// The scan's rule: the text after the last dot, or the whole name when there is no dot,
// in any ASCII case. So the bare name "mp3" among kOtherNames counts as audio.
bool IsAudioName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos ? name : name.substr(dot + 1));
    for (char& c : extension) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (std::string_view catalogued : kCataloguedExtensions) {
        if (extension == catalogued) {
            return true;
        }
    }
    return false;
}

enum class FolderKind { kRoot, kArtist, kAlbum, kDisc, kScans };

struct FolderPlan {
    std::size_t parent = 0;
    int depth = 0;
    FolderKind kind = FolderKind::kRoot;
    std::string name;
    std::string artist;
    std::uint64_t files = 0;
};

class TreeRandom {
public:
    explicit TreeRandom(std::uint32_t variant) : random_(variant) {}

    // Modulo rather than a distribution, so the tree is the same with any standard library.
    std::uint32_t Below(std::uint32_t bound) { return random_() % bound; }
    bool Percent(std::uint32_t percent) { return Below(100) < percent; }

    std::string Words(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                text += ' ';
            }
            text += kWords[Below(kWords.size())];
        }
        return text;
    }

    std::string Syllables(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += kConsonants[Below(kConsonants.size())];
            text += kVowels[Below(kVowels.size())];
        }
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
        return text;
    }

    std::string_view AudioExtension() {
        std::uint32_t pick = Below(100);
        for (const Weighted& extension : kAudioExtensions) {
            if (pick < extension.weight) {
                return extension.text;
            }
            pick -= extension.weight;
        }
        return kAudioExtensions[0].text;
    }

private:
    std::mt19937 random_;
};

// Adds " 2", " 3" ... before the extension until the name is new among its siblings.
std::string UniqueName(std::unordered_set<std::string>& taken, std::string name) {
    if (taken.insert(name).second) {
        return name;
    }
    const std::size_t dot = name.rfind('.');
    const std::size_t split = dot == std::string::npos || dot == 0 ? name.size() : dot;
    for (int n = 2;; ++n) {
        std::string candidate =
            name.substr(0, split) + " " + std::to_string(n) + name.substr(split);
        if (taken.insert(candidate).second) {
            return candidate;
        }
    }
}

std::string ArtistName(TreeRandom& random) {
    const std::uint32_t style = random.Below(10);
    if (style == 0) {
        return std::string(kKnownArtists[random.Below(kKnownArtists.size())]);
    }
    if (style == 1) {
        return std::string(kLooseFolders[random.Below(kLooseFolders.size())]);
    }
    if (style < 5) {
        return "The " + random.Words(1 + static_cast<int>(random.Below(2))) + "s";
    }
    return random.Syllables(2 + static_cast<int>(random.Below(2))) + " " +
           random.Syllables(2 + static_cast<int>(random.Below(2)));
}

std::string AlbumName(TreeRandom& random) {
    std::string title = random.Words(1 + static_cast<int>(random.Below(3)));
    switch (random.Below(4)) {
        case 0:
            return std::to_string(1960 + random.Below(64)) + " - " + title;
        case 1:
            return title + " (Deluxe Edition)";
        default:
            return title;
    }
}

class TreePlanner {
public:
    TreePlanner(TreeRandom& random, std::uint64_t folderLimit)
        : random_(random), limit_(folderLimit) {
        folders_.push_back({});
    }

    std::vector<FolderPlan> Plan() {
        std::unordered_set<std::string> artists;
        while (!Full()) {
            const std::string artist = UniqueName(artists, ArtistName(random_));
            const std::size_t artistIndex = Add(0, FolderKind::kArtist, artist, artist);
            std::unordered_set<std::string> albums;
            const std::uint32_t albumCount = 1 + random_.Below(6);
            for (std::uint32_t a = 0; a < albumCount && !Full(); ++a) {
                AddAlbum(artistIndex, UniqueName(albums, AlbumName(random_)), artist);
            }
        }
        return std::move(folders_);
    }

private:
    bool Full() const { return folders_.size() - 1 >= limit_; }

    std::size_t Add(std::size_t parent, FolderKind kind, std::string name,
                    const std::string& artist) {
        FolderPlan plan;
        plan.parent = parent;
        plan.depth = folders_[parent].depth + 1;
        plan.kind = kind;
        plan.name = std::move(name);
        plan.artist = artist;
        folders_.push_back(std::move(plan));
        return folders_.size() - 1;
    }

    void AddScans(std::size_t parent, const std::string& artist) {
        if (!Full() && folders_[parent].depth < kMaxDepth && random_.Percent(15)) {
            Add(parent, FolderKind::kScans, random_.Percent(50) ? "Scans" : "Artwork", artist);
        }
    }

    void AddAlbum(std::size_t artistIndex, std::string name, const std::string& artist) {
        const std::size_t album = Add(artistIndex, FolderKind::kAlbum, std::move(name), artist);
        if (random_.Percent(25)) {
            const bool cd = random_.Percent(70);
            const std::uint32_t discs = 2 + random_.Below(2);
            for (std::uint32_t d = 1; d <= discs && !Full(); ++d) {
                const std::size_t disc = Add(album, FolderKind::kDisc,
                                             (cd ? "CD" : "Disc ") + std::to_string(d), artist);
                AddScans(disc, artist);
            }
        }
        AddScans(album, artist);
    }

    TreeRandom& random_;
    std::uint64_t limit_;
    std::vector<FolderPlan> folders_;
};

std::uint64_t FolderWeight(TreeRandom& random, const FolderPlan& folder, bool onlyRoot) {
    switch (folder.kind) {
        case FolderKind::kRoot:
            return onlyRoot ? 1 : 0;
        case FolderKind::kArtist:
            return random.Below(3);
        case FolderKind::kScans:
            return 1 + random.Below(6);
        default:
            return 4 + random.Below(40);
    }
}

// Spreads the files over the folders by random weights, so the total is exactly `files`.
void AssignFileCounts(TreeRandom& random, std::vector<FolderPlan>& folders, std::uint64_t files) {
    std::vector<std::uint64_t> weights(folders.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        weights[i] = FolderWeight(random, folders[i], folders.size() == 1);
        total += weights[i];
    }
    if (total == 0) {
        weights[0] = total = 1;
    }
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const auto before =
            static_cast<std::uint64_t>(static_cast<unsigned __int128>(files) * cumulative / total);
        cumulative += weights[i];
        const auto after =
            static_cast<std::uint64_t>(static_cast<unsigned __int128>(files) * cumulative / total);
        folders[i].files = after - before;
    }
}

Result Failure(const std::string& what, const std::string& name) {
    return Result::Failure(what + " " + name + ": " + std::strerror(errno));
}

class TreeWriter {
public:
    TreeWriter(TreeRandom& random, GeneratedScanTree& generated)
        : random_(random), generated_(generated) {}

    ~TreeWriter() {
        for (int fd : open_) {
            ::close(fd);
        }
    }

    Result Write(const std::string& root, const std::vector<FolderPlan>& folders) {
        const int rootFd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (rootFd < 0) {
            return Failure("cannot open", root);
        }
        open_.push_back(rootFd);
        if (Result files = WriteFiles(rootFd, folders[0]); !files) {
            return files;
        }
        for (std::size_t i = 1; i < folders.size(); ++i) {
            const FolderPlan& folder = folders[i];
            // Folders are planned depth first, so the parent is the open folder one level up.
            if (Result closed = CloseTo(folder.depth); !closed) {
                return closed;
            }
            const int parentFd = open_.back();
            if (::mkdirat(parentFd, folder.name.c_str(), 0755) != 0) {
                return Failure("cannot make folder", folder.name);
            }
            const int fd =
                ::openat(parentFd, folder.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) {
                return Failure("cannot open folder", folder.name);
            }
            open_.push_back(fd);
            ++generated_.folders;
            if (Result files = WriteFiles(fd, folder); !files) {
                return files;
            }
        }
        return CloseTo(1);
    }

private:
    // Closes open folders until `depth` - 1 remain; their contents are complete, so this is
    // when their own times can be set without a later file creation changing them.
    Result CloseTo(int depth) {
        while (static_cast<int>(open_.size()) > depth) {
            const int fd = open_.back();
            open_.pop_back();
            const bool timed = open_.empty() || SetTimes(fd);
            ::close(fd);
            if (!timed) {
                return Failure("cannot set the time of", "a folder");
            }
        }
        return Result::Ok();
    }

    bool SetTimes(int fd) {
        const std::int64_t span = kLatestTime - kEarliestTime;
        timespec times[2];
        times[1].tv_sec = static_cast<time_t>(
            kEarliestTime +
            static_cast<std::int64_t>(random_.Below(static_cast<std::uint32_t>(span))));
        // Some whole seconds, as FAT and older copies leave them.
        times[1].tv_nsec =
            random_.Percent(20) ? 0 : static_cast<long>(random_.Below(1'000'000'000));
        times[0] = times[1];
        return ::futimens(fd, times) == 0;
    }

    std::uint64_t NextSize() {
        ++fileNumber_;
        if (fileNumber_ % kHugeFileEvery == kHugeFileEvery / 2) {
            return kFourGiB + random_.Below(1u << 30);
        }
        if (random_.Percent(3)) {
            return 0;
        }
        return random_.Below(6 * 1024);
    }

    std::string AudioName(const FolderPlan& folder, std::uint32_t track) {
        char number[16];
        std::snprintf(number, sizeof number, "%02u", track);
        const std::string title = random_.Words(1 + static_cast<int>(random_.Below(4)));
        const std::string_view extension = random_.AudioExtension();
        if (random_.Percent(15)) {
            return std::string(number) + " " + title + std::string(extension);
        }
        return std::string(number) + " - " + folder.artist + " - " + title + std::string(extension);
    }

    Result WriteFiles(int folderFd, const FolderPlan& folder) {
        std::unordered_set<std::string> taken;
        std::uint32_t track = 0;
        for (std::uint64_t i = 0; i < folder.files; ++i) {
            const bool audio = random_.Percent(60);
            std::string name = audio ? AudioName(folder, ++track)
                                     : std::string(kOtherNames[random_.Below(kOtherNames.size())]);
            name = UniqueName(taken, std::move(name));
            if (Result file = WriteFile(folderFd, name); !file) {
                return file;
            }
            generated_.audioFiles += IsAudioName(name) ? 1 : 0;
        }
        return Result::Ok();
    }

    Result WriteFile(int folderFd, const std::string& name) {
        const int fd =
            ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return Failure("cannot create", name);
        }
        // Sparse: the sizes are what a scan reads, and no data blocks keeps this fast.
        const std::uint64_t size = NextSize();
        const bool ok =
            (size == 0 || ::ftruncate(fd, static_cast<off_t>(size)) == 0) && SetTimes(fd);
        const int savedErrno = errno;
        ::close(fd);
        if (!ok) {
            errno = savedErrno;
            return Failure("cannot size or time", name);
        }
        ++generated_.files;
        generated_.totalSize += size;
        return Result::Ok();
    }

    TreeRandom& random_;
    GeneratedScanTree& generated_;
    std::vector<int> open_;
    std::uint64_t fileNumber_ = 0;
};

}  // namespace

Result GenerateScanTree(const std::string& root, const ScanTreeOptions& options,
                        GeneratedScanTree& generated) {
    generated = {};
    std::error_code error;
    std::filesystem::create_directories(root, error);
    if (error) {
        return Result::Failure("cannot make " + root + ": " + error.message());
    }
    if (!std::filesystem::is_empty(root, error) || error) {
        return Result::Failure(root + " is not an empty folder");
    }
    TreeRandom random(options.variant);
    std::vector<FolderPlan> folders = TreePlanner(random, options.folders).Plan();
    AssignFileCounts(random, folders, options.files);
    return TreeWriter(random, generated).Write(root, folders);
}
