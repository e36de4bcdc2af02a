#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "WinCatalogList.h"
#include "WinControls.h"
#include "WinDrives.h"
#include "WinFiles.h"
#include "WinFolderReader.h"
#include "WinMainFrame.h"
#include "WinPlumetApp.h"
#include "WinProcesses.h"
#include "WinText.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace {

class SilentPrompt : public DiscWait::Prompt {
public:
    void Show(const std::string& text, std::function<void()>) override { shown.push_back(text); }
    void Close() override {}
    std::vector<std::string> shown;
};

// The window over the real Windows files and folders, with scripted answers for the user.
class WinMainFrameTest : public ::testing::Test {
protected:
    WinMainFrameTest() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }

    std::string PathOf(const std::string& name) const { return (folder_.path() / name).string(); }

    void WriteCatalog(const std::string& path, const std::vector<RowCells>& rows) {
        CatalogList list;
        std::vector<CatalogRow> records;
        for (const RowCells& cells : rows) {
            records.emplace_back(cells);
        }
        list.AppendRows(std::move(records));
        ASSERT_TRUE(files_.ReplaceFile(
            path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
    }

    WinMainFrame& Start(const std::vector<std::string>& arguments) {
        app_ = std::make_unique<WinPlumetApp>(WinPlumetApp::Services{
            files_, ui_, profile_, shell_, folders_, drives_, locale_, processes_, prompt_});
        if (!app_->InitInstance(CommandLine::Parse(arguments), SW_SHOWNORMAL)) {
            std::string said;
            for (const std::string& error : ui_.errors) {
                said += error + "\n";
            }
            throw std::runtime_error("the window did not open: " + said);
        }
        return *app_->mainFrame();
    }

    // Lets the window handle what was posted to it until `done` holds.
    static bool PumpUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(5);
        }
        return true;
    }

    static std::wstring Title(HWND window) {
        std::wstring text(256, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), 256)));
        return text;
    }

    // The rows as the list view shows them: what a screen reader would read.
    static std::vector<std::string> Column(const WinMainFrame& frame, int column) {
        HWND list = frame.list().handle();
        std::vector<std::string> cells;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[512] = {};
            ListView_GetItemText(list, row, column, text, 512);
            cells.push_back(Utf8FromWide(text));
        }
        return cells;
    }

    static void ClickHeader(WinMainFrame& frame, int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = frame.list().handle();
        click.hdr.idFrom = WinMainFrame::kListId;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(frame.handle(), WM_NOTIFY, WinMainFrame::kListId,
                     reinterpret_cast<LPARAM>(&click));
    }

    TempFolder folder_{"plumet-window"};
    WinFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    WinFolderReader folders_;
    WinDrives drives_;
    FixedLocale locale_;
    WinProcesses processes_;
    SilentPrompt prompt_;
    std::unique_ptr<WinPlumetApp> app_;
};

