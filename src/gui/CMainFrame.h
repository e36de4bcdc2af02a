#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "export/ListExport.h"

class CatalogFilter;
class DiscWait;
class RowVolumeIndex;
class CatalogModel;
class CatalogRow;
class CStatisticsDlg;
class PlaybackCommands;
class Processes;
class ColumnSort;
class RowEditor;
class ViewCommands;
class CommandActions;
class CPlumetDoc;
class Files;
class CPlumetView;
class Profile;
class QLabel;
class QMenu;
struct MenuEntry;
class QToolBar;
class RecentFileList;
class ScanCommands;
class ScanStatus;
class SearchBox;
class Shell;
class UserInterface;

// The main window: menus, toolbar and status bar around the catalog list. It owns the
// window's own settings (placement, Open Last File, the list's columns) and the document's
// commands.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        Files& files;
        Profile& profile;
        UserInterface& ui;
        Shell& shell;
        ScanCommands& scan;
        ColumnSort& sort;
        CatalogFilter& filter;
        RowEditor& editor;
        PlaybackCommands& playback;
        Processes& processes;
        RowVolumeIndex* volumes = nullptr;  // without it every row is taken as connected
        DiscWait* discWait = nullptr;
    };

    CMainFrame(CPlumetDoc& document, CatalogModel& model, RecentFileList& recentFiles,
               Services services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CPlumetView& view() const { return *view_; }
    CommandActions& commands() const { return *commands_; }
    // Runs a command by its id, as a menu, the toolbar or a shortcut would.
    bool SendCommand(int id);
    // Restores the stored placement (or the first-start size) and shows the window.
    void ShowWithPlacement();
    // Writes the placement and Open Last File, as closing does first.
    void SaveSettings();

    void SetMessageText(const QString& text);
    QString MessageText() const;
    void SetPlayerPaneText(const QString& text);
    QLabel& playerPane() const { return *playerPane_; }
    bool autoOpen() const { return autoOpen_; }
    ScanStatus& scanStatus() const { return *scanStatus_; }
    ViewCommands& viewCommands() const { return *viewCommands_; }

    // Whether a row's disc or folder is connected now, for the statistics window; until
    // told otherwise every row is. Setting it refreshes an open window.
    void SetConnectedTest(std::function<bool(const CatalogRow&)> connected);
    // The user's digit grouping, for the numbers the statistics window writes.
    void SetGroupSeparator(std::string separator) { groupSeparator_ = std::move(separator); }
    // The open statistics window, or nullptr.
    CStatisticsDlg* statisticsWindow() const;

    void UpdateTitle();
    // Enables and checks every command of the frame from the current state.
    void UpdateCommandStates();
    // How many of the rows shown are on file systems that are not connected, in its pane.
    void ShowAwayCount();
    QLabel& awayPane() const { return *awayPane_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateHandlers();
    void CreateMenus();
    void AddMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries);
    void CreateToolBar();
    void CreateStatusBar();
    // Pane 0 says how many rows are shown whenever that changes.
    void FollowRowCount(CatalogModel& model);
    void ShowRowCount();
    // "Search cancelled: N items"
    QString CancelledText() const;
    void RebuildRecentFileItems();
    // Runs a document command, then brings the title and command states up to date.
    void RunDocumentCommand(const std::function<void()>& command);
    // The same for a command that replaces the list: a running walk stops first and its
    // rows come in, so they can be saved and never land in the next catalog.
    void RunReplacingCommand(const std::function<void()>& command);
    // Runs a scan command, then follows the walk it may have started.
    void RunScanCommand(const std::function<void()>& command);
    void OnLoadFromCD();
    void OnCustomizeExtensions();
    void OnFileNames();
    // Asks what makes rows the same, then shows the groups of rows that are.
    void OnFindDuplicates();
    // Shows the statistics window, or brings the open one to the front.
    void OnStatistics();
    // The files the File Names dialog previews.
    std::vector<std::string> PreviewPaths() const;
    void OnExportToHtml();
    // The rows shown, or the selected ones, to a file of that format.
    void OnExport(ListExport::Format format, bool selectedRows);
    void OnOpenLastFile();
    void OnAppAbout();
    void OnProgramWebsite();
    void OnMakeDonation();

    CPlumetDoc& document_;
    RecentFileList& recentFiles_;
    Services services_;
    CPlumetView* view_;
    CommandActions* commands_;
    QAction* recentFilePlaceholder_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    SearchBox* searchBox_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* playerPane_ = nullptr;
    QLabel* awayPane_ = nullptr;
    ScanStatus* scanStatus_ = nullptr;
    ViewCommands* viewCommands_ = nullptr;
    bool autoOpen_ = false;
    bool scanCancelled_ = false;  // until the next command
    // Until the mounts are known, every disc and folder counts as connected.
    std::function<bool(const CatalogRow&)> connected_ = [](const CatalogRow&) { return true; };
    std::string groupSeparator_ = ",";
    QPointer<CStatisticsDlg> statistics_;  // deleted when closed
};
