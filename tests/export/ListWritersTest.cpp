// The bytes of the CSV file, the playlist and the searchable page's data, and the command
// that writes them through the save dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "browse/CatalogView.h"
#include "browse/TextFold.h"
#include "export/CsvWriter.h"
#include "export/ExportRows.h"
#include "export/ExportTestSupport.h"
#include "export/ListExport.h"
#include "export/PlaylistWriter.h"
#include "export/SearchablePageWriter.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "volumes/MountedSet.h"
#include "volumes/VolumePieces.h"

namespace {

struct Case {
    RowCells cells;
    std::string fields;
    std::string csv;       // the record, without its CR LF
    std::string playlist;  // the entry's two lines, in a playlist in /m/lists
    std::string data;      // the page's array for the row
};

const char kHeader[] =
    "Artist,Track,In Folder/Disk,Size,Modified,Path,Album,Album Artist,Track No.,Disc,Year,"
    "Genre,Length,Bitrate\r\n";

const std::vector<Case> kCases = {
    {{"ABBA", "SOS", "CD1", "4,567,890", "03/05/24 02:07 PM", "/m/lists/a/sos.mp3"},
     "album=Arrival\ttrack=3\tlength=201\tbitrate=320",
     "ABBA,SOS,CD1,4567890,2024-03-05T14:07,/m/lists/a/sos.mp3,Arrival,,3,,,,201,320",
     "#EXTINF:201,ABBA - SOS\na/sos.mp3\n",
     R"(["ABBA","SOS","CD1","4,567,890","03/05/24 02:07 PM","/m/lists/a/sos.mp3","Arrival","","3","","","","201","320"])"},
    // Quotes, commas, line breaks and tabs; midnight and noon; a path beside the folder.
    {{"Say \"Hi\", Bob", "a\r\nb", "x\ty", "12", "12/31/99 12:00 AM", "/m/listsx/b.mp3"},
     "",
     "\"Say \"\"Hi\"\", Bob\",\"a\r\nb\",\"x\ty\",12,1999-12-31T00:00,/m/listsx/b.mp3,,,,,,,,",
     "#EXTINF:-1,Say \"Hi\", Bob - a  b\n/m/listsx/b.mp3\n",
     R"(["Say \"Hi\", Bob","a\r\nb","x\ty","12","12/31/99 12:00 AM","/m/listsx/b.mp3"])"},
    // Latin-1 bytes, as catalogs written on Windows hold them; a time of one-digit fields, as
    // the sort reads it too; a length that does not parse.
    {{"Bj\xF6rk", "J\xF3ga", "", "", "1/2/03 4:05 PM", "/m/lists/\xE9t\xE9.mp3"},
     "length=3:20",
     "Bj\xC3\xB6rk,J\xC3\xB3ga,,,2003-01-02T16:05,/m/lists/\xC3\xA9t\xC3\xA9.mp3,,,,,,,3:20,",
     "#EXTINF:-1,Bj\xC3\xB6rk - J\xC3\xB3ga\n\xE9t\xE9.mp3\n",  // the path as the disk has it
     "[\"Bj\xC3\xB6rk\",\"J\xC3\xB3ga\",\"\",\"\",\"1/2/03 4:05 "
     "PM\",\"/m/lists/\xC3\xA9t\xC3\xA9.mp3\","
     "\"\",\"\",\"\",\"\",\"\",\"\",\"3:20\",\"\",\"bjork\\tjoga\\t\\t/m/lists/"
     "ete.mp3\\t\\t\\t\\t\\t"
     "\\t\\t3:20\\t\"]"},
    // Markup in names stays text in the page; an empty artist drops the dash.
    {{"", "</script><b>&", "", "1.000", "13/01/24 01:00 AM", "rel/x.mp3"},
     "genre=Dvo\xC5\x99\xC3\xA1k",
     ",</script><b>&,,1000,13/01/24 01:00 AM,rel/x.mp3,,,,,,Dvo\xC5\x99\xC3\xA1k,,",
     "#EXTINF:-1,</script><b>&\nrel/x.mp3\n",
     "[\"\",\"\\u003c/script\\u003e\\u003cb\\u003e\\u0026\",\"\",\"1.000\",\"13/01/24 01:00 AM\","
     "\"rel/x.mp3\",\"\",\"\",\"\",\"\",\"\",\"Dvo\xC5\x99\xC3\xA1k\",\"\",\"\","
     "\"\\t\\u003c/script\\u003e\\u003cb\\u003e\\u0026\\t\\trel/"
     "x.mp3\\t\\t\\t\\t\\t\\tdvorak\\t\\t\"]"},
};

