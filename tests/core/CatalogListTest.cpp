#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/RowLine.h"
#include "catalog/RowSelection.h"
#include "support/RowPrinting.h"

namespace {

CatalogRow Row(std::string a, std::string b = "", std::string c = "", std::string d = "",
               std::string e = "", std::string f = "") {
    return CatalogRow(RowCells{a, b, c, d, e, f});
}

// Checks the listener protocol on every call, the way a Qt model tester would: each About
// call is answered by its matching call before anything else happens, ranges fit the row
// count before and after, and a layout change maps every old row to where it went.
class RecordingListener : public CatalogListener {
public:
    explicit RecordingListener(const CatalogList& list) : list_(list) {}

    std::vector<std::string> log;

    void RowsAboutToBeInserted(int first, int last) override {
        Begin("insert", first, last);
        EXPECT_LE(first, list_.RowCount());
        expectedCount_ = list_.RowCount() + last - first + 1;
    }
    void RowsInserted(int first, int last) override { End("insert", first, last); }
    void RowsAboutToBeRemoved(int first, int last) override {
        Begin("remove", first, last);
        EXPECT_LT(last, list_.RowCount());
        expectedCount_ = list_.RowCount() - (last - first + 1);
    }
    void RowsRemoved(int first, int last) override { End("remove", first, last); }
    void AboutToReset() override { Begin("reset", 0, 0); }
    void Reset() override {
        expectedCount_ = list_.RowCount();
        End("reset", 0, 0);
    }
    void LayoutAboutToChange() override {
        Begin("layout", 0, 0);
        before_.clear();
        for (int row = 0; row < list_.RowCount(); ++row) {
            before_.push_back(*list_.RowRecord(row));
        }
        expectedCount_ = list_.RowCount();
    }
    void LayoutChanged(std::span<const int> newRowOfOld) override {
        End("layout", 0, 0);
        ASSERT_EQ(newRowOfOld.size(), before_.size());
        std::vector<int> seen(newRowOfOld.begin(), newRowOfOld.end());
        std::sort(seen.begin(), seen.end());
        for (std::size_t old = 0; old < before_.size(); ++old) {
            EXPECT_EQ(seen[old], static_cast<int>(old)) << "not a permutation";
            ASSERT_NE(list_.RowRecord(newRowOfOld[old]), nullptr);
            EXPECT_EQ(*list_.RowRecord(newRowOfOld[old]), before_[old]) << "old row " << old;
        }
    }
    void CellsChanged(int row, int firstColumn, int lastColumn) override {
        EXPECT_FALSE(pending_) << "cells changed inside " << *pending_;
        EXPECT_TRUE(row >= 0 && row < list_.RowCount());
        EXPECT_TRUE(0 <= firstColumn && firstColumn <= lastColumn && lastColumn < kAllColumnCount);
        log.push_back("cells " + std::to_string(row) + " " + std::to_string(firstColumn) + " " +
                      std::to_string(lastColumn));
    }

    // The calls since the last check; none may be left open.
    std::vector<std::string> Take() {
        EXPECT_FALSE(pending_) << "unanswered " << *pending_;
        return std::exchange(log, {});
    }

private:
    static std::string Key(const char* what, int first, int last) {
        return std::string(what) + " " + std::to_string(first) + " " + std::to_string(last);
    }
    void Begin(const char* what, int first, int last) {
        EXPECT_FALSE(pending_) << "nested in " << *pending_;
        EXPECT_TRUE(0 <= first && first <= last) << what;
        pending_ = Key(what, first, last);
    }
    void End(const char* what, int first, int last) {
        const std::string key = Key(what, first, last);
        EXPECT_EQ(pending_, key);
        EXPECT_EQ(list_.RowCount(), expectedCount_) << key;
        pending_.reset();
        log.push_back(what == std::string("reset") || what == std::string("layout")
                          ? std::string(what)
                          : key);
    }

    const CatalogList& list_;
    std::optional<std::string> pending_;
    int expectedCount_ = 0;
    std::vector<CatalogRow> before_;
};

using Log = std::vector<std::string>;

class CatalogListTest : public ::testing::Test {
protected:
    CatalogListTest() { list.AddListener(&listener); }
    ~CatalogListTest() override { list.RemoveListener(&listener); }

    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            list.InsertRow(i, "r" + std::to_string(i));
        }
        listener.Take();
    }
    std::vector<std::string> Artists() const {
        std::vector<std::string> artists;
        for (int row = 0; row < list.RowCount(); ++row) {
            artists.emplace_back(list.CellText(row, kArtist));
        }
        return artists;
    }

    CatalogList list;
    RecordingListener listener{list};
};

TEST_F(CatalogListTest, InsertClampsAndOutOfRangeReadsAreEmpty) {
    Fill(10);
    EXPECT_EQ(list.InsertRow(1000, "end"), 10);
    EXPECT_EQ(list.InsertRow(-5, "top"), 0);
    EXPECT_EQ(listener.Take(), (Log{"insert 10 10", "insert 0 0"}));
    EXPECT_EQ(list.RowCount(), 12);
    EXPECT_EQ(list.CellText(0, kArtist), "top");
    EXPECT_EQ(list.CellText(11, kArtist), "end");
    EXPECT_EQ(list.CellText(11, kPath), "");
    EXPECT_EQ(list.CellText(-1, kArtist), "");
    EXPECT_EQ(list.CellText(12, kArtist), "");
    EXPECT_EQ(list.CellText(0, -1), "");
    EXPECT_EQ(list.CellText(0, kColumnCount), "");
    EXPECT_EQ(list.RowRecord(-1), nullptr);
    EXPECT_EQ(list.RowRecord(12), nullptr);
}

