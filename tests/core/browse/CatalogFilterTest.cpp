#include "browse/CatalogFilter.h"

#include <gtest/gtest.h>

#include "PosixFiles.h"
#include "browse/ColumnSort.h"
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
    CatalogFilter filter_{list_, ui_};
    std::vector<std::string> allLines_;
};

TEST_F(CatalogFilterTest, KeepsExactMatchesOfTheLastSelectedRowAndShowAllBringsAllBack) {
    EXPECT_FALSE(filter_.FilterOnFolderDiskState(false).enabled);
    EXPECT_TRUE(filter_.FilterOnFolderDiskState(true).enabled);
    EXPECT_FALSE(filter_.FilterOnFolderDiskState(true).checked);

    filter_.ToggleFilter(kFolderDisk, RowSelection({3, 1, 4}));  // the key comes from row 4
    EXPECT_TRUE(filter_.filterOn());
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"a1", "e1"}));
    EXPECT_EQ(filter_.savedRows().SnapshotRows(), allLines_);
    EXPECT_EQ(filter_.AllRows(), &filter_.savedRows());
    EXPECT_TRUE(filter_.FilterOnFolderDiskState(true).checked);
    EXPECT_TRUE(ui_.messages.empty());

    // Sorting and removing touch only the rows shown; Show All brings the saved order back,
    // the removed row with it. "Filter On Artist" ends a folder filter rather than narrowing.
    ColumnSort sort(list_);
    sort.OnColumnClick(kArtist);
    sort.OnColumnClick(kArtist);
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"e1", "a1"}));
    list_.RemoveRow(0);
    filter_.ToggleFilter(kArtist, RowSelection({0}));
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(list_.SnapshotRows(), allLines_);
    EXPECT_EQ(filter_.AllRows(), nullptr);
    EXPECT_EQ(filter_.savedRows().RowCount(), 0);

    filter_.ToggleFilter(kArtist, RowSelection({5}));
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"f2"}));
    filter_.ToggleFilter(kFolderDisk, RowSelection());  // no selection: still switches it off
    EXPECT_EQ(list_.SnapshotRows(), allLines_);
    EXPECT_TRUE(ui_.messages.empty());
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
    EXPECT_EQ(ColumnTexts(list_, kTrack), (Texts{"no folder"}));
}

TEST_F(CatalogFilterTest, TheDocumentSavesAllRowsAndEndsTheFilterBeforeChangingRows) {
    RecentFileList recent;
    CPlumetDoc doc(list_, files_, ui_, recent);
    doc.SetHiddenRows(&filter_);

    filter_.ToggleFilter(kFolderDisk, RowSelection({3}));
    const std::string saved = (folder_.path() / "all.plm").string();
    ui_.saveChoices.push_back(saved);
    ASSERT_TRUE(doc.OnFileSaveAs());
    EXPECT_EQ(SavedArtists(saved), (Texts{"a1", "b1", "c1", "d2", "e1", "f2"}));
    EXPECT_TRUE(filter_.filterOn());  // saving leaves the view as it is
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"d2", "f2"}));

    // Merge appends to the whole catalog, so switching the filter off later drops nothing.
    ui_.openChoices.push_back(WriteCatalog("more.plm", {"m1", "m2"}));
    ASSERT_TRUE(doc.OnMerge());
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"a1", "b1", "c1", "d2", "e1", "f2", "m1", "m2"}));
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));
    EXPECT_EQ(list_.RowCount(), 8);

    // Open and New replace the catalog; an old one never comes back over them.
    filter_.ToggleFilter(kFolderDisk, RowSelection({0}));
    doc.SetModified(false);
    ASSERT_TRUE(doc.OpenDocumentFile(WriteCatalog("other.plm", {"o1"})));
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"o1"}));
    filter_.ToggleFilter(kArtist, RowSelection({0}));
    ASSERT_TRUE(doc.OnFileNew());
    EXPECT_FALSE(filter_.filterOn());
    EXPECT_EQ(list_.RowCount(), 0);
    filter_.ToggleFilter(kArtist, RowSelection({0}));
    EXPECT_EQ(list_.RowCount(), 0);
}

}  // namespace
