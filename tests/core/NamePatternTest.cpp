#include <gtest/gtest.h>

#include <random>

#include "scan/NamePattern.h"

namespace {

struct Expected {
    Expected(std::string artist, std::string title, std::string album = {}, std::string track = {},
             std::string year = {})
        : artist(std::move(artist)),
          title(std::move(title)),
          album(std::move(album)),
          track(std::move(track)),
          year(std::move(year)) {}
    std::string artist;
    std::string title;
    std::string album;
    std::string track;
    std::string year;
};

std::optional<Expected> Named(std::string_view pattern, std::string_view path) {
    std::string error;
    const std::optional<NamePattern> parsed = NamePattern::Parse(pattern, error);
    EXPECT_TRUE(parsed) << pattern << ": " << error;
    const auto names = parsed ? parsed->Match(path) : std::nullopt;
    if (!names) {
        return std::nullopt;
    }
    return Expected{names->artist, names->title, names->fields[kAlbum - kColumnCount],
                    names->fields[kTrackNumber - kColumnCount],
                    names->fields[kYear - kColumnCount]};
}

}  // namespace

TEST(NamePatternTest, NamesFilesAsTheUserWrites) {
    struct Case {
        std::string_view pattern;
        std::string_view path;
        std::optional<Expected> names;
    };
    const Case cases[] = {
        // The standard rule, under its empty text and its name alike.
        {"", "/m/Radiohead/OK Computer (1997)/01 - Airbag.mp3",
         Expected{"OK Computer (1997)", "Airbag"}},
        {NamePattern::kStandardName, "/m/x/Artist - Song.mp3", Expected{"Artist", "Song"}},
        {"<artist> - <title>", "/m/A - B - C.ogg", Expected{"A", "B - C"}},
        {"<artist> - <title>", "/m/No dash here.ogg", std::nullopt},
        {"<track> - <title>", "/m/07 - Song.flac", Expected{"", "Song", "", "7"}},
        {"<track> - <title>", "/m/Intro - Song.flac", std::nullopt},
        {"<track> <title>", "Jazz/003 Take Five.mp3", Expected{"", "Take Five", "", "3"}},
        {"<artist>/<album>/<track> <title>", "/m/Björk/Post/01 Army of Me.mp3",
         Expected{"Björk", "Army of Me", "Post", "1"}},
        {"<artist>/<album> (<year>)/<track> - <title>",
         "/m/Sigur Rós/Ágætis byrjun (1999)/02 - Svefn-g-englar.m4a",
         Expected{"Sigur Rós", "Svefn-g-englar", "Ágætis byrjun", "2", "1999"}},
        // More folders than the pattern needs are fine; fewer are not.
        {"<artist>/<album>/<track> <title>", "Post/01 Army.mp3", std::nullopt},
        {"<ignore> - <title>", "/m/CD1 - Song.mp3", Expected{"", "Song"}},
        {"<ignore> - <ignore> - <title>", "/m/a - b - Song.mp3", Expected{"", "Song"}},
        // Only the last dot starts the extension; a name without one is whole.
        {"<artist> - <title>", "/m/Mr. X - v1.2.mp3", Expected{"Mr. X", "v1.2"}},
        {"<artist> - <title>", "/m/A - B", Expected{"A", "B"}},
        {"<artist> - <title>", "/m/ - B.mp3", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Expected> names = Named(c.pattern, c.path);
        ASSERT_EQ(names.has_value(), c.names.has_value()) << c.pattern << " on " << c.path;
        if (names) {
            EXPECT_EQ(names->artist, c.names->artist) << c.pattern << " on " << c.path;
            EXPECT_EQ(names->title, c.names->title) << c.pattern << " on " << c.path;
            EXPECT_EQ(names->album, c.names->album) << c.pattern << " on " << c.path;
            EXPECT_EQ(names->track, c.names->track) << c.pattern << " on " << c.path;
            EXPECT_EQ(names->year, c.names->year) << c.pattern << " on " << c.path;
        }
    }

    for (const std::string_view bad :
         {"<artist><title>", "<artist> - <artist>", "<nme> - <title>", "<artist - x", "plain"}) {
        std::string error;
        EXPECT_FALSE(NamePattern::Parse(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    for (const std::string& example : NamePattern::Examples()) {
        std::string error;
        EXPECT_TRUE(NamePattern::Parse(example, error)) << example << ": " << error;
    }
}

// Values without the separators, put in a pattern's places, come back out.
TEST(NamePatternTest, RecoversTheValuesAPathWasMadeOf) {
    std::mt19937 random(14);
    const std::vector<std::string> words{"Sun", "Ra", "Ñu", "The", "x.y", "(live)", "Dvořák", "7a"};
    const auto text = [&] {
        std::string value = words[random() % words.size()];
        for (int more = random() % 3; more > 0; --more) {
            value += " " + words[random() % words.size()];
        }
        return value;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string artist = text();
        const std::string album = text();
        const std::string title = text();
        const std::string track = std::to_string(1 + random() % 99);
        const std::string year = std::to_string(1950 + random() % 70);
        std::string pattern;
        std::string path = "/music";
        switch (random() % 3) {
            case 0:
                pattern = "<artist>/<album> (<year>)/<track> - <title>";
                path += "/" + artist + "/" + album + " (" + year + ")/" + track + " - " + title;
                break;
            case 1:
                pattern = "<album> [<year>]/<track>. <artist> - <title>";
                path += "/" + album + " [" + year + "]/" + track + ". " + artist + " - " + title;
                break;
            default:
                pattern = "<artist> - <album> - <track> - <title>";
                path += "/" + artist + " - " + album + " - " + track + " - " + title;
                break;
        }
        path += ".mp3";
        const std::optional<Expected> names = Named(pattern, path);
        ASSERT_TRUE(names) << pattern << " on " << path;
        EXPECT_EQ(names->artist, artist) << path;
        EXPECT_EQ(names->album, album) << path;
        EXPECT_EQ(names->title, title) << path;
        EXPECT_EQ(names->track, track) << path;
        EXPECT_EQ(names->year, pattern.find("<year>") != std::string::npos ? year : "") << path;
    }
}
