#include "scan/PendingResults.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

void Append(PendingResults& pending, const std::string& artist, const std::string& folder) {
    const std::string path = folder + "/x.mp3";
    pending.AppendRow(
        CatalogRow(RowCells{artist, "track", folder, "1,000", "12/31/08 03:07 PM", path}));
}

std::vector<std::string> ColumnCells(const CatalogList& list, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < list.RowCount(); ++row) {
        cells.emplace_back(list.CellText(row, column));
    }
    return cells;
}

TEST(PendingResultsTest, DrainAppendsEveryPendingRowInOrder) {
    CatalogList list;
    list.InsertRow(0, "existing");
    PendingResults pending;
    EXPECT_EQ(pending.Drain(list), 0);
    EXPECT_EQ(list.RowCount(), 1);

    Append(pending, "a", "/music/a");
    Append(pending, "b", "/music/b");
    Append(pending, "c", "/music/c");
    EXPECT_EQ(pending.Drain(list), 3);
    EXPECT_TRUE(pending.Empty());
    EXPECT_EQ(ColumnCells(list, kArtist), (std::vector<std::string>{"existing", "a", "b", "c"}));
    EXPECT_EQ(list.CellText(3, kFolderDisk), "/music/c");
    EXPECT_EQ(list.CellText(3, kPath), "/music/c/x.mp3");
    EXPECT_EQ(PendingResults::ItemsText(list.RowCount()), "4 items");
}

// Rows found while the UI drains arrive whole, once each, in the order found.
TEST(PendingResultsTest, ConcurrentWorkerAndDrainsLoseNothing) {
    constexpr int kRows = 20000;
    CatalogList list;
    PendingResults pending;
    std::thread worker([&pending] {
        for (int i = 0; i < kRows; ++i) {
            Append(pending, std::to_string(i), "/f");
        }
    });
    while (list.RowCount() < kRows) {
        pending.Drain(list);
    }
    worker.join();
    pending.Drain(list);
    ASSERT_EQ(list.RowCount(), kRows);
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(list.CellText(i, kArtist), std::to_string(i));
    }
}

}  // namespace
