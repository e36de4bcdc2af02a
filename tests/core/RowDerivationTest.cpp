#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "catalog/PathParts.h"
#include "scan/RowDerivation.h"
#include "support/Environment.h"

namespace {

TEST(RowDerivationTest, RecognisesDigitsOnly) {
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits("01 "));
    EXPECT_FALSE(IsAllDigits("1a"));
    EXPECT_FALSE(IsAllDigits("-1"));
}

TEST(RowDerivationTest, SplitsArtistAndTrack) {
    struct Case {
        std::string file, folder, artist, track;
    };
    const Case cases[] = {
        {"Pink Floyd - Money.mp3", "Dark Side", "Pink Floyd", "Money"},
        {"01 - Money.mp3", "Pink Floyd", "Pink Floyd", "Money"},
        {"Money.mp3", "Pink Floyd", "Money", "Money"},
        {"123.mp3", "Albums", "Albums", "123"},
        {"Artist-Title.mp3", "X", "Artis", "Title"},
        {"A - B - C.mp3", "X", "A - B", "C"},
        {"- Intro.mp3", "X", "Intro", "Intro"},
        {"Intro.mp3 remix.mp3", "X", "Intro", "Intro"},
        {"mp3", "Music", "Music", ""},
        // Edge rules.
        {"A-B.mp3", "Folder", "Folder", "B"},
        {"-B.mp3", "Folder", "B", "B"},
        {"- - B.mp3", "Folder", "Folder", "B"},
        {"Artist - .mp3", "Folder", "Artist", ""},
        {"Artist - Title  .mp3", "F", "Artist", "Title  "},
        {" \t\n\v\f\rArtist \t - \t\n\v\f\rTitle\t.mp3", "F", "Artist", "Title\t"},
        {"\t-\v Solo.ogg", "F", "Solo", "Solo"},
        {"Band - Song.flac.flac", "F", "Band", "Song"},
        {"Band.flac - Song.flac", "F", "Band", "Band"},
        {"Band - Song.MP3", "F", "Band", "Song"},
        {"Band - Song.mp3.MP3", "F", "Band", "Song.mp3"},
        {"2024 - Live.mp3", "", "", "Live"},
        {"noext", "F", "F", ""},
        {".hidden", "F", "F", ""},
        // UTF-8 passes through; the byte before the dash never leaves half a character.
        {"Björk - Jóga.mp3", "F", "Björk", "Jóga"},
        {"Beyonc\xC3\xA9-Halo.mp3", "F", "Beyonc", "Halo"},
        {"\xE6\x97\xA5\xE6\x9C\xAC-\xE6\xAD\x8C.mp3", "F", "\xE6\x97\xA5", "\xE6\xAD\x8C"},
        {"Ab\xF0\x9F\x8E\xB5-T.mp3", "F", "Ab", "T"},
        {"\xC3\xA9-x.mp3", "Fold\xC3\xA9", "Fold\xC3\xA9", "x"},
        {"Ab\xA9-T.mp3", "F", "Ab", "T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " in " + c.folder);
        const ArtistTrack split = SplitArtistTrack(c.folder, c.file);
        EXPECT_EQ(split.artist, c.artist);
        EXPECT_EQ(split.track, c.track);
    }
}

TEST(RowDerivationTest, FormatsSizesInGroupsOfThree) {
    struct Case {
        std::uint64_t bytes;
        std::string separator, text;
    };
    const Case cases[] = {
        {0, ",", "0"},
        {999, ",", "999"},
        {1000, ",", "1,000"},
        {123456, ",", "123,456"},
        {1234567, ",", "1,234,567"},
        {4294967295ULL, ",", "4,294,967,295"},
        {4294967296ULL, ",", "4,294,967,296"},
        {5ULL << 30, ",", "5,368,709,120"},
        {UINT64_MAX, ",", "18,446,744,073,709,551,615"},
        {1234567, ".", "1.234.567"},
        {1234567, "\xC2\xA0",
         "1\xC2\xA0"
         "234\xC2\xA0"
         "567"},
        {1234567, "\xE2\x80\xAF",
         "1\xE2\x80\xAF"
         "234\xE2\x80\xAF"
         "567"},
        {1234, "", "1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FormatSize(c.bytes, c.separator), c.text);
    }
}

TEST(RowDerivationTest, FormatsModifiedOnATwelveHourClock) {
    struct Case {
        int year, month, day, hour, minute;
        std::string text;
    };
    const Case cases[] = {
        {2008, 12, 31, 0, 5, "12/31/08 12:05 AM"},   {2008, 12, 31, 11, 59, "12/31/08 11:59 AM"},
        {2008, 12, 31, 12, 30, "12/31/08 12:30 PM"}, {2008, 12, 31, 15, 7, "12/31/08 03:07 PM"},
        {2000, 1, 2, 23, 0, "01/02/00 11:00 PM"},    {1969, 7, 20, 20, 17, "07/20/69 08:17 PM"},
        {2100, 3, 4, 1, 2, "03/04/00 01:02 AM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::tm local{};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        EXPECT_EQ(FormatModified(local), c.text);
    }
}

// Puts TZ to a fixed zone for one test and back afterwards.
class FixedTimeZone {
public:
    explicit FixedTimeZone(const char* zone) {
        if (const char* old = getenv("TZ")) {
            saved_ = old;
        }
        SetEnvironment("TZ", zone);
        tzset();
    }
    ~FixedTimeZone() {
        if (saved_) {
            SetEnvironment("TZ", *saved_);
        } else {
            UnsetEnvironment("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST(RowDerivationTest, ConvertsSecondsToLocalTime) {
    const FixedTimeZone utc("UTC0");
    struct Case {
        std::int64_t seconds;
        std::string text;
    };
    const Case cases[] = {
        {0, "01/01/70 12:00 AM"},
        {1230681900, "12/31/08 12:05 AM"},
        {1230737220, "12/31/08 03:27 PM"},
#ifdef _WIN32
        // Windows' C runtime converts no time before 1970.
        {-1, ""},
        {-14182940, ""},
#else
        {-1, "12/31/69 11:59 PM"},
        {-14182940, "07/20/69 08:17 PM"},
#endif
        {2147483648LL, "01/19/38 03:14 AM"},
        {4102444800LL, "01/01/00 12:00 AM"},
        // Past the years std::tm can hold.
        {INT64_MAX, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(ModifiedText(c.seconds), c.text);
    }
}

TEST(RowDerivationTest, DerivesTheSixCells) {
    const FixedTimeZone utc("UTC0");
    struct Case {
        std::string folder, file;
        std::string artist, track, folderDisk, path;
    };
    // The file name joins the folder with the system's own separator.
    const std::string joint(1, kFolderSeparator);
    const Case cases[] = {
        {"/music/Pink Floyd", "01 - Money.mp3", "Pink Floyd", "Money", "/music/Pink Floyd",
         "/music/Pink Floyd" + joint + "01 - Money.mp3"},
        {"/media/cd/", "01.mp3", "cd", "01", "/media/cd/", "/media/cd" + joint + "01.mp3"},
        {"/", "a.mp3", "a", "a", "/", "/a.mp3"},
        {"/", "01.mp3", "", "01", "/", "/01.mp3"},
        {"music", "02.ogg", "music", "02", "music", "music" + joint + "02.ogg"},
        {"/srv/Björk/", "1-Jóga.mp3", "Björk", "Jóga", "/srv/Björk/",
         "/srv/Björk" + joint + "1-Jóga.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + " + " + c.file);
        const DerivedRow row =
            DeriveRow(c.folder, c.file, 5ULL << 30, StandardLocalTime(1230737220), ".");
        EXPECT_EQ(row[kArtist], c.artist);
        EXPECT_EQ(row[kTrack], c.track);
        EXPECT_EQ(row[kFolderDisk], c.folderDisk);
        EXPECT_EQ(row[kSize], "5.368.709.120");
        EXPECT_EQ(row[kModified], "12/31/08 03:27 PM");
        EXPECT_EQ(row[kPath], c.path);
    }
}

}  // namespace
