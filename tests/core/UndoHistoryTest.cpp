// What the command sequences cannot reach: files renamed on disk, a scan's batches and the
// saved state across a forgotten history.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "catalog/CatalogList.h"
#include "catalog/UndoHistory.h"
#include "scan/PendingResults.h"
#include "support/TempFolder.h"

namespace {

CatalogRow RowAt(const std::string& path) {
    RowCells cells{};
    cells[kArtist] = "Artist";
    cells[kPath] = path;
    return CatalogRow(cells);
}

Result RenameOnDisk(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error ? Result::Failure("Unable to rename " + from + ": " + error.message())
                 : Result::Ok();
}

TEST(UndoHistoryTest, AFileRenamedGoesBackWithItsStepOrNothingChanges) {
    const TempFolder folder("plumet-undo");
    const std::string a = (folder.path() / "a.mp3").string();
    const std::string b = (folder.path() / "b.mp3").string();
    std::ofstream(a) << "audio";
    CatalogList store;
    UndoHistory history(store);
    history.SetRename(RenameOnDisk);
    store.AppendRows({RowAt(a)});
    {
        const UndoHistory::Scope step(&history);
        ASSERT_TRUE(RenameOnDisk(a, b));
        history.FileRenamed(a, b);
        store.SetCell(0, kPath, b);
        store.SetCell(0, kArtist, "Renamed");
    }
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(std::filesystem::exists(a));
    EXPECT_EQ(store.CellText(0, kPath), a);
    EXPECT_EQ(store.CellText(0, kArtist), "Artist");
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(std::filesystem::exists(b));
    EXPECT_EQ(store.CellText(0, kPath), b);

    // The file went away behind the program's back: the row keeps naming it as it is.
    std::filesystem::remove(b);
    const Result undone = history.Undo();
    EXPECT_FALSE(undone);
    EXPECT_NE(undone.error().find(b), std::string::npos);
    EXPECT_EQ(store.CellText(0, kPath), b);
    EXPECT_EQ(store.CellText(0, kArtist), "Renamed");
    EXPECT_TRUE(history.CanUndo());
}

TEST(UndoHistoryTest, AScansBatchesAreOneStepAndTheSavedStateIsFoundAgain) {
    CatalogList store;
    UndoHistory history(store);
    PendingResults pending;
    store.AppendRows({RowAt("/m/kept.mp3")});
    history.MarkSaved();
    for (const char* path : {"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}) {
        pending.AppendRow(RowAt(path));
        pending.Drain(store);
    }
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store.RowCount(), 1);
    EXPECT_TRUE(history.AtSaved());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(history.AtSaved());

    // An undo between two drains ends the scan's step, and a new change drops the redo.
    pending.AppendRow(RowAt("/m/4.mp3"));
    pending.Drain(store);
    ASSERT_TRUE(history.Undo());
    pending.AppendRow(RowAt("/m/5.mp3"));
    pending.Drain(store);
    EXPECT_FALSE(history.CanRedo());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store.RowCount(), 1);
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(store.RowCount(), 2);
    EXPECT_EQ(store.CellText(1, kPath), "/m/5.mp3");

    // Rows that replaced the catalog unsaved are never "as saved", however far undone.
    store.ReplaceRows({RowAt("/m/new.mp3")});
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.AtSaved());
    store.RemoveRow(0);
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(history.AtSaved());
}

}  // namespace
