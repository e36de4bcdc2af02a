#include "scan/RowNamer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "catalog/PathParts.h"
#include "scan/RowDerivation.h"

namespace {

std::optional<FileTags> Tags(std::string artist, std::string title, std::string album = "") {
    FileTags tags;
    tags.artist = std::move(artist);
    tags.title = std::move(title);
    tags.fields[kAlbum - kColumnCount] = std::move(album);
    return tags;
}

NamePattern Pattern(const std::string& text) {
    std::string error;
    std::optional<NamePattern> pattern = NamePattern::Parse(text, error);
    EXPECT_TRUE(pattern) << text << ": " << error;
    return pattern.value_or(NamePattern());
}

// Each of Artist and Track falls back on its own: tag, then pattern, then the standard rule;
// a pattern's fields fill only what the tags leave empty.
TEST(RowNamerTest, EachNameFallsBackFromTagToPatternToTheStandardRule) {
    struct Case {
        std::string folder, file;
        std::optional<FileTags> tags;
        std::string pattern;
        std::string artist, track, fields;
    };
    const std::string rh = "/m/Radiohead/OK Computer";
    const std::string byFolders = "<artist>/<album>/<track> <title>";
    const Case cases[] = {
        // No tags, standard rule.
        {"/m/Dark Side", "Pink Floyd - Money.mp3", {}, "", "Pink Floyd", "Money", ""},
        {"/m/Pink Floyd", "01 - Money.mp3", {}, "", "Pink Floyd", "Money", ""},
        // Tags, cell by cell.
        {"/m/Pink Floyd", "01 - Money.mp3", Tags("PF", "Money!", "DSOTM"), "", "PF", "Money!",
         "album=DSOTM"},
        {"/m/Pink Floyd", "01 - Money.mp3", Tags("PF", ""), "", "PF", "Money", ""},
        {"/m/Pink Floyd", "01 - Money.mp3", Tags("", "Time"), "", "Pink Floyd", "Time", ""},
        {"/m/Pink Floyd", "01 - Money.mp3", Tags("", "", "DSOTM"), "", "Pink Floyd", "Money",
         "album=DSOTM"},
        // A pattern that reaches into the folders.
        {rh, "01 Airbag.mp3", {}, byFolders, "Radiohead", "Airbag", "album=OK Computer\ttrack=1"},
        {rh, "01 Airbag.mp3", Tags("RH", ""), byFolders, "RH", "Airbag",
         "album=OK Computer\ttrack=1"},
        {rh, "01 Airbag.mp3", Tags("", "Air", "Tagged"), byFolders, "Radiohead", "Air",
         "album=Tagged\ttrack=1"},
        // A pattern that does not match leaves the standard rule.
        {rh, "01 Airbag.mp3", {}, "<artist> - <title>", "01 Airbag", "01 Airbag", ""},
        {"/m", "01 x.mp3", {}, byFolders, "01 x", "01 x", ""},
        // A pattern without an artist still names the track.
        {"/m/Various", "Someone - Song.mp3", {}, "<ignore> - <title>", "Someone", "Song", ""},
        {"/m/Various", "07 - Song.mp3", {}, "<track> - <title>", "Various", "Song", "track=7"},
    };
    for (const Case& c : cases) {
        const RowNamer namer(c.pattern.empty() ? NamePattern() : Pattern(c.pattern), std::nullopt,
                             ",");
        const CatalogRow row = namer.Name(FoundFile{c.folder, c.file, 1234, std::nullopt},
                                          c.tags ? &*c.tags : nullptr);
        const std::string what = c.folder + "/" + c.file + " with " + c.pattern;
        EXPECT_EQ(row.Cell(kArtist), c.artist) << what;
        EXPECT_EQ(row.Cell(kTrack), c.track) << what;
        EXPECT_EQ(row.Fields(), c.fields) << what;
        EXPECT_EQ(row.Cell(kPath), c.folder + kFolderSeparator + c.file) << what;
        EXPECT_EQ(row.Cell(kFolderDisk), c.folder) << what;
        // Re-reading a catalog row names it as the walk did.
        const RowNamer::Names again = namer.NamesOf(row.Cell(kPath), c.tags ? &*c.tags : nullptr);
        EXPECT_EQ(again.artist + "|" + again.track + "|" + again.fields,
                  c.artist + "|" + c.track + "|" + c.fields)
            << what;
    }
}

TEST(RowNamerTest, WithoutTagsTheStandardRuleGivesTheStandardRowAndTheLabelStands) {
    std::tm modified{};
    modified.tm_year = 108;
    modified.tm_mon = 11;
    modified.tm_mday = 31;
    modified.tm_hour = 15;
    for (const char* file : {"Artist - Title.mp3", "07.mp3", "- - x.flac", "mp3", "a\tb - c.ogg"}) {
        for (const char* folder : {"/m/Folder", "/", "", "/m/Folder//"}) {
            const DerivedRow expected = DeriveRow(folder, file, 1234567, modified, "\xC2\xA0");
            const CatalogRow row = RowNamer({}, std::nullopt, "\xC2\xA0")
                                       .Name(FoundFile{folder, file, 1234567, modified}, nullptr);
            for (int column = 0; column < kColumnCount; ++column) {
                EXPECT_EQ(row.Cell(column), expected[column]) << folder << " " << file;
            }
            EXPECT_TRUE(row.Fields().empty());
            const CatalogRow labelled =
                RowNamer({}, "CD 1", ",").Name(FoundFile{folder, file, 1, modified}, nullptr);
            EXPECT_EQ(labelled.Cell(kFolderDisk), "CD 1");
            EXPECT_EQ(labelled.Cell(kArtist), expected[kArtist]);
        }
    }
}

}  // namespace
