#include "PlumetCli.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "ProgramPages.h"
#include "browse/CatalogView.h"
#include "catalog/CatalogFile.h"
#include "export/ExportRows.h"
#include "export/HtmlPageWriter.h"
#include "export/ListExport.h"
#include "support/FakeServices.h"
#include "support/MemoryBytes.h"

namespace {

std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
    }
    return text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PlumetCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plumet-cli-XXXXXX";
        folder_ = mkdtemp(pattern);
        in_ = std::tmpfile();
        out_ = std::tmpfile();
        err_ = std::tmpfile();
    }
    void TearDown() override {
        std::fclose(in_);
        std::fclose(out_);
        std::fclose(err_);
        std::filesystem::remove_all(folder_);
    }

    // Each run starts with fresh streams.
    int Run(std::vector<std::string> args, const std::string& input = "") {
        for (std::FILE** stream : {&in_, &out_, &err_}) {
            std::fclose(*stream);
            *stream = std::tmpfile();
        }
        std::fwrite(input.data(), 1, input.size(), in_);
        std::rewind(in_);
        PlumetCli cli(files_, in_, out_, err_);
        cli.SetScanServices(folders_, locale_);
        cli.SetTagReader(tags_);
        cli.SetMounts(mounts_);
        return cli.Run(args);
    }

    PosixFiles files_;
    PosixFolderReader folders_;
    FixedLocale locale_;
    ScriptedTagReader tags_;
    ListedMounts mounts_;
    std::filesystem::path folder_;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    std::FILE* err_ = nullptr;
};

