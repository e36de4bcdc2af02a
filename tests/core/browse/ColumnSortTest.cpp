#include "browse/ColumnSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "browse/CatalogView.h"
#include "browse/CellKeys.h"
#include "browse/SortOrder.h"
#include "browse/TextFold.h"
#include "core/browse/BrowseRows.h"

namespace {

using Texts = std::vector<std::string>;

// Counts layout changes and keeps the last row mapping, as the view's model sees them.
class LayoutRecorder : public CatalogListener {
public:
    void RowsAboutToBeInserted(int, int) override {}
    void RowsInserted(int, int) override {}
    void RowsAboutToBeRemoved(int, int) override {}
    void RowsRemoved(int, int) override {}
    void AboutToReset() override { ++resets; }
    void Reset() override {}
    void LayoutAboutToChange() override { ++layoutsAboutToChange; }
    void LayoutChanged(std::span<const int> map) override {
        ++layoutsChanged;
        newRowOfOld.assign(map.begin(), map.end());
    }
    void CellsChanged(int, int, int) override {}

    int resets = 0;
    int layoutsAboutToChange = 0;
    int layoutsChanged = 0;
    std::vector<int> newRowOfOld;
};

Texts SortedColumn(const Texts& texts, int column, bool ascending) {
    CatalogList list;
    AppendColumn(list, column, texts);
    ColumnSort::SortByColumn(list, column, ascending);
    return ColumnTexts(list, column);
}

TEST(ColumnSortTest, EachClickInvertsOneDirectionSharedByAllColumns) {
    CatalogList list;
    AppendColumn(list, kArtist, {"b", "c", "a"});
    LayoutRecorder recorder;
    list.AddListener(&recorder);
    CatalogView view(list);
    ColumnSort sort(view);
    EXPECT_FALSE(sort.sortAscending());
    EXPECT_EQ(sort.sortedColumn(), -1);

    sort.OnColumnClick(kArtist);
    EXPECT_TRUE(sort.sortAscending());
    EXPECT_EQ(ColumnTexts(list, kArtist), (Texts{"a", "b", "c"}));
    // One layout change per sort, telling where each old row went.
    EXPECT_EQ(recorder.layoutsAboutToChange, 1);
    EXPECT_EQ(recorder.layoutsChanged, 1);
    EXPECT_EQ(recorder.newRowOfOld, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(recorder.resets, 0);

    sort.OnColumnClick(kArtist);
    EXPECT_FALSE(sort.sortAscending());
    EXPECT_EQ(ColumnTexts(list, kArtist), (Texts{"c", "b", "a"}));

    // Another column sorts opposite to the last sort.
    sort.OnColumnClick(kTrack);
    EXPECT_TRUE(sort.sortAscending());
    EXPECT_EQ(sort.sortedColumn(), kTrack);

    sort.OnColumnClick(kAllColumnCount);
    EXPECT_EQ(sort.sortedColumn(), kTrack);
    EXPECT_TRUE(sort.sortAscending());
    list.RemoveListener(&recorder);

    CatalogList empty;
    CatalogView emptyView(empty);
    ColumnSort emptySort(emptyView);
    emptySort.OnColumnClick(kPath);
    EXPECT_TRUE(emptySort.sortAscending());
}

TEST(ColumnSortTest, TextFoldsCaseAndAccentsAndTiesKeepTheirOrder) {
    const Texts artists{"b", "ABBA", "_x", "abba", "", "a", "Abba", "\xc3\x89mile", "zz"};
    EXPECT_EQ(SortedColumn(artists, kArtist, true),
              (Texts{"", "_x", "a", "ABBA", "abba", "Abba", "b", "\xc3\x89mile", "zz"}));
    EXPECT_EQ(SortedColumn(artists, kArtist, false),
              (Texts{"zz", "\xc3\x89mile", "b", "ABBA", "abba", "Abba", "a", "_x", ""}));
    // Accented Latin letters among their plain ones, in UTF-8 and in Latin-1 cells alike.
    EXPECT_EQ(SortedColumn({"Zappa", "\xc3\x98ystein", "\xc3\x81g\xc3\xa6tis", "Oasis",
                            "\xc9"
                            "dith",
                            "Eagles", "\xd8ya"},
                           kArtist, true),
              (Texts{"\xc3\x81g\xc3\xa6tis", "Eagles",
                     "\xc9"
                     "dith",
                     "Oasis", "\xd8ya", "\xc3\x98ystein", "Zappa"}));

    // Past the first eight bytes, and texts that are prefixes of others.
    const Texts paths{"/music/cd/b", "/MUSIC/CD/A", "/music/cd", "/music/cd/a", "/music/c"};
    EXPECT_EQ(SortedColumn(paths, kPath, true),
              (Texts{"/music/c", "/music/cd", "/MUSIC/CD/A", "/music/cd/a", "/music/cd/b"}));
}

TEST(ColumnSortTest, SizeSortsByTheNumberOfItsDigits) {
    EXPECT_EQ(SortedColumn({"4,567,890", "999", "1,000,000", "", "12 345"}, kSize, true),
              (Texts{"", "999", "12 345", "1,000,000", "4,567,890"}));
    EXPECT_EQ(DigitsValue("99999999999999999999999"), UINT64_MAX);
}

TEST(ColumnSortTest, ModifiedSortsByDateAndTimeWithOtherTextsFirst) {
    const Texts times{
        "01/02/03 04:05 PM", "12/31/99 11:59 PM", "01/01/70 12:00 AM", "soon",
        "01/02/03 12:00 PM", "01/02/03 12:30 AM", "01/02/03 04:05 AM", "02/01/03 01:00 AM",
        "12/31/69 11:59 PM"};
    EXPECT_EQ(SortedColumn(times, kModified, true),
              (Texts{"soon", "12/31/69 11:59 PM", "01/01/70 12:00 AM", "12/31/99 11:59 PM",
                     "01/02/03 12:30 AM", "01/02/03 04:05 AM", "01/02/03 12:00 PM",
                     "01/02/03 04:05 PM", "02/01/03 01:00 AM"}));
    // An imported catalog's ISO 8601 times sort among the program's own.
    EXPECT_EQ(SortedColumn({"2026-12-10T05:34", "01/02/03 04:05 PM", "2019-05-23 00:00:00",
                            "05/22/19 11:59 PM"},
                           kModified, true),
              (Texts{"01/02/03 04:05 PM", "05/22/19 11:59 PM", "2019-05-23 00:00:00",
                     "2026-12-10T05:34"}));
    for (const char* notADate :
         {"", "13/01/03 01:00 PM", "01/32/03 01:00 PM", "01/02/03 13:00 PM", "01/02/03 00:10 AM",
          "01/02/03 04:60 PM", "01/02/03 04:05", "01/02/2003 04:05 PM", "01/02/03 04:05 PMX",
          "01-02-03 04:05 PM"}) {
        EXPECT_FALSE(ModifiedMinutes(notADate)) << notADate;
    }
    EXPECT_TRUE(ModifiedMinutes("1/2/03 4:05 pm"));
}

// Any texts, in both directions, against a plain stable sort of the folded texts.
TEST(ColumnSortTest, MatchesAPlainFoldingComparisonOnRandomTexts) {
    std::mt19937 random(7);
    const std::string alphabet("aAbB_\x01\x7f\xc3\xa9/ ", 12);  // with a NUL byte
    Texts texts;
    for (int i = 0; i < 3000; ++i) {
        std::string text = i % 3 == 0 ? "/home/music/" : "";
        const std::size_t size = random() % 24;
        for (std::size_t j = 0; j < size; ++j) {
            text += alphabet[random() % alphabet.size()];
        }
        texts.push_back(text);
    }
    const auto folded = [](const std::string& text) { return Folded(text); };
    for (const bool ascending : {true, false}) {
        std::vector<std::size_t> expected(texts.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            return ascending ? folded(texts[a]) < folded(texts[b])
                             : folded(texts[b]) < folded(texts[a]);
        });
        CatalogList list;
        AppendColumn(list, kTrack, texts);
        const std::vector<int> order = SortOrder(list, kTrack, ascending);
        ASSERT_TRUE(std::equal(order.begin(), order.end(), expected.begin(), expected.end()))
            << "ascending " << ascending;

        // A narrowed view sorts some rows the same way, and the comparison that tells
        // whether rows are still in order agrees with the sort.
        std::vector<int> some;
        for (int row = 0; row < list.RowCount(); row += 1 + static_cast<int>(random() % 3)) {
            some.push_back(row);
        }
        std::vector<int> expectedSome = some;
        std::stable_sort(expectedSome.begin(), expectedSome.end(), [&](int a, int b) {
            return ascending ? folded(texts[a]) < folded(texts[b])
                             : folded(texts[b]) < folded(texts[a]);
        });
        const std::vector<int> positions = SortOrder(list, some, kTrack, ascending);
        std::vector<int> sortedSome;
        for (const int position : positions) {
            sortedSome.push_back(some[position]);
        }
        ASSERT_EQ(sortedSome, expectedSome);
        for (std::size_t at = 1; at < texts.size(); ++at) {
            const int comparison = CompareCells(kTrack, texts[at - 1], texts[at]);
            const std::string a = folded(texts[at - 1]);
            const std::string b = folded(texts[at]);
            ASSERT_EQ(comparison, a < b ? -1 : (b < a ? 1 : 0));
        }
    }
}

}  // namespace
