#include "CatalogGenerator.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "catalog/CatalogRow.h"
#include "catalog/RecordCodec.h"
#include "catalog/RowFields.h"

namespace {

constexpr std::size_t kArtistCount = 5000;
constexpr std::size_t kChunk = 1 << 20;

constexpr std::array<std::string_view, 64> kWords{
    "Love",   "Night", "Blue",   "River",  "Fire",   "Heart",   "Dream",   "Rain",
    "Summer", "Gold",  "Road",   "Home",   "Light",  "Stone",   "Wild",    "Moon",
    "Ocean",  "Glass", "Silver", "Shadow", "Winter", "Sky",     "Echo",    "Storm",
    "Bones",  "Sugar", "City",   "Lost",   "Train",  "Angel",   "Dust",    "Velvet",
    "Honey",  "Ghost", "Street", "Paper",  "Neon",   "Mirror",  "Garden",  "Desert",
    "Broken", "Slow",  "Sweet",  "Dark",   "Young",  "Little",  "Fallen",  "Golden",
    "Radio",  "Smoke", "Ember",  "Hollow", "Tide",   "Frost",   "Canyon",  "Harbor",
    "Star",   "Wire",  "Bloom",  "North",  "Satin",  "Thunder", "Morning", "Lonely",
};
constexpr std::array<std::string_view, 8> kGenres{"Rock", "Jazz",       "Pop",   "Classical",
                                                  "Folk", "Electronic", "Blues", "Hip-Hop"};
// Latin with accents (one written decomposed, as macOS names are), Cyrillic and Greek.
constexpr std::array<std::string_view, 11> kAccentedCapitals{"Á", "É", "Ø",       "Ž", "Ö", "Ç",
                                                             "Å", "Ł", "E\u0301", "Ж", "Σ"};
constexpr std::array<std::string_view, 4> kBitrates{"128", "192", "256", "320"};
constexpr std::array<std::string_view, 15> kConsonants{"b", "d", "f", "g", "k", "l", "m", "n",
                                                       "p", "r", "s", "t", "v", "z", "j"};
constexpr std::array<std::string_view, 5> kVowels{"a", "e", "i", "o", "u"};

class Generator {
public:
    explicit Generator(std::uint32_t variant) : random_(variant) {}

    std::uint32_t Below(std::uint32_t bound) { return random_() % bound; }

    std::string Syllables(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += kConsonants[Below(kConsonants.size())];
            text += kVowels[Below(kVowels.size())];
        }
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
        return text;
    }

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

    std::vector<std::string> Artists(bool accented) {
        std::vector<std::string> artists;
        std::unordered_set<std::string> seen;
        while (artists.size() < kArtistCount) {
            std::string name = Syllables(2) + ' ' + Syllables(1 + static_cast<int>(Below(2)));
            if (accented && Below(8) == 0) {
                name.replace(0, 1, kAccentedCapitals[Below(kAccentedCapitals.size())]);
            }
            if (seen.insert(name).second) {
                artists.push_back(std::move(name));
            }
        }
        return artists;
    }

    std::string TrackTitle() {
        const std::uint32_t roll = Below(10);
        return Words(roll < 2 ? 1 : roll < 9 ? 2 : 3);
    }

    std::string AlbumTitle() { return Words(Below(20) < 13 ? 1 : 2); }

    // Sizes of typical MP3 files, with the thousands separators the program shows.
    std::string Size() {
        const std::uint32_t bytes =
            Below(10) == 0 ? 10'000'000 + Below(8'000'000) : 2'000'000 + Below(8'000'000);
        const std::string digits = std::to_string(bytes);
        std::string text;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) {
                text += ',';
            }
            text += digits[i];
        }
        return text;
    }

    std::string Modified() {
        char text[32];
        std::snprintf(text, sizeof text, "%02u/%02u/%02u %02u:%02u %s", 1 + Below(12),
                      1 + Below(28), Below(25), 1 + Below(12), Below(60),
                      Below(2) == 0 ? "AM" : "PM");
        return text;
    }

private:
    std::mt19937 random_;
};

Result WriteAll(int fd, const std::string& bytes, const std::string& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Result::Failure(path + ": " + std::strerror(errno));
        }
        done += static_cast<std::size_t>(put);
    }
    return Result::Ok();
}

}  // namespace

Result GenerateCatalog(const std::string& path, std::uint64_t rows, std::uint32_t variant,
                       GeneratedCatalog& generated, bool withFields, bool accented) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Result::Failure(path + ": " + std::strerror(errno));
    }
    Generator generator(variant);
    const std::vector<std::string> artists = generator.Artists(accented);
    generated = GeneratedCatalog{};
    generated.rows = rows;
    generated.distinctArtists = std::min<std::uint64_t>(rows, artists.size());

    std::string out;
    out.reserve(kChunk + 4096);
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((rows >> (8 * i)) & 0xFF);
    }
    Result result = Result::Ok();
    std::string folder;
    std::string album;
    std::uint32_t tracksLeftInAlbum = 0;
    std::uint32_t trackNumber = 0;
    std::string albumFields;
    std::size_t currentArtist = artists.size();
    // Rows come in the order a scan finds them: artist by artist, album by album.
    for (std::uint64_t row = 0; row < rows && result; ++row) {
        const std::size_t artist = static_cast<std::size_t>(row * artists.size() / rows);
        if (artist != currentArtist || tracksLeftInAlbum == 0) {
            currentArtist = artist;
            album = generator.AlbumTitle();
            folder = "/home/user/Music/" + artists[artist] + '/' + album;
            tracksLeftInAlbum = 8 + generator.Below(7);
            trackNumber = 0;
            if (withFields) {
                FieldValues values;
                values[kAlbum - kColumnCount] = album;
                if (generator.Below(10) == 0) {
                    values[kAlbumArtist - kColumnCount] = "Various Artists";
                }
                values[kYear - kColumnCount] = std::to_string(1960 + generator.Below(65));
                values[kGenre - kColumnCount] = kGenres[generator.Below(kGenres.size())];
                albumFields = JoinFields(values);
            }
        }
        --tracksLeftInAlbum;
        ++trackNumber;
        const std::string track = generator.TrackTitle();
        const std::string size = generator.Size();
        const std::string modified = generator.Modified();
        const std::string file = folder + '/' + artists[artist] + " - " + track + ".mp3";
        std::string fields;
        if (withFields) {
            fields = WithFieldValue(albumFields, kTrackNumber, std::to_string(trackNumber));
            fields = WithFieldValue(fields, kLength, std::to_string(90 + generator.Below(400)));
            fields = WithFieldValue(fields, kBitrate, kBitrates[generator.Below(kBitrates.size())]);
        }
        const CatalogRow record(RowCells{artists[artist], track, folder, size, modified, file},
                                fields);
        const std::size_t before = out.size();
        RecordCodec::AppendRecordLine(record, out);
        generated.rowLineBytes += out.size() - before;
        out += '\n';
        if (out.size() >= kChunk) {
            result = WriteAll(fd, out, path);
            generated.fileBytes += out.size();
            out.clear();
        }
    }
    if (result) {
        result = WriteAll(fd, out, path);
        generated.fileBytes += out.size();
    }
    if (::close(fd) != 0 && result) {
        result = Result::Failure(path + ": " + std::strerror(errno));
    }
    return result;
}
