#include "catalog/CPlumetDoc.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "catalog/RowLine.h"
#include "support/FakeServices.h"
#include "support/FileSizeLimit.h"
#include "support/MemoryBytes.h"

namespace {

namespace fs = std::filesystem;

class CPlumetDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plumet-doc-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string WriteCatalog(const std::string& name, const std::vector<std::string>& artists) {
        CatalogList rows;
        for (const std::string& artist : artists) {
            rows.InsertRow(rows.RowCount(), artist);
        }
        const std::string path = (folder_ / name).string();
        EXPECT_TRUE(files_.ReplaceFile(
            path, [&rows](ByteSink& sink) { return CatalogFile::StoreCatalog(rows, sink); }));
        return path;
    }

    std::vector<std::string> Artists() const {
        std::vector<std::string> artists;
        for (int row = 0; row < list_.RowCount(); ++row) {
            artists.emplace_back(list_.CellText(row, kArtist));
        }
        return artists;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    RecentFileList recent_;
    CatalogList list_;
    CPlumetDoc doc_{list_, files_, ui_, recent_};
};

TEST_F(CPlumetDocTest, OpenShowsTheFileAndMakesItTheFirstRecentEntry) {
    EXPECT_EQ(doc_.WindowTitle(), "Untitled - Plumet");
    const std::string first = WriteCatalog("first.plm", {"a", "b"});
    const std::string second = WriteCatalog("second.plm", {"c"});
    ASSERT_TRUE(doc_.OpenDocumentFile(first));
    ASSERT_TRUE(doc_.OpenDocumentFile(second));
    EXPECT_EQ(Artists(), std::vector<std::string>{"c"});
    EXPECT_EQ(doc_.WindowTitle(), "second.plm - Plumet");
    EXPECT_TRUE(doc_.catalogLoaded());
    ASSERT_EQ(recent_.Count(), 2);
    EXPECT_EQ(recent_.Path(0), second);
    EXPECT_EQ(recent_.Path(1), first);
}

TEST_F(CPlumetDocTest, TheFileAlreadyOpenIsNotReadAgain) {
    const std::string path = WriteCatalog("a.plm", {"a"});
    ASSERT_TRUE(doc_.OpenDocumentFile(path));
    list_.InsertRow(1, "scanned");
    doc_.SetModified(true);
    // Named another way, it is still the same file.
    EXPECT_TRUE(doc_.OpenDocumentFile((folder_ / "." / "a.plm").string()));
    EXPECT_EQ(Artists(), (std::vector<std::string>{"a", "scanned"}));
    EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(CPlumetDocTest, AnEmptyFileKeepsTheRowsButTakesThePath) {
    list_.InsertRow(0, "kept");
    std::ofstream(folder_ / "empty.plm").close();
    ASSERT_TRUE(doc_.OpenDocumentFile((folder_ / "empty.plm").string()));
    EXPECT_EQ(Artists(), std::vector<std::string>{"kept"});
    EXPECT_EQ(doc_.Title(), "empty.plm");
    EXPECT_FALSE(doc_.catalogLoaded());
}

TEST_F(CPlumetDocTest, AFailedOpenLeavesTheCatalogAndNamesTheFile) {
    const std::string path = WriteCatalog("a.plm", {"a"});
    ASSERT_TRUE(doc_.OpenDocumentFile(path));
    doc_.SetModified(true);
    ui_.answers = {SaveAnswer::No};
    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_FALSE(doc_.OpenDocumentFile(missing));
    EXPECT_EQ(ui_.errors, std::vector<std::string>{missing + " was not found."});
    EXPECT_EQ(Artists(), std::vector<std::string>{"a"});
    EXPECT_EQ(doc_.path(), path);
}

// A catalog on a shared folder, written by another computer between Open and Save; what
// the answers do is the sequence test's. Times are set by hand: two writes within one clock
// tick may carry the same time.
TEST_F(CPlumetDocTest, SaveAsksBeforeReplacingAFileChangedByAnotherProgram) {
    enum class Change { None, InPlace, Replaced, Grown, Deleted };
    const std::pair<Change, bool> cases[] = {{Change::None, false},
                                             {Change::InPlace, true},
                                             {Change::Replaced, true},
                                             {Change::Grown, true},
                                             {Change::Deleted, false}};
    for (const auto& [change, asks] : cases) {
        const std::string where = std::to_string(static_cast<int>(change));
        doc_.OnNewDocument();
        const std::string path = WriteCatalog("c.plm", {"a", "b"});
        const std::string other = WriteCatalog("other.plm", {"x", "y"});  // the same size
        ASSERT_TRUE(doc_.OpenDocumentFile(path)) << where;
        const fs::file_time_type opened = fs::last_write_time(path);
        doc_.SetModified(true);
        if (change == Change::InPlace) {
            std::ofstream(path, std::ios::binary | std::ios::in) << ReadFile(other);
            fs::last_write_time(path, opened + std::chrono::seconds(1));
        } else if (change == Change::Replaced) {
            fs::rename(other, path);
            fs::last_write_time(path, opened);
        } else if (change == Change::Grown) {
            std::ofstream(path, std::ios::binary | std::ios::app) << "more";
            fs::last_write_time(path, opened);
        } else if (change == Change::Deleted) {
            fs::remove(path);
        }
        const std::string before = fs::exists(path) ? ReadFile(path) : "";
        ui_.questions.clear();
        EXPECT_EQ(doc_.OnFileSave(), !asks) << where;  // No, as unscripted questions are
        if (!asks) {
            EXPECT_TRUE(ui_.questions.empty()) << where;
            continue;
        }
        EXPECT_EQ(ui_.questions, std::vector<std::string>{"c.plm was changed by another program "
                                                          "since it was opened. Replace it with "
                                                          "this catalog?"});
        EXPECT_EQ(ReadFile(path), before) << where;
        EXPECT_TRUE(doc_.modified()) << where;
        EXPECT_TRUE(ui_.errors.empty()) << where;
    }
}

TEST_F(CPlumetDocTest, AskToSaveAnswers) {
    const std::string target = (folder_ / "saved.plm").string();
    list_.InsertRow(0, "row");

    // Cancel keeps everything.
    doc_.SetModified(true);
    ui_.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(doc_.OnFileNew());
    EXPECT_EQ(ui_.questions, std::vector<std::string>{"Save changes to Untitled?"});
    EXPECT_EQ(list_.RowCount(), 1);

    // Yes on an untitled catalog asks for a name first; cancelling that stops too.
    ui_.answers = {SaveAnswer::Yes};
    EXPECT_FALSE(doc_.OnFileNew());
    ASSERT_EQ(ui_.dialogs.size(), 1u);
    EXPECT_EQ(ui_.dialogs[0].title, "Save As");
    EXPECT_EQ(ui_.dialogs[0].proposedPath, "Untitled.plm");
    EXPECT_EQ(list_.RowCount(), 1);

    // Yes with a name saves, then goes on.
    ui_.answers = {SaveAnswer::Yes};
    ui_.saveChoices = {target};
    EXPECT_TRUE(doc_.OnFileNew());
    EXPECT_EQ(list_.RowCount(), 0);
    EXPECT_EQ(doc_.Title(), "Untitled");
    EXPECT_EQ(ReadFile(target).size(), 4u + 3u + 5u + 1u);  // count, "row", five tabs, LF
    EXPECT_EQ(recent_.Path(0), target);

    // No goes on without saving; an unmodified catalog asks nothing.
    list_.InsertRow(0, "other");
    doc_.SetModified(true);
    ui_.answers = {SaveAnswer::No};
    EXPECT_TRUE(doc_.OnFileNew());
    const std::size_t asked = ui_.questions.size();
    EXPECT_TRUE(doc_.OnFileNew());
    EXPECT_EQ(ui_.questions.size(), asked);
}

TEST_F(CPlumetDocTest, SaveAsOffersTheFiltersAndAFailedSaveKeepsTheOldFile) {
    const std::string path = WriteCatalog("a.plm", {"old"});
    ASSERT_TRUE(doc_.OpenDocumentFile(path));
    const std::string before = ReadFile(path);

    ui_.saveChoices = {(folder_ / "missing-folder" / "b.plm").string()};
    list_.SetCell(0, kArtist, "new");
    doc_.SetModified(true);
    EXPECT_FALSE(doc_.OnFileSaveAs());
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_TRUE(doc_.modified());
    EXPECT_EQ(doc_.path(), path);
    const FileDialogRequest& dialog = ui_.dialogs.back();
    EXPECT_EQ(dialog.proposedPath, path);
    ASSERT_EQ(dialog.filters.size(), 2u);
    EXPECT_EQ(dialog.filters[0].name, "Plumet Files (*.plm)");
    EXPECT_EQ(dialog.filters[1].name, "All Files (*.*)");
    EXPECT_EQ(ReadFile(path), before);

    EXPECT_TRUE(doc_.OnFileSave());
    EXPECT_FALSE(doc_.modified());
    EXPECT_NE(ReadFile(path), before);
}

TEST_F(CPlumetDocTest, AFullDiskTellsTheUserAndKeepsTheOldCatalog) {
    const std::string path = WriteCatalog("full.plm", {"old"});
    ASSERT_TRUE(doc_.OpenDocumentFile(path));
    const std::string before = ReadFile(path);
    const std::optional<std::string> outcome = WithFileSizeLimit(64 << 10, [this] {
        for (int row = 0; row < 20000; ++row) {
            list_.InsertRow(list_.RowCount(), "Artist " + std::to_string(row));
        }
        doc_.SetModified(true);
        const bool saved = doc_.OnFileSave();
        std::string text = saved ? "saved" : doc_.modified() ? "kept modified" : "clean";
        for (const std::string& error : ui_.errors) {
            text += "|" + error;
        }
        return text;
    });
    ASSERT_TRUE(outcome) << "the file size limit cannot be set here";
    EXPECT_EQ(*outcome, "kept modified|Disk full while accessing " + path + ".");
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(CPlumetDocTest, MergeAppendsInFileOrderAndMarksTheCatalogModified) {
    for (const char* artist : {"1", "2", "3", "4", "5"}) {
        list_.InsertRow(list_.RowCount(), artist);
    }
    const std::string other = WriteCatalog("other.plm", {"x", "y", "z"});
    ui_.openChoices = {other};
    ASSERT_TRUE(doc_.OnMerge());
    EXPECT_EQ(Artists(), (std::vector<std::string>{"1", "2", "3", "4", "5", "x", "y", "z"}));
    EXPECT_EQ(doc_.Title(), "Untitled");
    EXPECT_TRUE(doc_.modified());
    EXPECT_EQ(recent_.Count(), 0);
    const FileDialogRequest& dialog = ui_.dialogs.back();
    EXPECT_EQ(dialog.title, "Plumet File");
    ASSERT_EQ(dialog.filters.size(), 1u);
    EXPECT_EQ(dialog.startFolder, FileDialogRequest::StartFolder::Documents);

    // Cancel changes nothing.
    EXPECT_FALSE(doc_.OnMerge());
    EXPECT_EQ(list_.RowCount(), 8);
}

TEST_F(CPlumetDocTest, AMissingRecentFileIsReportedAndDropped) {
    const std::string kept = WriteCatalog("kept.plm", {"k"});
    recent_.Add(kept);
    recent_.Add((folder_ / "gone.plm").string());
    EXPECT_FALSE(doc_.OnOpenRecentFile(0));
    EXPECT_EQ(ui_.errors.size(), 1u);
    ASSERT_EQ(recent_.Count(), 1);
    EXPECT_TRUE(doc_.OnOpenRecentFile(0));
    EXPECT_EQ(Artists(), std::vector<std::string>{"k"});
}

TEST_F(CPlumetDocTest, AFileThatIsNoCatalogIsTakenOnlyWhenTheUserSaysSo) {
    enum class Entry { Open, Recent, Merge };
    enum class File { Catalog, Miscounted, ThreeBytes, Empty };
    using enum Entry;
    using enum File;
    using Rows = std::vector<std::string>;
    const Rows before{"c1", "c2"}, file{"f1", "f2"}, both{"c1", "c2", "f1", "f2"}, none;
    struct Case {
        Entry entry;
        File file;
        bool yes;  // the answer to "Open it anyway?"
        const Rows& artists;
        const char* path;  // "target", "current" or "" for untitled
        bool modified;
        bool targetFirstInRecent;  // else the recent files are as before
        const char* asked;         // in order: C is it a catalog, S save changes
        bool fileKept;             // through a save afterwards
    };
    const Case cases[] = {
        {Open, Catalog, false, file, "target", false, true, "S", true},
        {Open, Miscounted, false, before, "current", true, false, "C", true},
        {Open, Miscounted, true, file, "", false, false, "CS", true},
        {Open, ThreeBytes, false, none, "target", false, true, "S", false},
        {Open, Empty, false, before, "target", false, true, "S", false},
        {Recent, Catalog, false, file, "target", false, true, "S", true},
        {Recent, Miscounted, false, before, "current", true, false, "C", true},
        {Recent, Miscounted, true, file, "", false, false, "CS", true},
        {Recent, ThreeBytes, false, none, "target", false, true, "S", false},
        {Merge, Catalog, false, both, "current", true, false, "", true},
        {Merge, Miscounted, false, before, "current", true, false, "C", true},
        {Merge, Miscounted, true, both, "current", true, false, "C", true},
        {Merge, ThreeBytes, false, before, "current", true, false, "", true},
    };

    CatalogList stored;
    stored.InsertRow(0, "f1");
    stored.InsertRow(1, "f2");
    MemorySink sink;
    ASSERT_TRUE(CatalogFile::StoreCatalog(stored, sink));
    std::string miscounted = sink.bytes;
    miscounted[0] = '\x03';  // as in a truncated catalog
    const std::map<File, std::string> bytes{{Catalog, sink.bytes},
                                            {Miscounted, miscounted},
                                            {ThreeBytes, std::string("\x01\x00\n", 3)},
                                            {Empty, ""}};

    for (const Case& c : cases) {
        const std::string name = "case" + std::to_string(&c - cases);
        SCOPED_TRACE(name);
        const std::string target = (folder_ / name).string() + ".mp3";
        std::ofstream(target, std::ios::binary) << bytes.at(c.file);
        const std::string current = WriteCatalog(name + ".plm", before);
        const std::map<std::string, std::string> paths{
            {"target", target}, {"current", current}, {"", ""}};

        ScriptedUserInterface ui;
        RecentFileList recent;
        CatalogList list;
        CPlumetDoc doc(list, files_, ui, recent);
        if (c.entry == Recent) {
            recent.Add(target);
        }
        ASSERT_TRUE(doc.OpenDocumentFile(current));
        doc.SetModified(true);
        const Rows recentBefore = c.entry == Recent ? Rows{current, target} : Rows{current};
        const Rows recentAfter = c.targetFirstInRecent ? Rows{target, current} : recentBefore;
        ui.answers = {SaveAnswer::No};
        ui.yesNoAnswers = {c.yes};
        ui.openChoices = {target};
        switch (c.entry) {
            case Open:
                doc.OpenDocumentFile(target);
                break;
            case Recent:
                doc.OnOpenRecentFile(1);
                break;
            case Merge:
                doc.OnMerge();
                break;
        }

        Rows artists, recentNow, questions;
        for (int row = 0; row < list.RowCount(); ++row) {
            artists.emplace_back(list.CellText(row, kArtist));
        }
        EXPECT_EQ(artists, c.artists);
        EXPECT_EQ(doc.path(), paths.at(c.path));
        EXPECT_EQ(doc.modified(), c.modified);
        for (int index = 0; index < recent.Count(); ++index) {
            recentNow.push_back(recent.Path(index));
        }
        EXPECT_EQ(recentNow, recentAfter);
        const std::string notCatalog =
            target + " does not look like a Plumet catalog. Open it anyway?";
        for (const char* at = c.asked; *at != '\0'; ++at) {
            questions.push_back(*at == 'C' ? notCatalog : "Save changes to " + name + ".plm?");
        }
        EXPECT_EQ(ui.questions, questions);
        EXPECT_TRUE(ui.errors.empty());
        doc.OnFileSave();
        EXPECT_EQ(ReadFile(target) == bytes.at(c.file), c.fileKept);
    }
}

TEST(RecentFileListTest, KeepsFourNewestFirstAndShortensForTheMenu) {
    RecentFileList recent;
    for (const char* path : {"/a.plm", "/b.plm", "/c.plm", "/d.plm", "/e.plm", "/c.plm"}) {
        recent.Add(path);
    }
    ASSERT_EQ(recent.Count(), 4);
    EXPECT_EQ(recent.Path(0), "/c.plm");
    EXPECT_EQ(recent.Path(3), "/b.plm");

    MemoryProfile profile;
    recent.Remove(3);
    recent.WriteList(profile);
    EXPECT_EQ(profile.values.at("Recent File List/File1"), "/c.plm");
    EXPECT_EQ(profile.values.count("Recent File List/File4"), 0u);
    RecentFileList reread;
    reread.ReadList(profile);
    EXPECT_EQ(reread.Count(), 3);

    struct Case {
        const char* path;
        const char* shown;
    };
    for (const Case& c : std::vector<Case>{
             {"/home/me/a.plm", "/home/me/a.plm"},
             {"/home/someone/Music/catalogs/2024/rock.plm", "/home/.../2024/rock.plm"},
             {"/home/someone/a-very-long-catalog-file-name.plm",
              "a-very-long-catalog-file-name.plm"},
             {"/home/åäö/åäö/åäö/åäö/åäö/åäö/x.plm", "/home/.../åäö/åäö/åäö/x.plm"},
         }) {
        EXPECT_EQ(RecentFileList::Abbreviate(c.path, 30), c.shown) << c.path;
    }
    recent.Add("/music/Rock & Roll.plm");
    EXPECT_EQ(recent.MenuText(0), "&1 /music/Rock && Roll.plm");
}

}  // namespace
