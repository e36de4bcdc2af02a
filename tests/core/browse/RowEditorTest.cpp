#include "browse/RowEditor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PosixFiles.h"
#include "core/browse/BrowseRows.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class RowEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) {
            const std::string n = std::to_string(i);
            AppendRow(list_, {"artist" + n, "track" + n, "CD" + n, n + ",000", "01/02/03 04:05 PM",
                              "/music/artist" + n + ".mp3"});
        }
    }

    // A row for a real file in the temporary folder.
    int AddFileRow(const std::string& name) {
        const fs::path path = folder_.path() / name;
        std::ofstream(path) << name;
        AppendRow(list_, {"Old", "Name", "CD", "1", "", path.string()});
        return list_.RowCount() - 1;
    }

    EditItemForm Edited(int row, const std::string& artist, const std::string& track) {
        EditItemForm form = editor_.OpenForm(RowSelection({row}), true);
        form.artist = artist;
        form.track = track;
        return form;
    }

    TempFolder folder_{"plumet-edit"};
    PosixFiles files_;
    ScriptedUserInterface ui_;
    CatalogList list_;
    CatalogView view_{list_};
    RowEditor editor_{view_, files_, ui_};
};

TEST_F(RowEditorTest, TheFormShowsTheLastSelectedRowAndLimitsSeveralRowsToOneColumn) {
    const EditItemForm one = editor_.OpenForm(RowSelection({2}), true);
    EXPECT_EQ(one.artist, "artist2");
    EXPECT_EQ(one.track, "track2");
    EXPECT_EQ(one.folder, "CD2");
    EXPECT_EQ(one.size, "2,000");
    EXPECT_TRUE(one.saveToDisk && one.saveToDiskEnabled);
    EXPECT_TRUE(one.artistEnabled && one.trackEnabled && one.folderEnabled);

    const EditItemForm folders = editor_.OpenForm(RowSelection({0, 1, 2, 3, 4}), true);
    EXPECT_EQ(folders.folder, "CD4");
    EXPECT_EQ(folders.artist + folders.track + folders.album + folders.size, "");
    EXPECT_FALSE(folders.artistEnabled || folders.trackEnabled || folders.albumEnabled);
    EXPECT_TRUE(folders.folderEnabled);
    EXPECT_FALSE(folders.saveToDisk || folders.saveToDiskEnabled);

    const EditItemForm artists = editor_.OpenForm(RowSelection({1, 3}), false);
    EXPECT_EQ(artists.artist, "");
    EXPECT_EQ(artists.folder, "CD3");
    EXPECT_TRUE(artists.artistEnabled);
    EXPECT_FALSE(artists.trackEnabled || artists.folderEnabled || artists.saveToDisk);

    const EditItemForm none = editor_.OpenForm(RowSelection(), true);
    EXPECT_EQ(none.artist + none.track + none.folder + none.size, "");
    EXPECT_FALSE(editor_.ApplyEdit(RowSelection(), true, none));
}