TEST_F(PlumetCliTest, ImportWritesTheCatalogAndDumpPrintsItBack) {
    const std::string lines =
        "Abba\tWaterloo\t/music\t1,024\t01/02/03 04:05 PM\t/music/Abba - Waterloo.mp3\n"
        "\n"  // blank lines are skipped
        "only a path\n"
        "a\tb\tc\td\te\tx\tvolume=V 1\talbum=Post\tf";  // the last line needs no line feed
    const std::string catalog = (folder_ / "out.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, lines), PlumetCli::kOk) << ReadAll(err_);

    const std::string bytes = ReadFile(catalog);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x00\x00\x00", 4));

    ASSERT_EQ(Run({"dump", catalog}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_),
              "Abba\tWaterloo\t/music\t1,024\t01/02/03 04:05 PM\t/music/Abba - Waterloo.mp3\n"
              "\t\t\t\t\tonly a path\n"
              "a\tb\tc\td\te\tf\n");
    // Pieces of the field form are kept, in place; others are dropped.
    ASSERT_EQ(Run({"dump", "--all", catalog}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_),
              "Abba\tWaterloo\t/music\t1,024\t01/02/03 04:05 PM\t/music/Abba - Waterloo.mp3\n"
              "\t\t\t\t\tonly a path\n"
              "a\tb\tc\td\te\tvolume=V 1\talbum=Post\tf\n");
}

TEST_F(PlumetCliTest, ImportToStandardOutputGivesTheSameBytes) {
    const std::string line = "\xC5\xC8\xCF\t\x7F\t\t\t\t/p\n";
    const std::string catalog = (folder_ / "a.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, line), PlumetCli::kOk);
    std::FILE* again = std::tmpfile();
    std::fputs(line.c_str(), again);
    std::rewind(again);
    PlumetCli cli(files_, again, out_, err_);
    ASSERT_EQ(cli.Run({"import"}), PlumetCli::kOk);
    std::fclose(again);
    EXPECT_EQ(ReadAll(out_), ReadFile(catalog));
}

// Names hold every byte: tabs, line ends and the bytes the catalog file escapes.
TEST_F(PlumetCliTest, DumpThenImportGivesBackTheCatalogByteForByte) {
    std::mt19937 random(22);
    const std::string bytes("ab =\t\n\r\x7F\xC5\xC8\xCF\xC3\xA9", 13);
    const auto text = [&](int longest, bool tabs) {
        std::string made;
        for (int n = std::uniform_int_distribution<int>(0, longest)(random); n > 0; --n) {
            const char byte = bytes[random() % bytes.size()];
            made += byte == '\t' && !tabs ? ' ' : byte;
        }
        if (random() % 8 == 0) {
            made += '\0';
        }
        return made;
    };
    for (int round = 0; round < 20; ++round) {
        CatalogList list;
        std::vector<CatalogRow> rows;
        const bool withFields = round % 2 == 0;
        for (int row = 0; row < 40; ++row) {
            std::array<std::string, kColumnCount> cells;
            for (std::string& cell : cells) {
                cell = text(6, true);
            }
            std::string fields;
            for (int piece = withFields ? random() % 3 : 0; piece > 0; --piece) {
                fields += (fields.empty() ? "" : "\t") +
                          std::string(piece == 1 ? "album=" : "x-mine=") + text(5, false);
            }
            rows.emplace_back(RowCells{cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]},
                              fields);
        }
        list.AppendRows(std::move(rows));
        const std::string original = (folder_ / "original.plm").string();
        const std::string copy = (folder_ / "copy.plm").string();
        ASSERT_TRUE(files_.ReplaceFile(
            original, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        std::vector<std::string> dump = {"dump", original};
        if (withFields) {
            dump.insert(dump.begin() + 1, "--all");
        }
        ASSERT_EQ(Run(dump), PlumetCli::kOk) << ReadAll(err_);
        const std::string lines = ReadAll(out_);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), list.RowCount());
        ASSERT_EQ(Run({"import", "-o", copy}, lines), PlumetCli::kOk) << ReadAll(err_);
        ASSERT_EQ(ReadFile(copy), ReadFile(original)) << "round " << round;
    }
}

TEST_F(PlumetCliTest, ErrorsAreOneLineAndUsageIsStatusTwo) {
    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_EQ(Run({"dump", missing}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + missing + " was not found.\n");

    std::ofstream(folder_ / "file").put('x');
    EXPECT_EQ(Run({"import", "-o", (folder_ / "file" / "x.plm").string()}, "a\n"),
              PlumetCli::kFailure);

    EXPECT_EQ(Run({}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"frobnicate"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"dump"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"import", "-o"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"dump", "--bogus", missing}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, MergeWritesTheRowsOfEachCatalogInOrder) {
    const std::string a = (folder_ / "a.plm").string();
    const std::string b = (folder_ / "b.plm").string();
    const std::string merged = (folder_ / "merged.plm").string();
    ASSERT_EQ(Run({"import", "-o", a}, "A1\tt\tf\t1\tm\t/a1\nA2\tt\tf\t2\tm\t/a2\n"),
              PlumetCli::kOk);
    ASSERT_EQ(Run({"import", "-o", b}, "B1\tt\tf\t3\tm\t/b1\n"), PlumetCli::kOk);

    ASSERT_EQ(Run({"merge", b, a, b, "-o", merged}), PlumetCli::kOk) << ReadAll(err_);
    EXPECT_EQ(ReadAll(out_), "");
    ASSERT_EQ(Run({"dump", merged}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_),
              "B1\tt\tf\t3\tm\t/b1\nA1\tt\tf\t1\tm\t/a1\nA2\tt\tf\t2\tm\t/a2\n"
              "B1\tt\tf\t3\tm\t/b1\n");
    EXPECT_EQ(ReadFile(merged).substr(0, 4), std::string("\x04\x00\x00\x00", 4));

    // Every input is read before the output replaces one of them.
    ASSERT_EQ(Run({"merge", a, b, "-o", a}), PlumetCli::kOk);
    ASSERT_EQ(Run({"dump", a}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_), "A1\tt\tf\t1\tm\t/a1\nA2\tt\tf\t2\tm\t/a2\nB1\tt\tf\t3\tm\t/b1\n");

    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_EQ(Run({"merge", b, missing, "-o", merged}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + missing + " was not found.\n");
    EXPECT_EQ(Run({"merge", a, b}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"merge", "-o", merged}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, StatsCountsRowsArtistsFoldersAndSize) {
    const struct {
        const char* name;
        std::string lines;
        std::string stats;
    } cases[] = {
        {"empty catalog", "", "rows: 0\nartists: 0\nfolders: 0\nsize: 0\nalbums: 0\nlength: 0\n"},
        {"comma groups",
         "Abba\tWaterloo\t/music\t4,321,987\tm\t/p1\n"
         "Abba\tSOS\t/music\t1,000\tm\t/p2\n"
         "abba\tFernando\tDisc 1\t13\tm\t/p3\n",
         "rows: 3\nartists: 2\nfolders: 2\nsize: 4323000\nalbums: 0\nlength: 0\n"},
        {"other separators",
         "A\tt\tf\t1.234.567\tm\t/p\n"
         "B\tt\tf\t1\xC2\xA0"
         "234\tm\t/p\n"  // no-break space
         "C\tt\tf\t12\xE2\x80\xAF"
         "345\tm\t/p\n"  // narrow no-break space
         "D\tt\tf\t7 654\tm\t/p\n",
         "rows: 4\nartists: 4\nfolders: 1\nsize: 1255800\nalbums: 0\nlength: 0\n"},
        {"empty cells are not counted", "\t\t\t\t\t/only/path\n\tt\t\t\tm\t/p\n",
         "rows: 2\nartists: 0\nfolders: 0\nsize: 0\nalbums: 0\nlength: 0\n"},
        {"the largest total", "a\tt\tf\t18,446,744,073,709,551,615\tm\t/p\n",
         "rows: 1\nartists: 1\nfolders: 1\nsize: 18446744073709551615\nalbums: 0\nlength: 0\n"},
    };
    const std::string catalog = (folder_ / "c.plm").string();
    for (const auto& c : cases) {
        ASSERT_EQ(Run({"import", "-o", catalog}, c.lines), PlumetCli::kOk) << c.name;
        ASSERT_EQ(Run({"stats", catalog}), PlumetCli::kOk) << c.name << ReadAll(err_);
        EXPECT_EQ(ReadAll(out_), c.stats) << c.name;
    }

    ASSERT_EQ(Run({"import", "-o", catalog},
                  "a\tt\tf\t18,446,744,073,709,551,615\tm\t/p\nb\tt\tf\t1\tm\t/q\n"),
              PlumetCli::kOk);
    EXPECT_EQ(Run({"stats", catalog}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_),
              "plumet-cli: the total size of " + catalog + " is too large to count\n");
    EXPECT_EQ(Run({"stats", (folder_ / "missing.plm").string()}), PlumetCli::kFailure);
    EXPECT_EQ(Run({"stats"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"stats", catalog, catalog}), PlumetCli::kUsage);
}

// Albums and lengths come from the field pieces; --by prints one line per group, largest
// first, and its totals add up to the totals' lines.
TEST_F(PlumetCliTest, StatsCountsAlbumsAndLengthsAndGroupsByFolderArtistAndAlbum) {
    const std::string catalog = (folder_ / "c.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog},
                  "Abba\tSOS\t/music/a\t1,000\tm\talbum=Arrival\tlength=200\t/p1\n"
                  "Abba\tMoney\t/music/a\t3,000\tm\talbum=Arrival\tlength=185\t/p2\n"
                  "abba\tWaterloo\tDisc 1\t500\tm\talbum=Waterloo\tlength=2:50\t/p3\n"
                  "Cream\tBadge\tDisc 1\t9,000\tm\tlength=166\t/p4\n"
                  "\tUntitled\t\t7\tm\t/p5\n"
                  "Cream\tI Feel Free\t/h\t20\tm\talbum=Greatest Hits\t/p6\n"
                  "Queen\tOne Vision\t/h\t30\tm\talbum=Greatest Hits\talbumartist=Queen\t/p7\n"
                  "Queen\tInnuendo\t/h\t40\tm\talbum=Greatest Hits\t/p8\n"),
              PlumetCli::kOk);
    ASSERT_EQ(Run({"stats", catalog}), PlumetCli::kOk) << ReadAll(err_);
    EXPECT_EQ(ReadAll(out_),
              "rows: 8\nartists: 4\nfolders: 3\nsize: 13597\nalbums: 4\nlength: 551\n");

    const std::pair<const char*, const char*> tables[] = {
        {"folder", "Disc 1\t2\t9500\t166\n/music/a\t2\t4000\t385\n/h\t3\t90\t0\n"},
        {"artist", "Cream\t2\t9020\t166\nAbba\t2\t4000\t385\nabba\t1\t500\t0\nQueen\t2\t70\t0\n"},
        {"album",
         "Arrival\t2\t4000\t385\tAbba\nWaterloo\t1\t500\t0\tabba\n"
         "Greatest Hits\t2\t70\t0\tQueen\nGreatest Hits\t1\t20\t0\tCream\n"},
    };
    for (const auto& [by, table] : tables) {
        ASSERT_EQ(Run({"stats", "--by", by, catalog, "-o", (folder_ / "t.txt").string()}),
                  PlumetCli::kOk)
            << by;
        EXPECT_EQ(ReadFile(folder_ / "t.txt"), table) << by;
    }
    EXPECT_EQ(Run({"stats", "--by", "track", catalog}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"stats", catalog, "--by"}), PlumetCli::kUsage);
    EXPECT_NE(ReadAll(err_).find("--by needs folder, artist or album"), std::string::npos);
}

TEST_F(PlumetCliTest, HelpNamesEveryCommand) {
    ASSERT_EQ(Run({"--help"}), PlumetCli::kOk);
    const std::string help = ReadAll(out_);
    for (const char* command : {"dump", "import", "merge", "stats", "search", "duplicates"}) {
        EXPECT_NE(help.find("  " + std::string(command) + " "), std::string::npos) << command;
    }
}

// The installed program, end to end through a shell pipe.
TEST_F(PlumetCliTest, DumpOfImportIsTheInputThroughTheProgram) {
    const std::string input = (folder_ / "in.txt").string();
    std::ofstream(input) << "Artist\tTrack\tFolder\t1\t2\t/path\nx\ty\tz\tw\tv\t/u\n";
    const std::string command = std::string(PLUMET_CLI_PATH) + " import < " + input + " > " +
                                (folder_ / "c.plm").string() + " && " + PLUMET_CLI_PATH + " dump " +
                                (folder_ / "c.plm").string() + " > " +
                                (folder_ / "back.txt").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(folder_ / "back.txt"), ReadFile(input));
}

}  // namespace

TEST_F(PlumetCliTest, ScanWalksAsTheProgramDoes) {
    std::filesystem::create_directories(folder_ / "Music/Abba");
    std::ofstream(folder_ / "Music/Abba/01 - Waterloo.mp3") << "12345";
    std::ofstream(folder_ / "Music/Abba/cover.jpg") << "x";
    std::ofstream(folder_ / "Music/Abba/Clip.avi") << "x";
    const std::string music = (folder_ / "Music").string();
    const std::string catalog = (folder_ / "scan.plm").string();

    ASSERT_EQ(Run({"scan", music, "-o", catalog}), PlumetCli::kOk) << ReadAll(err_);
    ASSERT_EQ(Run({"dump", catalog}), PlumetCli::kOk);
    const std::string row = ReadAll(out_);
    EXPECT_EQ(row.substr(0, row.find("\t", row.find("\t", row.find("\t") + 1) + 1)),
              "Abba\tWaterloo\t" + music + "/Abba");
    EXPECT_NE(row.find("\t5\t"), std::string::npos);
    EXPECT_NE(row.find("\t" + music + "/Abba/01 - Waterloo.mp3\n"), std::string::npos);

    ASSERT_EQ(Run({"scan", "--video", "--label", "DISC 1", music, "-o", catalog}), PlumetCli::kOk);
    ASSERT_EQ(Run({"dump", catalog}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_).substr(0, 16), "Clip\tClip\tDISC 1");

    EXPECT_EQ(Run({"scan", (folder_ / "missing").string(), "-o", catalog}), PlumetCli::kFailure);
    EXPECT_NE(ReadAll(err_).find("missing"), std::string::npos);
    EXPECT_EQ(Run({"scan", music}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"scan", "--label"}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, UpdateMergesAFolderWalkedAgainIntoTheRowsBelowIt) {
    namespace fs = std::filesystem;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        fs::create_directories((folder_ / name).parent_path());
        std::ofstream(folder_ / name) << bytes;
    };
    for (const char* name : {"A/a - 1.mp3", "A/a - 2.mp3", "A/a - 3.mp3", "B/b - 1.mp3"}) {
        write(name, "x");
    }
    const std::string a = (folder_ / "A").string();
    const std::string catalog = (folder_ / "all.plm").string();
    const std::string other = (folder_ / "other.plm").string();
    ASSERT_EQ(Run({"scan", a, "-o", catalog}), PlumetCli::kOk);
    ASSERT_EQ(Run({"scan", (folder_ / "B").string(), "-o", other}), PlumetCli::kOk);
    ASSERT_EQ(Run({"merge", catalog, other, "-o", catalog}), PlumetCli::kOk);
    fs::remove(folder_ / "A/a - 2.mp3");
    write("A/a - 3.mp3", "longer");
    write("A/new/a - 4.mp3", "x");

    const std::string copy = (folder_ / "copy.plm").string();
    ASSERT_EQ(Run({"update", catalog, a, "-o", copy}), PlumetCli::kOk) << ReadAll(err_);
    EXPECT_EQ(ReadAll(out_), "Updated \"" + a + "\": 1 added, 1 removed, 1 changed.\n");
    ASSERT_EQ(Run({"dump", copy}), PlumetCli::kOk);
    std::vector<std::string> rows;  // Track/Size
    std::istringstream lines(ReadAll(out_));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        const std::size_t sizeAt = line.find('\t', line.find('\t', tab + 1) + 1) + 1;
        rows.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1) + "/" +
                       line.substr(sizeAt, 1));
    }
    ASSERT_EQ(rows.size(), 4U);
    // The walk's order within A is the file system's; the new row follows A's last, B's stays.
    std::sort(rows.begin(), rows.begin() + 2);
    EXPECT_EQ(rows, (std::vector<std::string>{"1/1", "3/6", "4/1", "1/1"}));
    // Without -o the catalog itself is replaced; a folder that cannot be read changes nothing.
    ASSERT_EQ(Run({"update", catalog, a}), PlumetCli::kOk);
    EXPECT_EQ(Run({"update", catalog, (folder_ / "gone").string()}), PlumetCli::kFailure);
    ASSERT_EQ(Run({"dump", catalog}), PlumetCli::kOk);
    const std::string dumped = ReadAll(out_);
    EXPECT_EQ(std::count(dumped.begin(), dumped.end(), '\n'), 4);
    EXPECT_EQ(Run({"update", catalog}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, ScanReadsTagsUnlessToldNotToAndNamesTheRestByThePattern) {
    std::filesystem::create_directories(folder_ / "Music/Abba");
    const std::string tagged = (folder_ / "Music/Abba/01 - Waterloo.mp3").string();
    const std::string untagged = (folder_ / "Music/Abba/02 - Honey Honey.mp3").string();
    std::ofstream(tagged) << "x";
    std::ofstream(untagged) << "x";
    FileTags tags;
    tags.artist = "ABBA";
    tags.fields[kAlbum - kColumnCount] = "Waterloo";
    tags_.tags[tagged] = tags;
    const std::string music = (folder_ / "Music").string();
    const std::string catalog = (folder_ / "scan.plm").string();

    // Artist, Track and the fields text of each file, by path.
    const auto scan = [&](std::vector<std::string> options) {
        options.insert(options.begin(), "scan");
        options.insert(options.end(), {music, "-o", catalog});
        EXPECT_EQ(Run(options), PlumetCli::kOk) << ReadAll(err_);
        Files::OpenedFile opened;
        CatalogList list;
        EXPECT_TRUE(files_.OpenForReading(catalog, opened));
        EXPECT_TRUE(CatalogFile::LoadCatalog(list, *opened.source, false));
        std::map<std::string, std::string> rows;
        for (int row = 0; row < list.RowCount(); ++row) {
            const CatalogRow& r = *list.RowRecord(row);
            rows[std::string(r.Cell(kPath))] = std::string(r.Cell(kArtist)) + "|" +
                                               std::string(r.Cell(kTrack)) + "|" +
                                               std::string(r.Fields());
        }
        return rows;
    };
    using Rows = std::map<std::string, std::string>;
    EXPECT_EQ(scan({}),
              (Rows{{tagged, "ABBA|Waterloo|album=Waterloo"}, {untagged, "Abba|Honey Honey|"}}));
    EXPECT_EQ(scan({"--no-tags"}),
              (Rows{{tagged, "Abba|Waterloo|"}, {untagged, "Abba|Honey Honey|"}}));
    EXPECT_EQ(scan({"--pattern", "<track> - <title>"}),
              (Rows{{tagged, "ABBA|Waterloo|album=Waterloo\ttrack=1"},
                    {untagged, "Abba|Honey Honey|track=2"}}));

    std::filesystem::remove(catalog);
    EXPECT_EQ(Run({"scan", "--pattern", "<artist> <bogus>", music, "-o", catalog}),
              PlumetCli::kUsage);
    const std::string error = ReadAll(err_);
    EXPECT_NE(error.find("<artist> <bogus>"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(catalog));
    EXPECT_EQ(Run({"scan", "--pattern"}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, SortAndFilterRewriteACatalogAsTheListDoes) {
    const std::string catalog = (folder_ / "in.plm").string();
    const std::string out = (folder_ / "out.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog},
                  "b\tt1\tCD1\t1,000,000\tm\tlength=61\t/1\n"
                  "ABBA\tt2\tCD2\t999\tm\tlength=0\t/2\n"
                  "abba\tt3\tcd1\t4,567,890\tm\tyear=1999\t/3\n"
                  "\tt4\tCD1\t\tm\tlength=7\t/4\n"),
              PlumetCli::kOk);
    const auto tracks = [&](const std::vector<std::string>& args) {
        EXPECT_EQ(Run(args), PlumetCli::kOk) << ReadAll(err_);
        EXPECT_EQ(Run({"dump", out}), PlumetCli::kOk);
        std::string column;
        std::istringstream lines(ReadAll(out_));
        for (std::string line; std::getline(lines, line);) {
            column += line.substr(line.find('\t') + 1, 2) + " ";
        }
        return column;
    };
    EXPECT_EQ(tracks({"sort", "--column", "0", catalog, "-o", out}), "t4 t2 t3 t1 ");
    EXPECT_EQ(tracks({"sort", "--descending", "--column", "0", catalog, "-o", out}),
              "t1 t2 t3 t4 ");
    EXPECT_EQ(tracks({"sort", "--column", "3", catalog, "-o", out}), "t4 t2 t1 t3 ");
    EXPECT_EQ(tracks({"sort", "--column", "12", catalog, "-o", out}), "t3 t2 t4 t1 ");
    EXPECT_EQ(tracks({"filter", "--column", "10", "--key", "1999", catalog, "-o", out}), "t3 ");
    EXPECT_EQ(tracks({"filter", "--column", "2", "--key", "CD1", catalog, "-o", out}), "t1 t4 ");
    EXPECT_EQ(tracks({"filter", "--column", "0", "--key", "", catalog, "-o", out}), "t4 ");
    EXPECT_EQ(tracks({"filter", "--column", "5", "--key", "/none", catalog, "-o", out}), "");

    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_EQ(Run({"sort", "--column", "0", missing, "-o", out}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + missing + " was not found.\n");
    EXPECT_EQ(Run({"sort", catalog, "-o", out}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"sort", "--column", "14", catalog, "-o", out}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"sort", "--column", "x", catalog, "-o", out}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"sort", "--column", "1", catalog}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"sort", "--column"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"filter", "--column", "2", catalog, "-o", out}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"filter", "--key", "CD1", catalog, "-o", out}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"filter", "--column", "2", "--key"}), PlumetCli::kUsage);

    ASSERT_EQ(Run({"--help"}), PlumetCli::kOk);
    const std::string help = ReadAll(out_);
    EXPECT_NE(help.find("  sort --column N"), std::string::npos);
    EXPECT_NE(help.find("  filter --column N --key TEXT"), std::string::npos);
}