TEST_F(WinMainFrameTest, OpensSortsSearchesRemovesUndoesAndSavesAsTheUserWould) {
    const std::string catalog = PathOf("Music.plm");
    WriteCatalog(catalog, {{"Zappa", "Peaches", "CD1", "1,024", "1/1/2001", "D:\\Peaches.mp3"},
                           {"Abba", "Waterloo", "CD2", "2,048", "1/1/2002", "D:\\Waterloo.mp3"},
                           {"Björk", "Jóga", "CD1", "512", "1/1/2003", "D:\\Jóga.mp3"}});
    WinMainFrame& frame = Start({catalog});
    EXPECT_EQ(Title(frame.handle()), L"Music.plm - Plumet");
    EXPECT_EQ(Column(frame, kArtist), (std::vector<std::string>{"Zappa", "Abba", "Björk"}));
    EXPECT_EQ(frame.PaneText(WinMainFrame::kMessagePane), L"3 items");
    EXPECT_EQ(profile_.GetString("Recent File List", "File1", ""), "");  // written at exit

    ClickHeader(frame, kArtist);
    EXPECT_EQ(Column(frame, kArtist), (std::vector<std::string>{"Abba", "Björk", "Zappa"}));
    ClickHeader(frame, kArtist);
    EXPECT_EQ(Column(frame, kArtist), (std::vector<std::string>{"Zappa", "Björk", "Abba"}));

    // Typing narrows the rows; Esc in the box would clear it, as clearing the text does.
    SetWindowTextW(frame.searchBox(), L"jo");
    EXPECT_EQ(Column(frame, kTrack), std::vector<std::string>{"Jóga"});
    EXPECT_EQ(frame.PaneText(WinMainFrame::kMessagePane), L"1 of 3 rows");
    SetWindowTextW(frame.searchBox(), L"");
    EXPECT_EQ(frame.PaneText(WinMainFrame::kMessagePane), L"3 items");

    EXPECT_FALSE(frame.IsEnabled(kEditUndo));
    frame.list().SelectOnly(0);
    ASSERT_TRUE(frame.SendCommand(kRemoveFromList));
    EXPECT_EQ(Column(frame, kArtist), (std::vector<std::string>{"Björk", "Abba"}));
    EXPECT_TRUE(frame.IsEnabled(kEditUndo));
    ASSERT_TRUE(frame.SendCommand(kEditUndo));
    EXPECT_EQ(Column(frame, kArtist).size(), 3u);
    ASSERT_TRUE(frame.SendCommand(kEditRedo));

    const std::string saved = PathOf("Saved.plm");
    ui_.saveChoices.push_back(saved);
    ASSERT_TRUE(frame.SendCommand(kFileSaveAs));
    EXPECT_EQ(Title(frame.handle()), L"Saved.plm - Plumet");
    CatalogList reread;
    Files::OpenedFile opened;
    ASSERT_TRUE(files_.OpenForReading(saved, opened));
    ASSERT_TRUE(CatalogFile::LoadCatalog(reread, *opened.source, true));
    EXPECT_EQ(reread.RowCount(), 2);

    // Closing writes the placement and Open Last File, and leaves the loop.
    ASSERT_TRUE(frame.SendCommand(kOpenLastFile));
    EXPECT_TRUE(frame.IsChecked(kOpenLastFile));
    SendMessageW(frame.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(profile_.GetInt("Settings", "Auto_Open", 0), 1);
    EXPECT_NE(profile_.GetString("Settings", "WindowPos", ""), "");
    EXPECT_TRUE(ui_.questions.empty());  // saved: nothing to ask
    app_->ExitInstance();
    EXPECT_EQ(profile_.GetString("Recent File List", "File1", ""), saved);
}

TEST_F(WinMainFrameTest, AScanBringsItsRowsInWhileTheWindowRuns) {
    for (const char* name : {"Album\\01 - Intro.mp3", "Album\\02 - Song.mp3", "Other\\x.ogg"}) {
        const std::filesystem::path file = folder_.path() / "Music" / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << "x";
    }
    WinMainFrame& frame = Start({});
    EXPECT_EQ(Title(frame.handle()), L"Untitled - Plumet");
    EXPECT_FALSE(frame.IsEnabled(kCancelSearch));
    ui_.folderChoices.push_back(PathOf("Music"));
    ASSERT_TRUE(frame.SendCommand(kSelectSearchLocation));
    ASSERT_TRUE(
        PumpUntil([&] { return !frame.IsEnabled(kCancelSearch) && Column(frame, 0).size() == 3; }));
    std::vector<std::string> paths = Column(frame, kPath);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths.front(), PathOf("Music") + "\\Album\\01 - Intro.mp3");
    EXPECT_EQ(frame.PaneText(WinMainFrame::kMessagePane), L"3 items");
    ui_.answers.push_back(SaveAnswer::No);
    SendMessageW(frame.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ui_.questions.size(), 1u);  // the new rows were not saved
}

}  // namespace
