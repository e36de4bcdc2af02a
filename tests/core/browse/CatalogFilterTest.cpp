#include "browse/CatalogFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "PosixFiles.h"
#include "browse/ColumnSort.h"
#include "browse/RowEditor.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/CatalogFile.h"
#include "core/browse/BrowseRows.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace {

using Texts = std::vector<std::string>;

class CatalogFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Artist, folder: the first letter of the artist tells the folder.
        for (const auto& [artist, folder] :
             std::vector<std::pair<std::string, std::string>>{{"a1", "CD1"},
                                                              {"b1", "cd1"},
                                                              {"c1", "CD1 "},
                                                              {"d2", "CD2"},
                                                              {"e1", "CD1"},
                                                              {"f2", "CD2"}}) {
            AppendRow(list_, {artist, "track", folder, "1", "", "/music/" + artist + ".mp3"});
        }
        allLines_ = list_.SnapshotRows();
    }

    std::string WriteCatalog(const std::string& name, const Texts& artists) {
        CatalogList rows;
        AppendColumn(rows, kArtist, artists);
        const std::string path = (folder_.path() / name).string();
        EXPECT_TRUE(files_.ReplaceFile(
            path, [&rows](ByteSink& sink) { return CatalogFile::StoreCatalog(rows, sink); }));
        return path;
    }

    Texts SavedArtists(const std::string& path) {
        Files::OpenedFile opened;
        CatalogList saved;
        EXPECT_TRUE(files_.OpenForReading(path, opened));
        EXPECT_TRUE(CatalogFile::LoadCatalog(saved, *opened.source, true));
        return ColumnTexts(saved, kArtist);
    }

    TempFolder folder_{"plumet-filter"};
    PosixFiles files_;
    ScriptedUserInterface ui_;
    CatalogList list_;
    CatalogView view_{list_};
    CatalogFilter filter_{view_, ui_};
    std::vector<std::string> allLines_;
};

TEST_F(CatalogFilterTest, KeepsExactMatchesOfTheLastSelectedRowAndShowAllBringsAllBack) {
    EXPECT_TRUE(filter_.FilterOnFolderDiskState().enabled);  // rows are shown
    EXPECT_FALSE(filter_.FilterOnFolderDiskState().checked);

    filter_.ToggleFilter(kFolderDisk, RowSelection({3, 1, 4}));  // the key comes from row 4
    EXPECT_TRUE(filter_.filterOn());
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"a1", "e1"}));
    EXPECT_EQ(list_.SnapshotRows(), allLines_);  // the store keeps every row
    EXPECT_TRUE(filter_.FilterOnFolderDiskState().checked);
    EXPECT_TRUE(ui_.messages.empty());

    // Sorting touches only the rows shown; Show All brings the store's order back. "Filter On
    // Artist" ends a folder filter rather than narrowing.
    ColumnSort sort(view_);
    sort.OnColumnClick(kArtist);
    sort.OnColumnClick(kArtist);
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"e1", "a1"}));
    filter_.ToggleFilter(kArtist, RowSelection({0}));
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(view_.RowCount(), 6);
    EXPECT_EQ(list_.SnapshotRows(), allLines_);

    filter_.ToggleFilter(kArtist, RowSelection({5}));
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"f2"}));
    filter_.ToggleFilter(kFolderDisk, RowSelection());  // no selection: still switches it off
    EXPECT_EQ(ColumnTexts(view_, kArtist), ColumnTexts(list_, kArtist));
    EXPECT_TRUE(ui_.messages.empty());

    // Groups that lost every row can still be ended; an empty list has nothing to filter.
    view_.ShowGroups({}, {});
    EXPECT_TRUE(filter_.FilterOnFolderDiskState().enabled);
    EXPECT_TRUE(filter_.FilterOnFolderDiskState().checked);
    list_.ClearRows();
    EXPECT_FALSE(filter_.FilterOnFolderDiskState().enabled);
}

TEST_F(CatalogFilterTest, WithoutASelectionAsksForOneAndChangesNothing) {
    filter_.ToggleFilter(kFolderDisk, RowSelection());
    filter_.ToggleFilter(kArtist, RowSelection({99}));
    EXPECT_EQ(ui_.messages, (Texts(2, "Select an item in the list to use the filter function")));
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(list_.SnapshotRows(), allLines_);

    // An empty key is a key: the rows with an empty cell.
    AppendRow(list_, {"", "no folder", "", "", "", ""});
    filter_.ToggleFilter(kFolderDisk, RowSelection({6}));
    EXPECT_EQ(ColumnTexts(view_, kTrack), (Texts{"no folder"}));
}