TEST(ListWritersTest, EachFormatWritesEveryRowByTheTable) {
    CatalogList list;
    for (const Case& c : kCases) {
        list.AppendRows({CatalogRow(c.cells, c.fields)});
    }
    const CatalogView view(list);
    const ExportRows rows(view);

    std::string csv = std::string(CsvWriter::kByteOrderMark) + kHeader;
    std::string playlist = "#EXTM3U\n";
    for (std::size_t i = 0; i < kCases.size(); ++i) {
        const Case& c = kCases[i];
        csv += c.csv + "\r\n";
        playlist += c.playlist;
        std::string data;
        SearchablePageWriter::AppendRowData(*list.RowRecord(static_cast<int>(i)), data);
        EXPECT_EQ(data, c.data) << "row " << i;
    }
    RecordingSink csvSink;
    ASSERT_TRUE(CsvWriter::Write(rows, csvSink));
    EXPECT_EQ(csvSink.Bytes(), csv);
    RecordingSink playlistSink;
    ASSERT_TRUE(PlaylistWriter("/m/lists/../lists/all.m3u8").Write(rows, playlistSink));
    EXPECT_EQ(playlistSink.Bytes(), playlist);

    // Only the selected rows, in the order given.
    RecordingSink selected;
    ASSERT_TRUE(PlaylistWriter("/m/lists/all.m3u8").Write(ExportRows(view, {3, 0}), selected));
    EXPECT_EQ(selected.Bytes(), "#EXTM3U\n" + kCases[3].playlist + kCases[0].playlist);

    // The page carries every row in one array and folds queries by the program's own table.
    RecordingSink page;
    ASSERT_TRUE(SearchablePageWriter("A <list>").Write(rows, page));
    const std::string bytes = page.Bytes();
    EXPECT_NE(bytes.find("<title>A &lt;list&gt;</title>"), std::string::npos);
    EXPECT_NE(bytes.find("<meta name=\"viewport\""), std::string::npos);
    EXPECT_EQ(bytes.find("</script><b>"), std::string::npos);
    EXPECT_EQ(bytes.find("http"), std::string::npos);  // needs nothing from outside
    EXPECT_NE(bytes.find("id=\"rows\">[" + kCases[0].data + ",\n" + kCases[1].data),
              std::string::npos);
    const std::string fold = SearchablePageWriter::FoldTable();
    EXPECT_NE(fold.find("\"\xC3\x86\":\"ae\""), std::string::npos);  // Æ
    EXPECT_EQ(fold.find("\"\xC3\x97\":"), std::string::npos);        // × does not fold
}

TEST(ListWritersTest, SecondsAndTheFieldRulesHoldAtTheirEdges) {
    const std::pair<std::string, std::string> seconds[] = {{"0", "0"},
                                                           {"065", "65"},
                                                           {"", "-1"},
                                                           {"-5", "-1"},
                                                           {"1.5", "-1"},
                                                           {" 5", "-1"},
                                                           {"18446744073709551616", "-1"}};
    for (const auto& [length, expected] : seconds) {
        EXPECT_EQ(PlaylistWriter::Seconds(length), expected) << length;
    }
    std::string scratch;
    EXPECT_EQ(CsvWriter::SizeField("99999999999999999999", scratch), "99999999999999999999");
    EXPECT_EQ(CsvWriter::SizeField("1\xE2\x80\xAF"
                                   "234",
                                   scratch),
              "1234");
    EXPECT_EQ(CsvWriter::ModifiedField("01/01/69 12:59 PM", scratch), "1969-01-01T12:59");
    EXPECT_EQ(CsvWriter::ModifiedField("01/01/68 11:59 PM", scratch), "2068-01-01T23:59");
    EXPECT_EQ(CsvWriter::ModifiedField("01/01/68 00:59 PM", scratch), "01/01/68 00:59 PM");
    EXPECT_EQ(CsvWriter::ModifiedField("01/01/68 11:60 AM", scratch), "01/01/68 11:60 AM");
    EXPECT_EQ(CsvWriter::ModifiedField("2019-05-23 00:00:00", scratch), "2019-05-23 00:00:00");

    // A cell a spreadsheet would run as a formula gets an apostrophe, then the usual quoting.
    const std::pair<std::string, std::string> fields[] = {
        {"=1+1", "'=1+1"},     {"+33 1", "'+33 1"},
        {"-", "'-"},           {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "\"'\tx\""},   {"\r=1", "\"'\r=1\""},
        {"=a,b", "\"'=a,b\""}, {"a=b", "a=b"},
        {" =1", " =1"},        {"", ""},
        {"'=1", "'=1"}};
    for (const auto& [cell, expected] : fields) {
        std::string out;
        CsvWriter::AppendField(cell, out);
        EXPECT_EQ(out, expected) << cell;
    }
}

