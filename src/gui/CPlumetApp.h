#pragma once

#include <memory>

#include "DiscPrompt.h"
#include "VolumeFollower.h"
#include "app/CommandLine.h"
#include "browse/CatalogFilter.h"
#include "browse/CatalogView.h"
#include "browse/ColumnSort.h"
#include "browse/RowEditor.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/CatalogList.h"
#include "catalog/RecentFileList.h"
#include "playback/PlaybackCommands.h"
#include "scan/ScanCommands.h"
#include "services.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"

class CatalogModel;
class CMainFrame;

// The application: the store, the document and the main window, built over the services
// it is given. InitInstance carries out the command line; ExitInstance writes the recent
// files back.
class CPlumetApp {
public:
    static constexpr const char* kOrganization = "Tavisk";
    static constexpr const char* kApplication = "Plumet";

    struct Services {
        Files& files;
        UserInterface& ui;
        Profile& profile;
        Shell& shell;
        FolderReader& folders;
        Drives& drives;
        Locale& locale;
        Processes& processes;
        TagReader* tags = nullptr;  // without it no tags are read
        // Without it every row is taken as connected, and rows name no file system.
        Mounts* mounts = nullptr;
    };

    explicit CPlumetApp(Services services);
    ~CPlumetApp();

    // Sets the settings root on the running QApplication.
    static void SetApplicationNames();

    // Makes an empty catalog, or opens the one the command line names. False when the
    // program must end: the user has been told why.
    bool InitInstance(const CommandLine& commandLine);
    void ExitInstance();

    CatalogList& list() { return list_; }
    CatalogView& view() { return view_; }
    CPlumetDoc& document() { return document_; }
    RecentFileList& recentFiles() { return recentFiles_; }
    CMainFrame* mainFrame() const { return frame_.get(); }
    ScanCommands& scan() { return scan_; }
    CatalogFilter& filter() { return filter_; }
    // Which rows are on file systems not mounted now; nullptr without mounts.
    RowVolumeIndex* volumes() const { return volumes_.get(); }
    DiscPrompt& discPrompt() { return discPrompt_; }
    // Reads the mounts again, as a change of the mount table does; nullptr without mounts.
    VolumeFollower* volumeFollower() const { return follower_.get(); }

private:
    Services services_;
    CatalogList list_;
    // Before the view, so that it is gone before the view's rows are.
    UndoHistory history_{list_};
    CatalogView view_{list_};
    std::unique_ptr<RowVolumeIndex> volumes_;  // only with mounts: it costs a pass per open
    DiscPrompt discPrompt_;
    DiscWait discWait_{discPrompt_};
    RecentFileList recentFiles_;
    CPlumetDoc document_;
    ColumnSort sort_;
    CatalogFilter filter_;
    RowEditor editor_;
    PlaybackCommands playback_;
    ScanCommands scan_;
    std::unique_ptr<VolumeFollower> follower_;
    std::unique_ptr<CatalogModel> model_;
    std::unique_ptr<CMainFrame> frame_;
};