TEST_F(CatalogFilterTest, WhatIsDoneWhileFilteredIsDoneToTheCatalog) {
    RecentFileList recent;
    CPlumetDoc doc(list_, files_, ui_, recent);
    RowEditor editor(view_, files_, ui_);

    // Filtered to CD2 (d2, f2): f2 is removed and d2 renamed in the catalog itself.
    filter_.ToggleFilter(kFolderDisk, RowSelection({3}));
    EXPECT_TRUE(editor.RemoveFromList(RowSelection({1})));
    EditItemForm form = editor.OpenForm(RowSelection({0}), true);
    form.artist = "D2";
    form.saveToDisk = false;
    EXPECT_TRUE(editor.ApplyEdit(RowSelection({0}), true, form));
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"D2"}));

    const std::string saved = (folder_.path() / "all.plm").string();
    ui_.saveChoices.push_back(saved);
    ASSERT_TRUE(doc.OnFileSaveAs());
    EXPECT_EQ(SavedArtists(saved), (Texts{"a1", "b1", "c1", "D2", "e1"}));
    EXPECT_TRUE(filter_.filterOn());  // saving leaves the view as it is

    // Rows merged while filtered join the catalog; the view shows those the filter keeps.
    CatalogList more;
    AppendRow(more, {"m1", "t", "CD2", "", "", ""});
    AppendRow(more, {"m2", "t", "CD1", "", "", ""});
    list_.AppendRows({*more.RowRecord(0), *more.RowRecord(1)});
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"D2", "m1"}));
    filter_.ToggleFilter(kFolderDisk, RowSelection());
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"a1", "b1", "c1", "D2", "e1", "m1", "m2"}));

    // Open and New replace the catalog and end the filter.
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));
    doc.SetModified(false);
    ASSERT_TRUE(doc.OpenDocumentFile(WriteCatalog("other.plm", {"o1"})));
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"o1"}));
    filter_.ToggleFilter(kArtist, RowSelection({0}));
    ASSERT_TRUE(doc.OnFileNew());
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(view_.RowCount(), 0);
}

// The search narrows within the filter: each ends on its own, a growing query keeps the
// order of the rows shown, a new one keeps the view's sort, and changes made in the search
// reach the catalog.
TEST_F(CatalogFilterTest, ASearchNarrowsWithinTheFilterAndEndsOnItsOwn) {
    RowEditor editor(view_, files_, ui_);
    const auto artistHas = [](std::string letters) {
        return [letters](const CatalogRow& row) {
            return row.Cell(kArtist).find_first_of(letters) != std::string_view::npos;
        };
    };
    view_.Search(artistHas("abcdf"), false);  // all but e1
    EXPECT_TRUE(view_.searching());
    EXPECT_FALSE(filter_.filterOn());
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));  // CD1: a1, e1 (e1 not found)
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"a1"}));
    filter_.ToggleFilter(kFolderDisk, RowSelection());  // ends the filter, not the search
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"a1", "b1", "c1", "d2", "f2"}));

    // Sorted descending, then narrowed within: the order stays.
    view_.Sort(kArtist, false);
    view_.Search(artistHas("bcdf"), true);
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"f2", "d2", "c1", "b1"}));
    // A query that finds more starts from the catalog, and the sort stays.
    view_.Search(artistHas("abcdef"), false);
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"f2", "e1", "d2", "c1", "b1", "a1"}));
    view_.Search(artistHas("bf"), true);

    // What is done in the search is done to the catalog; rows added come in when found.
    EXPECT_TRUE(editor.RemoveFromList(RowSelection({0})));  // f2
    view_.SetCell(0, kArtist, "B1");
    AppendRow(list_, {"b9", "t", "CD9", "", "", ""});
    AppendRow(list_, {"z9", "t", "CD9", "", "", ""});
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"B1", "b9"}));
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"a1", "B1", "c1", "d2", "e1", "b9", "z9"}));

    view_.EndSearch();
    EXPECT_FALSE(view_.narrowed());
    EXPECT_EQ(view_.RowCount(), list_.RowCount());
    view_.Search(artistHas("z"), false);
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));
    view_.EndSearch();  // the filter stays
    EXPECT_EQ(ColumnTexts(view_, kArtist), (Texts{"b9", "z9"}));
    list_.ClearRows();  // a new catalog ends both
    EXPECT_FALSE(view_.searching());
    EXPECT_FALSE(filter_.filterOn());
}