TEST_F(RowEditorTest, OkSetsTheCellsOfOneRowOrOneColumnOfSeveral) {
    EditItemForm form = Edited(1, "New", "Song");
    form.folder = "Box";
    form.saveToDisk = false;
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({1}), true, form));
    EXPECT_EQ(list_.SnapshotRows()[1],
              "New\tSong\tBox\t1,000\t01/02/03 04:05 PM\tedited=artist,track,folder\t"
              "/music/artist1.mp3");
    EXPECT_FALSE(editor_.ApplyEdit(RowSelection({1}), true, form));  // nothing left to change

    EditItemForm folders = editor_.OpenForm(RowSelection({0, 2, 4}), true);
    folders.folder = "Shelf";
    folders.saveToDisk = true;  // never renames several files
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({0, 2, 4}), true, folders));
    EXPECT_EQ(ColumnTexts(list_, kFolderDisk), (Texts{"Shelf", "Box", "Shelf", "CD3", "Shelf"}));
    EXPECT_EQ(ColumnTexts(list_, kArtist)[0], "artist0");

    EditItemForm artists = editor_.OpenForm(RowSelection({3, 4}), false);
    artists.artist = "Various";
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({3, 4}), false, artists));
    EXPECT_EQ(ColumnTexts(list_, kArtist),
              (Texts{"artist0", "New", "artist2", "Various", "Various"}));
    EXPECT_EQ(ColumnTexts(list_, kFolderDisk)[3], "CD3");
    EXPECT_EQ(ColumnTexts(list_, kPath)[4], "/music/artist4.mp3");
    EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(RowEditorTest, SaveToDiskRenamesTheFileWithoutReplacingAnother) {
    const int row = AddFileRow("old.mp3");
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({row}), true, Edited(row, "New", "Song")));
    const fs::path renamed = folder_.path() / "New - Song.mp3";
    EXPECT_TRUE(fs::exists(renamed));
    EXPECT_FALSE(fs::exists(folder_.path() / "old.mp3"));
    EXPECT_EQ(list_.CellText(row, kPath), renamed.string());
    EXPECT_EQ(list_.CellText(row, kArtist), "New");

    // The same names again: nothing to rename, and no complaint about the file itself.
    EXPECT_FALSE(editor_.ApplyEdit(RowSelection({row}), true, Edited(row, "New", "Song")));
    EXPECT_TRUE(ui_.errors.empty());

    const int other = AddFileRow("other.mp3");
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({other}), true, Edited(other, "New", "Song")));
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_EQ(ui_.errors[0], "Unable to rename " + (folder_.path() / "other.mp3").string() +
                                 " to " + renamed.string() +
                                 ": a file with the new name already exists.");
    std::ifstream kept(renamed);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old.mp3");
    EXPECT_EQ(list_.CellText(other, kPath), (folder_.path() / "other.mp3").string());
    EXPECT_EQ(list_.CellText(other, kArtist), "New");  // the cells are set all the same
}