namespace {

// The page the program writes for these row lines, linking to `website`.
std::string PageOf(const std::vector<std::string>& lines, const std::string& website) {
    MemorySink sink;
    CatalogList list;
    list.RebuildFromLines(lines);
    EXPECT_TRUE(HtmlPageWriter(website).WritePage(CatalogView(list), sink));
    return sink.bytes;
}

}  // namespace

TEST_F(PlumetCliTest, ExportWritesTheProgramsPageBesideTheCatalog) {
    const std::vector<std::string> lines = {"ABBA\tWaterloo\tCD1\t1\tm\t/1",
                                            "\tNo Artist\tCD1\t2\tm\t/2",
                                            "AC/DC & Friends\t<script>x</script>\tCD2\t3\tm\t/3"};
    std::filesystem::create_directories(folder_ / "My.Lists");
    const std::string catalog = (folder_ / "My.Lists/music.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, lines[0] + "\n" + lines[1] + "\n" + lines[2]),
              PlumetCli::kOk);

    ASSERT_EQ(Run({"export", catalog}), PlumetCli::kOk) << ReadAll(err_);
    const std::string page = ReadFile(folder_ / "My.Lists/music.html");
    EXPECT_EQ(page, PageOf(lines, ProgramWebsite("", BuiltInGuidePlaces())));
    EXPECT_NE(page.find("<td>&lt;script&gt;x&lt;/script&gt;</td>"), std::string::npos);
    EXPECT_EQ(ReadAll(out_), "");

    // The program itself links to the guide it would show, as the desktop program does.
    const std::string other = (folder_ / "other.html").string();
    const std::string command =
        std::string(PLUMET_CLI_PATH) + " export " + catalog + " -o " + other;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string programFolder = std::filesystem::path(PLUMET_CLI_PATH).parent_path();
    EXPECT_EQ(ReadFile(other), PageOf(lines, ProgramWebsite(programFolder, BuiltInGuidePlaces())));

    std::ofstream(folder_ / "plain") << "a file, not a folder";
    const std::string below = (folder_ / "plain/page.html").string();
    EXPECT_EQ(Run({"export", catalog, "-o", below}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + below + " contains an invalid path.\n");
    EXPECT_EQ(Run({"export", (folder_ / "none.plm").string()}), PlumetCli::kFailure);
    EXPECT_EQ(Run({"export"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"export", catalog, catalog}), PlumetCli::kUsage);

    ASSERT_EQ(Run({"--help"}), PlumetCli::kOk);
    EXPECT_NE(ReadAll(out_).find("  export [--format html|csv|m3u|page] CATALOG [-o OUT]"),
              std::string::npos);
}

TEST_F(PlumetCliTest, ExportWritesEachFormatAndNothingForAnEmptyCatalog) {
    const std::vector<std::string> lines = {
        "Dvo\xC5\x99\xC3\xA1k\tLargo, \"New\"\tCD1\t1,234\t"
        "03/05/24 02:07 PM\t" +
            (folder_ / "a.mp3").string(),
        "AC/DC\t<b>x</b>\tCD2\t3\tm\t/elsewhere/b.mp3"};
    const std::string catalog = (folder_ / "music.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, lines[0] + "\n" + lines[1]), PlumetCli::kOk);
    CatalogList list;
    list.RebuildFromLines(lines);
    const CatalogView view(list);
    const struct {
        std::string name;
        ListExport::Format format;
        std::string file;
    } formats[] = {{"csv", ListExport::Format::Csv, "music.csv"},
                   {"m3u", ListExport::Format::Playlist, "music.m3u8"},
                   {"page", ListExport::Format::SearchablePage, "music.html"}};
    for (const auto& f : formats) {
        const std::string path = (folder_ / f.file).string();
        MemorySink sink;
        ASSERT_TRUE(ListExport::Write(f.format, path, ExportRows(view), sink));
        ASSERT_EQ(Run({"export", "--format", f.name, catalog}), PlumetCli::kOk) << ReadAll(err_);
        EXPECT_EQ(ReadFile(path), sink.bytes) << f.name;
        const std::string other = (folder_ / ("other-" + f.file)).string();
        ASSERT_EQ(Run({"export", catalog, "-o", other, "--format", f.name}), PlumetCli::kOk);
        // The page is titled with its own name; the others are the same bytes.
        if (f.format == ListExport::Format::SearchablePage) {
            EXPECT_NE(ReadFile(other).find("<title>other-music</title>"), std::string::npos);
        } else {
            EXPECT_EQ(ReadFile(other), sink.bytes) << f.name;
        }
    }
    EXPECT_NE(ReadFile(folder_ / "music.m3u8").find("\na.mp3\n#EXTINF:-1,AC/DC - <b>x</b>\n"),
              std::string::npos);

    const std::string empty = (folder_ / "empty.plm").string();
    ASSERT_EQ(Run({"import", "-o", empty}), PlumetCli::kOk);
    for (const std::string format : {"html", "csv", "m3u", "page"}) {
        EXPECT_EQ(Run({"export", "--format", format, empty}), PlumetCli::kFailure);
        EXPECT_EQ(ReadAll(err_), "plumet-cli: Nothing to export\n");
    }
    EXPECT_EQ(Run({"export", empty, "-o", (folder_ / "none.html").string()}), PlumetCli::kFailure);
    for (const char* written : {"empty.html", "empty.csv", "empty.m3u8", "none.html"}) {
        EXPECT_FALSE(std::filesystem::exists(folder_ / written)) << written;
    }
    EXPECT_EQ(Run({"export", "--format", "xls", catalog}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"export", catalog, "--format"}), PlumetCli::kUsage);
}

TEST_F(PlumetCliTest, SearchAndDuplicatesPrintRowsOfSeveralCatalogsWithGrepsStatuses) {
    const std::string a = (folder_ / "a.plm").string();
    const std::string b = (folder_ / "b.plm").string();
    ASSERT_EQ(Run({"import", "-o", a},
                  "Dvořák\tSymphony 9\tDisc 1\t1,024\tm\t/m/new.flac\n"
                  "Abba\tWaterloo\tDisc 1\t10\tm\t/m/w.mp3\n"
                  "Björk\tJóga\tDisc 2\t5\tm\tgenre=Pop\tlength=300\t/m/j.mp3\n"),
              PlumetCli::kOk);
    ASSERT_EQ(Run({"import", "-o", b},
                  "DVORAK\tsymphony 9\tShelf\t1024\tm\t/s/new.flac\n"
                  "Bjork\tJOGA\tShelf\t7\tm\t/s/j.ogg\n"
                  "\t\t\t\t\t/s/noname\n"
                  "\t\t\t\t\t/t/noname\n"),
              PlumetCli::kOk);

    // Every word in some column, a phrase within one, catalogs in the order given.
    EXPECT_EQ(Run({"search", "dvořák \"SYMPHONY 9\"", a, b}), 0);
    EXPECT_EQ(ReadAll(out_), a + "\tDisc 1\t/m/new.flac\n" + b + "\tShelf\t/s/new.flac\n");
    EXPECT_EQ(Run({"search", "pop", b, a}), 0);
    EXPECT_EQ(ReadAll(out_), a + "\tDisc 2\t/m/j.mp3\n");
    EXPECT_EQ(Run({"search", "\"dvorak symphony\"", a, b}), 1);
    EXPECT_EQ(ReadAll(out_), "");
    EXPECT_EQ(Run({"search", "--", "-x", a}), 1);
    EXPECT_EQ(Run({"search", "abba"}), 2);
    EXPECT_EQ(Run({"search"}), 2);
    // A catalog that cannot be read is reported; the others are still searched.
    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_EQ(Run({"search", "abba", missing, a}), 2);
    EXPECT_EQ(ReadAll(out_), a + "\tDisc 1\t/m/w.mp3\n");
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + missing + " was not found.\n");

    // Groups in key order, rows in catalog order, the catalogs' rows together; rows with
    // neither Artist nor Track never group.
    EXPECT_EQ(Run({"duplicates", a, b}), 0);
    EXPECT_EQ(ReadAll(out_), a + "\tDisc 2\t/m/j.mp3\n" + b + "\tShelf\t/s/j.ogg\n\n" + a +
                                 "\tDisc 1\t/m/new.flac\n" + b + "\tShelf\t/s/new.flac\n\n");
    EXPECT_EQ(Run({"duplicates", "--by", "name-size", b, a}), 0);
    EXPECT_EQ(ReadAll(out_), b + "\tShelf\t/s/new.flac\n" + a + "\tDisc 1\t/m/new.flac\n\n" + b +
                                 "\t\t/s/noname\n" + b + "\t\t/t/noname\n\n");
    EXPECT_EQ(Run({"duplicates", "--by", "artist-track-length", a, b}), 0);
    EXPECT_EQ(ReadAll(out_), a + "\tDisc 1\t/m/new.flac\n" + b + "\tShelf\t/s/new.flac\n\n");
    EXPECT_EQ(Run({"duplicates", a}), 1);
    EXPECT_EQ(Run({"duplicates", "--by", "size", a}), 2);
    EXPECT_EQ(Run({"duplicates"}), 2);
    EXPECT_EQ(Run({"duplicates", a, missing}), 2);
    EXPECT_EQ(ReadAll(out_), "");
}