TEST_F(CatalogListTest, EditsAndRemovals) {
    Fill(4);
    list.AttachRecord(1, Row("ignored", "track", "folder", "size", "mod", "/p"));
    EXPECT_EQ(*list.RowRecord(1), Row("r1", "track", "folder", "size", "mod", "/p"));
    list.SetCell(2, kSize, "42");
    EXPECT_EQ(list.CellText(2, kSize), "42");
    // A cell set from a view of itself must survive the row's buffer being rebuilt.
    list.SetCell(1, kPath, list.CellText(1, kTrack));
    EXPECT_EQ(list.CellText(1, kPath), "track");
    list.SetCell(-1, kArtist, "x");
    list.SetCell(4, kArtist, "x");
    list.SetCell(0, kAllColumnCount, "x");
    list.AttachRecord(4, Row("x", "x"));
    EXPECT_EQ(listener.Take(), (Log{"cells 1 1 13", "cells 2 3 3", "cells 1 5 5"}));

    list.RemoveRow(1);
    list.RemoveRow(-1);
    list.RemoveRow(3);
    EXPECT_EQ(listener.Take(), (Log{"remove 1 1"}));
    EXPECT_EQ(Artists(), (std::vector<std::string>{"r0", "r2", "r3"}));
    EXPECT_EQ(list.CellText(1, kSize), "42");

    list.ClearRows();
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(listener.Take(), (Log{"reset"}));
}

TEST_F(CatalogListTest, SortIsStableAndReportsWhereRowsWent) {
    const std::vector<std::string> keys{"b", "a", "b", "c", "a", "b"};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        list.InsertRow(static_cast<int>(i), keys[i]);
        list.SetCell(static_cast<int>(i), kPath, std::to_string(i));
    }
    listener.Take();
    list.SortRows([](const CatalogRow& x, const CatalogRow& y) {
        return x.Cell(kArtist).compare(y.Cell(kArtist));
    });
    EXPECT_EQ(listener.Take(), (Log{"layout"}));
    std::vector<std::string> order;
    for (int row = 0; row < list.RowCount(); ++row) {
        order.push_back(std::string(list.CellText(row, kArtist)) +
                        std::string(list.CellText(row, kPath)));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"a1", "a4", "b0", "b2", "b5", "c3"}));

    list.ClearRows();
    list.SortRows([](const CatalogRow&, const CatalogRow&) { return 0; });
    EXPECT_EQ(listener.Take(), (Log{"reset", "layout"}));
}

TEST_F(CatalogListTest, BatchesAndLines) {
    EXPECT_TRUE(list.SnapshotRows().empty());
    list.AppendRows({});
    list.AppendRows({Row("a"), Row("b")});
    list.AppendRows({Row("c")});
    EXPECT_EQ(listener.Take(), (Log{"insert 0 1", "insert 2 2"}));
    EXPECT_EQ(Artists(), (std::vector<std::string>{"a", "b", "c"}));

    list.ReplaceRows({Row("x", "", "", "", "", "/x")});
    EXPECT_EQ(listener.Take(), (Log{"reset"}));
    EXPECT_EQ(list.SnapshotRows(), (std::vector<std::string>{"x\t\t\t\t\t/x"}));

    const std::vector<std::string> lines{"1\t2\t3\t4\t5\t6", "", "only path", "a\tb"};
    list.RebuildFromLines(lines);
    EXPECT_EQ(listener.Take(), (Log{"reset"}));
    ASSERT_EQ(list.RowCount(), 4);
    EXPECT_EQ(*list.RowRecord(0), Row("1", "2", "3", "4", "5", "6"));
    EXPECT_EQ(*list.RowRecord(1), Row(""));
    EXPECT_EQ(*list.RowRecord(2), Row("", "", "", "", "", "only path"));
    EXPECT_EQ(*list.RowRecord(3), Row("a", "", "", "", "", "b"));
    EXPECT_EQ(list.SnapshotRows(),
              (std::vector<std::string>{"1\t2\t3\t4\t5\t6", "\t\t\t\t\t", "\t\t\t\t\tonly path",
                                        "a\t\t\t\t\tb"}));
}

TEST(RowSelectionTest, AscendingWithoutDuplicates) {
    const RowSelection none;
    EXPECT_EQ(none.SelectedCount(), 0);
    EXPECT_EQ(none.NextSelected(-1), -1);
    EXPECT_EQ(none.LastSelected(), -1);

    const RowSelection some({7, 2, 7, 0, 2});
    EXPECT_EQ(some.Rows(), (std::vector<int>{0, 2, 7}));
    EXPECT_EQ(some.SelectedCount(), 3);
    EXPECT_EQ(some.NextSelected(-1), 0);
    EXPECT_EQ(some.NextSelected(0), 2);
    EXPECT_EQ(some.NextSelected(3), 7);
    EXPECT_EQ(some.NextSelected(7), -1);
    EXPECT_EQ(some.LastSelected(), 7);
}

}  // namespace