// "Save to Disk" starts checked, so a rename must wait for a new Artist or Track: the old
// name may hold a track number that Artist and Track, guessed from folder and file, lack.
// Album is a field of the row only and never names the file.
TEST_F(RowEditorTest, OnlyANewArtistOrTrackRenamesTheFile) {
    struct Case {
        const char* artist;
        const char* track;
        const char* folder;
        const char* album;
        bool saveToDisk;
        const char* nameAfter;
        const char* fieldsAfter;
    };
    const Case cases[] = {
        // OK with nothing changed
        {"Old", "Name", "CD", "Kid A", true, "04 - x.ogg", "album=Kid A"},
        // only In Folder/Disk changed; each cell changed is marked as the user's
        {"Old", "Name", "Shelf", "Kid A", true, "04 - x.ogg", "album=Kid A\tedited=folder"},
        // only Album changed, or emptied, which removes the field
        {"Old", "Name", "CD", "Amnesiac", true, "04 - x.ogg", "album=Amnesiac\tedited=album"},
        {"Old", "Name", "CD", "", true, "04 - x.ogg", "edited=album"},
        // Artist changed, Album too
        {"New", "Name", "CD", "Amnesiac", true, "New - Name.ogg",
         "album=Amnesiac\tedited=artist,album"},
        // Track changed
        {"Old", "Song", "CD", "Kid A", true, "Old - Song.ogg", "album=Kid A\tedited=track"},
        // not asked to
        {"New", "Song", "CD", "", false, "04 - x.ogg", "edited=artist,track,album"},
    };
    for (const Case& c : cases) {
        TempFolder folder("plumet-edit-case");
        const fs::path file = folder.path() / "04 - x.ogg";
        std::ofstream(file) << "x";
        AppendRow(list_, {"Old", "Name", "CD", "1", "", file.string()});
        const int row = list_.RowCount() - 1;
        list_.SetCell(row, kAlbum, "Kid A");
        EditItemForm form = editor_.OpenForm(RowSelection({row}), true);
        EXPECT_TRUE(form.saveToDisk);
        EXPECT_EQ(form.album, "Kid A");
        EXPECT_TRUE(form.albumEnabled);
        form.artist = c.artist;
        form.track = c.track;
        form.folder = c.folder;
        form.album = c.album;
        form.saveToDisk = c.saveToDisk;
        const bool unchanged =
            std::string_view(c.folder) == "CD" && std::string_view(c.album) == "Kid A" &&
            std::string_view(c.artist) == "Old" && std::string_view(c.track) == "Name";
        EXPECT_EQ(editor_.ApplyEdit(RowSelection({row}), true, form), !unchanged) << c.album;
        const fs::path after = folder.path() / c.nameAfter;
        EXPECT_TRUE(fs::exists(after)) << c.nameAfter;
        EXPECT_EQ(list_.CellText(row, kPath), after.string());
        EXPECT_EQ(list_.CellText(row, kFolderDisk), c.folder);
        EXPECT_EQ(list_.CellText(row, kAlbum), c.album);
        EXPECT_EQ(list_.RowRecord(row)->Fields(), c.fieldsAfter);
    }
    EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(RowEditorTest, RenamesThatCannotBeDoneAreExplainedAndTheCellsStillSet) {
    const int slash = AddFileRow("slash.mp3");
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({slash}), true, Edited(slash, "AC/DC", "Hells")));
    const std::string slashPath = (folder_.path() / "slash.mp3").string();
    EXPECT_EQ(ui_.errors.at(0),
              "Unable to rename " + slashPath + ": an artist or track name cannot contain \"/\".");
    EXPECT_TRUE(fs::exists(slashPath));
    EXPECT_EQ(list_.CellText(slash, kArtist), "AC/DC");

    const fs::path dotted = folder_.path() / "folder.d";
    fs::create_directory(dotted);
    const int bare = AddFileRow("folder.d/bare");
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({bare}), true, Edited(bare, "A", "B")));
    EXPECT_TRUE(fs::exists(dotted / "A - B"));
    EXPECT_EQ(list_.CellText(bare, kPath), (dotted / "A - B").string());

    const int missing = AddFileRow("missing.mp3");
    fs::remove(folder_.path() / "missing.mp3");
    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({missing}), true, Edited(missing, "A", "B")));
    const std::string missingPath = (folder_.path() / "missing.mp3").string();
    EXPECT_EQ(ui_.errors.at(1), "Unable to rename " + missingPath + " to " +
                                    (folder_.path() / "A - B.mp3").string() +
                                    ": the file was not found.");
    EXPECT_EQ(list_.CellText(missing, kPath), missingPath);

    // A folder that is a regular file: refused even for root.
    const int below = AddFileRow("plain");
    const std::string belowPath = (folder_.path() / "plain" / "x.mp3").string();
    list_.SetCell(below, kPath, belowPath);
    editor_.ApplyEdit(RowSelection({below}), true, Edited(below, "A", "B"));
    EXPECT_EQ(ui_.errors.at(2), "Unable to rename " + belowPath + " to " +
                                    (folder_.path() / "plain" / "A - B.mp3").string() +
                                    ": its folder was not found.");
    EXPECT_EQ(ui_.errors.size(), 3u);
}

class LastQuestion : public DiscWait::Prompt {
public:
    void Show(const std::string& text, std::function<void()>) override { shown = text; }
    void Close() override { shown.clear(); }
    std::string shown;
};