// Entries name each file where it is now; a line that players would take for a comment is
// made a path again; a path no line can carry is left out and counted.
TEST(ListWritersTest, PlaylistEntriesNameTheFileWhereItIsNow) {
    const Mounts::Volume disc{"D1", "/media/CD1", true};
    const Mounts::Volume stick{"S1", "/media/STICK", false};
    const MountedSet mounted({{"D1", "/m/lists/cd", true}});
    const struct {
        std::string path;
        const Mounts::Volume* volume;
        std::string entry;  // the path line; empty when the entry is left out
    } cases[] = {
        {"/m/lists/#1 hit.mp3", nullptr, "./#1 hit.mp3"},
        {"#rel.mp3", nullptr, "./#rel.mp3"},
        {"/m/lists/a#b.mp3", nullptr, "a#b.mp3"},
        {"/media/CD1/x/#2.mp3", &disc, "cd/x/#2.mp3"},  // moved below the playlist
        {"/media/CD1/y.mp3", &disc, "cd/y.mp3"},
        {"/media/STICK/z.mp3", &stick, "/media/STICK/z.mp3"},  // away: as stored
        {"/m/lists/two\nlines.mp3", nullptr, ""},
        {"/media/CD1/cr\r.mp3", &disc, ""},
    };
    CatalogList list;
    std::string expected = "#EXTM3U\n";
    int leftOut = 0;
    for (const auto& c : cases) {
        const RowCells cells{"A", "T", "", "", "", c.path};
        list.AppendRows({CatalogRow(cells, c.volume ? VolumePieces(*c.volume) : "")});
        if (c.entry.empty()) {
            ++leftOut;
        } else {
            expected += "#EXTINF:-1,A - T\n" + c.entry + "\n";
        }
    }
    const CatalogView view(list);
    ExportRows rows(view);
    rows.SetMounted(&mounted);
    RecordingSink sink;
    int counted = -1;
    ASSERT_TRUE(PlaylistWriter("/m/lists/all.m3u8").Write(rows, sink, &counted));
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_EQ(counted, leftOut);

    // The command says how many it left out.
    TempFolder folder("plumet-playlist");
    PosixFiles files;
    ScriptedUserInterface ui;
    const std::string playlist = (folder.path() / "all.m3u8").string();
    ui.saveChoices.push_back(playlist);
    ASSERT_EQ(ListExport::OnExport(ListExport::Format::Playlist, "", rows, {files, ui, {}}),
              ListExport::Outcome::Written);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2 entries were left out: their paths hold a "
                                                    "line end, which a playlist line cannot "
                                                    "carry."});
}

class ListExportTest : public ::testing::Test {
protected:
    ListExport::Outcome Export(ListExport::Format format, const std::string& document) {
        return ListExport::OnExport(format, document, ExportRows(view_), {files_, ui_, {}});
    }

    TempFolder folder_{"plumet-list-export"};
    CatalogList list_;
    CatalogView view_{list_};
    PosixFiles files_;
    ScriptedUserInterface ui_;
};

TEST_F(ListExportTest, TheDialogProposesTheCatalogsNameAndAFailureKeepsTheEarlierFile) {
    EXPECT_EQ(Export(ListExport::Format::Csv, "/x/music.plm"),
              ListExport::Outcome::NothingToExport);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Nothing to export"});
    EXPECT_TRUE(ui_.dialogs.empty());

    AppendRows(list_, {{"A", "B"}, {"C", "D"}});
    const std::string catalog = (folder_.path() / "music.plm").string();
    const struct {
        ListExport::Format format;
        std::string document, proposed, title, suffix;
    } dialogs[] = {
        {ListExport::Format::Csv, catalog, (folder_.path() / "music.csv").string(), "Export To CSV",
         "csv"},
        {ListExport::Format::Playlist, catalog, (folder_.path() / "music.m3u8").string(),
         "Export To Playlist", "m3u8"},
        {ListExport::Format::SearchablePage, "", "Untitled.html", "Export Searchable Page", "html"},
    };
    for (const auto& d : dialogs) {
        EXPECT_EQ(Export(d.format, d.document), ListExport::Outcome::Cancelled);
        EXPECT_EQ(ui_.dialogs.back().proposedPath, d.proposed);
        EXPECT_EQ(ui_.dialogs.back().title, d.title);
        EXPECT_EQ(ui_.dialogs.back().defaultSuffix, d.suffix);
    }

    const std::string csv = (folder_.path() / "music.csv").string();
    ui_.saveChoices.push_back(csv);
    ASSERT_EQ(Export(ListExport::Format::Csv, catalog), ListExport::Outcome::Written);
    const std::string written = ReadBytes(csv);
    EXPECT_EQ(written.substr(written.find("\r\n") + 2, 4), "A,B,");

    // A failed write names the file and the cause, and leaves the earlier file whole.
    list_.SetCell(0, kArtist, "changed");
    std::ofstream(folder_.path() / "plain") << "a file, not a folder";
    const std::string below = (folder_.path() / "plain/music.csv").string();
    ui_.saveChoices.push_back(below);
    EXPECT_EQ(Export(ListExport::Format::Csv, catalog), ListExport::Outcome::WriteFailed);
    EXPECT_EQ(ui_.errors, std::vector<std::string>{below + " contains an invalid path."});
    EXPECT_EQ(ReadBytes(csv), written);
}

}  // namespace
