#pragma once

#include <functional>
#include <memory>

#include "browse/CatalogFilter.h"
#include "browse/CatalogView.h"
#include "browse/ColumnSort.h"
#include "browse/RowEditor.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/CatalogList.h"
#include "catalog/RecentFileList.h"
#include "catalog/UndoHistory.h"
#include "playback/PlaybackCommands.h"
#include "scan/ScanCommands.h"
#include "services.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"

// Everything a window of the program works on, whichever toolkit draws it: the store, its
// undo history and view, the document, and the commands over them, wired to one another and
// to the services they are given.
class CatalogSession {
public:
    struct Services {
        Files& files;
        UserInterface& ui;
        Profile& profile;
        Shell& shell;
        FolderReader& folders;
        Drives& drives;
        Locale& locale;
        Processes& processes;
        DiscWait::Prompt& discPrompt;
        TagReader* tags = nullptr;  // without it no tags are read
        // Without it every row is taken as connected, and rows name no file system.
        Mounts* mounts = nullptr;
    };

    explicit CatalogSession(Services services);
    CatalogSession(const CatalogSession&) = delete;
    CatalogSession& operator=(const CatalogSession&) = delete;

    // Called when an edit of rows away on a disc changed the catalog, for the title.
    void SetChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }

    // Reads the mounts again, as after a disc or a drive came or went.
    struct MountsChange {
        bool placesChanged = false;  // rows became connected or not connected
        bool waitsWentOn = false;    // a command that waited for a disc went on
    };
    MountsChange OnMountsChanged();

    const Services& services() const { return services_; }
    CatalogList& list() { return list_; }
    CatalogView& view() { return view_; }
    CPlumetDoc& document() { return document_; }
    RecentFileList& recentFiles() { return recentFiles_; }
    ColumnSort& sort() { return sort_; }
    CatalogFilter& filter() { return filter_; }
    RowEditor& editor() { return editor_; }
    PlaybackCommands& playback() { return playback_; }
    ScanCommands& scan() { return scan_; }
    DiscWait& discWait() { return discWait_; }
    // Which rows are on file systems not mounted now; nullptr without mounts.
    RowVolumeIndex* volumes() const { return volumes_.get(); }

private:
    Services services_;
    CatalogList list_;
    // Before the view, so that it is gone before the view's rows are.
    UndoHistory history_{list_};
    CatalogView view_{list_};
    std::unique_ptr<RowVolumeIndex> volumes_;  // only with mounts: it costs a pass per open
    DiscWait discWait_;
    RecentFileList recentFiles_;
    CPlumetDoc document_;
    ColumnSort sort_;
    CatalogFilter filter_;
    RowEditor editor_;
    PlaybackCommands playback_;
    ScanCommands scan_;
    std::function<void()> changed_;
};