// A disc mounted elsewhere now is renamed where it is, and its Path keeps the form it was
// stored in; a disc that is away renames nothing at the old place (another disc may be
// there), asks for its disc, and renames once it comes, wherever it comes.
TEST_F(RowEditorTest, SaveToDiskRenamesTheFileWhereItsDiscIsNow) {
    RowVolumeIndex volumes(list_);
    LastQuestion question;
    DiscWait wait(question);
    int renamedLater = 0;
    editor_.SetDiscs(volumes, wait, [&renamedLater] { ++renamedLater; });
    const std::string root = folder_.path().string();
    for (const char* file : {"now/one.mp3", "was/one.mp3", "was/two.mp3", "back/two.mp3"}) {
        fs::create_directories((fs::path(root) / file).parent_path());
        std::ofstream(fs::path(root) / file) << file;
    }
    const std::string oldOne = root + "/was/one.mp3", oldTwo = root + "/was/two.mp3";
    list_.AppendRows({CatalogRow({"Old", "Name", "CD 1", "1", "", oldOne},
                                 VolumePieces({"D1", root + "/was", true})),
                      CatalogRow({"Old", "Name", "CD 2", "1", "", oldTwo},
                                 VolumePieces({"D2", root + "/was", true}))});
    const int moved = list_.RowCount() - 2;
    const int away = moved + 1;
    volumes.SetMounted(MountedSet({{"D1", root + "/now", true}}));

    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({moved}), true, Edited(moved, "A", "One")));
    EXPECT_TRUE(fs::exists(root + "/now/A - One.mp3"));
    EXPECT_TRUE(fs::exists(oldOne));
    EXPECT_EQ(list_.CellText(moved, kPath), root + "/was/A - One.mp3");

    EXPECT_TRUE(editor_.ApplyEdit(RowSelection({away}), true, Edited(away, "B", "Two")));
    EXPECT_EQ(question.shown, "Insert the disc \"CD 2\" to rename \"Name\".");
    EXPECT_TRUE(fs::exists(oldTwo));
    EXPECT_EQ(list_.CellText(away, kPath), oldTwo);
    EXPECT_EQ(list_.CellText(away, kArtist), "B");  // the cells are the user's at once
    EXPECT_EQ(renamedLater, 0);

    volumes.SetMounted(MountedSet({{"D2", root + "/back", true}}));
    EXPECT_TRUE(wait.OnMountsChanged(volumes.mounted()));
    EXPECT_TRUE(fs::exists(root + "/back/B - Two.mp3"));
    EXPECT_TRUE(fs::exists(oldTwo));
    EXPECT_EQ(list_.CellText(away, kPath), root + "/was/B - Two.mp3");
    EXPECT_EQ(renamedLater, 1);
    EXPECT_EQ(question.shown, "");
    EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(RowEditorTest, TheNewNameKeepsTheFolderAndTheExtensionOfTheFileName) {
    EXPECT_EQ(RowEditor::RenamedPath("/m/old.mp3", "A", "B"), "/m/A - B.mp3");
    EXPECT_EQ(RowEditor::RenamedPath("/m/x.tar.gz", "A", "B"), "/m/A - B.gz");
    EXPECT_EQ(RowEditor::RenamedPath("/m.d/old", "A", "B"), "/m.d/A - B");
    EXPECT_EQ(RowEditor::RenamedPath("/m/.hidden", "A", "B"), "/m/A - B");
    EXPECT_EQ(RowEditor::RenamedPath("old.ogg", "", ""), " - .ogg");
    EXPECT_EQ(RowEditor::RenamedPath("/old.ogg", "A", "B"), "/A - B.ogg");
}

TEST_F(RowEditorTest, RemoveFromListRemovesExactlyTheSelectedRows) {
    AppendColumn(list_, kArtist, {"x5", "x6"});
    EXPECT_TRUE(editor_.RemoveFromList(RowSelection({2, 3, 5})));
    EXPECT_EQ(ColumnTexts(list_, kArtist), (Texts{"artist0", "artist1", "artist4", "x6"}));
    EXPECT_FALSE(editor_.RemoveFromList(RowSelection()));
    EXPECT_FALSE(editor_.RemoveFromList(RowSelection({9})));
    EXPECT_EQ(list_.RowCount(), 4);

    // Many scattered rows at once, as after selecting every other row of a large list.
    CatalogList many;
    Texts all;
    std::vector<int> odd;
    for (int i = 0; i < 200; ++i) {
        all.push_back(std::to_string(i));
        if (i % 2 == 1) {
            odd.push_back(i);
        }
    }
    AppendColumn(many, kArtist, all);
    CatalogView manyView(many);
    RowEditor(manyView, files_, ui_).RemoveFromList(RowSelection(odd));
    ASSERT_EQ(many.RowCount(), 100);
    EXPECT_EQ(many.CellText(99, kArtist), "198");
}

}  // namespace