// Groups show exactly the rows given, in their order, against a model of (artist, group)
// pairs: removals and edits reach the catalog and leave the other rows' groups, rows added
// stay out, a sort keeps each row's group, and Show All brings every row back.
TEST_F(CatalogFilterTest, GroupsShowTheirRowsUntilShowAll) {
    std::mt19937 random(15);
    list_.ClearRows();
    int next = 0;
    const auto appendRows = [&](int count) {
        for (int i = 0; i < count; ++i, ++next) {
            AppendRow(list_, {"r" + std::to_string(1000 + next), "t", "CD", "", "", ""});
        }
    };
    for (int round = 0; round < 20; ++round) {
        list_.ClearRows();
        appendRows(static_cast<int>(random() % 40) + 1);
        view_.Search([](const CatalogRow&) { return true; }, false);
        filter_.ToggleFilter(kFolderDisk, RowSelection({0}));

        // Some store rows, shuffled, in groups of one to three.
        std::vector<int> storeRows(static_cast<std::size_t>(list_.RowCount()));
        for (std::size_t at = 0; at < storeRows.size(); ++at) {
            storeRows[at] = static_cast<int>(at);
        }
        std::shuffle(storeRows.begin(), storeRows.end(), random);
        storeRows.resize(random() % (storeRows.size() + 1));
        std::vector<int> groups;
        for (std::size_t at = 0; at < storeRows.size(); ++at) {
            groups.push_back(static_cast<int>(at / (1 + random() % 3)));
        }
        std::sort(groups.begin(), groups.end());
        std::vector<std::pair<std::string, int>> model;
        for (std::size_t at = 0; at < storeRows.size(); ++at) {
            model.emplace_back(list_.CellText(storeRows[at], kArtist), groups[at]);
        }
        view_.ShowGroups(storeRows, groups);
        EXPECT_TRUE(view_.grouped());
        EXPECT_FALSE(view_.searching());
        EXPECT_FALSE(view_.filtered());
        EXPECT_TRUE(filter_.filterOn());  // the filter toggle shows all

        for (int step = 0; step < 12; ++step) {
            const int shown = view_.RowCount();
            switch (random() % 5) {
                case 0:  // removals through the view
                    if (shown > 0) {
                        std::set<int> rows;
                        for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
                            rows.insert(static_cast<int>(random() % static_cast<unsigned>(shown)));
                        }
                        view_.RemoveRows(RowSelection(std::vector<int>(rows.begin(), rows.end())));
                        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
                            model.erase(model.begin() + *row);
                        }
                    }
                    break;
                case 1:  // removals in the store, shown or not
                    if (list_.RowCount() > 0) {
                        const int row = static_cast<int>(random() % list_.RowCount());
                        std::erase_if(model, [&](const auto& entry) {
                            return entry.first == list_.CellText(row, kArtist);
                        });
                        list_.RemoveRows(std::vector<int>{row});
                    }
                    break;
                case 2:  // an edit of the sort key
                    if (shown > 0) {
                        const int row = static_cast<int>(random() % static_cast<unsigned>(shown));
                        const std::string artist = "r" + std::to_string(1000 + next++);
                        view_.SetCell(row, kArtist, artist);
                        model[static_cast<std::size_t>(row)].first = artist;
                    }
                    break;
                case 3:
                    appendRows(2);
                    break;
                default: {
                    const bool ascending = random() % 2 == 0;
                    view_.Sort(kArtist, ascending);
                    std::stable_sort(model.begin(), model.end(), [&](const auto& a, const auto& b) {
                        return ascending ? a.first < b.first : a.first > b.first;
                    });
                    // Groups stay together, where their first row went.
                    std::map<int, std::size_t> firstOfGroup;
                    for (std::size_t at = 0; at < model.size(); ++at) {
                        firstOfGroup.try_emplace(model[at].second, at);
                    }
                    std::stable_sort(model.begin(), model.end(), [&](const auto& a, const auto& b) {
                        return firstOfGroup[a.second] < firstOfGroup[b.second];
                    });
                }
            }
            ASSERT_EQ(view_.RowCount(), static_cast<int>(model.size()));
            std::set<int> groupsLeft;
            for (int row = 0; row < view_.RowCount(); ++row) {
                const auto& [artist, group] = model[static_cast<std::size_t>(row)];
                EXPECT_EQ(view_.CellText(row, kArtist), artist);
                EXPECT_EQ(view_.GroupOf(row), group);
                groupsLeft.insert(group);
            }
            EXPECT_EQ(view_.GroupsShown(), static_cast<int>(groupsLeft.size()));
        }
        const std::vector<std::string> catalog = ColumnTexts(list_, kArtist);
        filter_.ToggleFilter(kFolderDisk, RowSelection());  // Show All
        EXPECT_FALSE(view_.grouped());
        EXPECT_FALSE(filter_.filterOn());
        EXPECT_EQ(view_.GroupOf(0), -1);
        EXPECT_EQ(ColumnTexts(view_, kArtist), catalog);
    }
    // A new catalog ends the groups too.
    view_.ShowGroups({0}, {0});
    list_.ClearRows();
    EXPECT_FALSE(view_.grouped());
}

}  // namespace