TEST_F(PlumetCliTest, UpdateFollowsWhatTheUserMeantAndKeepsWhatItCouldNotSee) {
    namespace fs = std::filesystem;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        fs::create_directories((folder_ / name).parent_path());
        std::ofstream(folder_ / name) << bytes;
    };
    const auto dump = [&](const std::string& catalog) {
        EXPECT_EQ(Run({"dump", catalog}), PlumetCli::kOk) << ReadAll(err_);
        std::vector<std::string> rows;  // Artist|Track|In Folder/Disk|Path below folder_
        std::istringstream lines(ReadAll(out_));
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> cells;
            std::istringstream split(line);
            for (std::string cell; std::getline(split, cell, '\t');) {
                cells.push_back(cell);
            }
            const std::string below =
                cells.at(5).substr(0, folder_.string().size()) == folder_.string()
                    ? cells[5].substr(folder_.string().size())
                    : "outside " + cells[5];
            rows.push_back(cells[0] + "|" + cells[1] + "|" + cells[2] + "|" + below);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    write("Music/Box/a - 1.mp3", "x");
    write("Music/Box/a - 2.mp3", "x");
    write("Music/Box/CD2/b - 3.mp3", "x");
    fs::create_directory(folder_ / "Elsewhere");
    fs::create_directory_symlink(folder_ / "Music", folder_ / "Link");
    const std::string catalog = (folder_ / "cat.plm").string();
    struct Back {
        fs::path to = fs::current_path();
        ~Back() { fs::current_path(to); }
    } back;
    fs::current_path(folder_);

    // A folder given relative is stored absolute, as the window stores it.
    ASSERT_EQ(Run({"scan", "--label", "Box set", "./Music/Box/", "-o", catalog}), PlumetCli::kOk);
    EXPECT_EQ(dump(catalog), (std::vector<std::string>{"a|1|Box set|/Music/Box/a - 1.mp3",
                                                       "a|2|Box set|/Music/Box/a - 2.mp3",
                                                       "b|3|Box set|/Music/Box/CD2/b - 3.mp3"}));

    // Relative and through a link, ROOT covers the rows stored below where it leads; the new
    // file is named by the pattern and takes the label its folder's rows share.
    write("Music/Box/4 - c.mp3", "x");
    ASSERT_EQ(Run({"update", "--pattern", "<title> - <artist>", catalog, "Link/Box"}),
              PlumetCli::kOk)
        << ReadAll(err_);
    EXPECT_EQ(ReadAll(out_), "Updated \"Link/Box\": 1 added, 0 removed, 0 changed.\n");
    EXPECT_EQ(dump(catalog),
              (std::vector<std::string>{
                  "a|1|Box set|/Music/Box/a - 1.mp3", "a|2|Box set|/Music/Box/a - 2.mp3",
                  "b|3|Box set|/Music/Box/CD2/b - 3.mp3", "c|4|Box set|/Link/Box/4 - c.mp3"}));

    // CD2 is behind a link whose drive is away: its row stays, the rest is merged and written,
    // and the status says so on standard error.
    fs::remove_all(folder_ / "Music/Box/CD2");
    fs::create_directory_symlink(folder_ / "Unplugged", folder_ / "Music/Box/CD2");
    fs::remove(folder_ / "Music/Box/a - 2.mp3");
    const std::string out = (folder_ / "out.plm").string();
    EXPECT_EQ(Run({"update", catalog, "Music/Box", "-o", out}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(out_), "");
    EXPECT_EQ(ReadAll(err_), "plumet-cli: cannot read " + folder_.string() +
                                 "/Music/Box/CD2: the link's target " + folder_.string() +
                                 "/Unplugged is missing\n"
                                 "Updated \"Music/Box\": 0 added, 1 removed, 0 changed; 1 folder "
                                 "could not be read, so its rows were kept.\n");
    EXPECT_EQ(dump(out), (std::vector<std::string>{"a|1|Box set|/Music/Box/a - 1.mp3",
                                                   "b|3|Box set|/Music/Box/CD2/b - 3.mp3",
                                                   "c|4|Box set|/Link/Box/4 - c.mp3"}));
    // A scan names it the same way and goes on.
    EXPECT_EQ(Run({"scan", "Music", "-o", out}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: cannot read " + folder_.string() +
                                 "/Music/Box/CD2: the link's target " + folder_.string() +
                                 "/Unplugged is missing\n");
    EXPECT_EQ(dump(out).size(), 2U);

    // Nothing is written over a file that is no catalog, nor when no row lies below ROOT.
    write("notes.txt", "milk\neggs\nbread\n");
    const std::string before = ReadFile(catalog);
    EXPECT_EQ(Run({"update", "notes.txt", "Music"}), PlumetCli::kUsage);
    EXPECT_EQ(ReadFile(folder_ / "notes.txt"), "milk\neggs\nbread\n");
    EXPECT_EQ(Run({"update", catalog, "Elsewhere"}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: No rows of " + catalog + " lie below Elsewhere.\n");
    EXPECT_EQ(Run({"update", "--pattern", "<nonsense", catalog, "Music"}), PlumetCli::kUsage);
    EXPECT_EQ(ReadFile(catalog), before);
}
