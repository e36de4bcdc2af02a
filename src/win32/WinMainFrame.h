#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "WinApi.h"
#include "app/CatalogSession.h"
#include "browse/SearchInput.h"
#include "frame/FrameStatus.h"

class WinCatalogList;

// The program's main window on Windows: the menu bar and toolbar built from the core's
// layout, the list of rows, the search box and the status bar. It only draws and forwards:
// what a command does and when it is enabled is the core's.
class WinMainFrame {
public:
    static constexpr int kListId = 100;
    static constexpr int kToolbarId = 59392;
    static constexpr int kStatusBarId = 59393;
    static constexpr int kSearchBoxId = 101;
    // Status bar panes.
    static constexpr int kMessagePane = 0;
    static constexpr int kPlayerPane = 1;
    static constexpr int kAwayPane = 2;

    explicit WinMainFrame(CatalogSession& session);
    ~WinMainFrame();
    WinMainFrame(const WinMainFrame&) = delete;
    WinMainFrame& operator=(const WinMainFrame&) = delete;

    // Makes the window, placed as the settings say; false when Windows refused.
    bool Create();
    // Shows it as the program was started, or as it was left.
    void ShowWithPlacement(int showCommand);
    // The message loop, accelerators included, until the window is gone.
    int Run();

    HWND handle() const { return window_; }
    HWND searchBox() const { return searchBox_; }
    HWND statusBar() const { return statusBar_; }
    WinCatalogList& list() const { return *list_; }
    // Runs a command as the user would: false when it is unknown, has no handler or is
    // disabled now.
    bool SendCommand(int id);
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    std::wstring PaneText(int pane) const;
    void UpdateTitle();
    void UpdateCommandStates();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SearchBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR frame);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void CreateHandlers();
    HMENU BuildMenuBar();
    void CreateToolbar();
    void CreateStatusBar();
    void Layout();
    void SetHandler(int id, std::function<void()> handler) { handlers_[id] = std::move(handler); }
    // Commands that replace the catalog stop a walk first; the others bring its rows in.
    void RunReplacingCommand(const std::function<void()>& command);
    void RunDocumentCommand(const std::function<void()>& command);
    void RunScanCommand(const std::function<void()>& command);
    void FollowScan();
    void DrainScan();
    void OnWalkEnded(std::uint64_t walk);
    // The context menu of the selected rows, at a point of the screen.
    void ShowContextMenu(POINT at);
    void OnEdit(bool folderMode);
    void OnFindTrack();
    void FindFromCurrentRow();
    // A disc or a drive came or went: its rows grey or light, a waiting command goes on.
    void OnMountsChanged();
    void OnSearchTyped();
    void ShowRowCount();
    void SetPane(int pane, const std::string& text);
    void RebuildRecentFiles();
    bool OnClose();
    RowSelection Selection() const;

    CatalogSession& session_;
    SearchInput search_;
    HWND window_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND searchBox_ = nullptr;
    HWND statusBar_ = nullptr;
    HMENU fileMenu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<WinCatalogList> list_;
    std::map<int, std::function<void()>> handlers_;
    std::map<int, FrameStatus::CommandState> states_;
    std::optional<std::string> lastFindText_;
    bool autoOpen_ = false;
    bool scanCancelled_ = false;
    bool draining_ = false;
};
