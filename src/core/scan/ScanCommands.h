#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "browse/CatalogView.h"
#include "catalog/CatalogList.h"
#include "catalog/RowSelection.h"
#include "scan/PendingResults.h"
#include "scan/ScanWorker.h"
#include "services.h"
#include "volumes/CatalogUpdate.h"

class DiscWait;
class RowVolumeIndex;

class CPlumetDoc;

// The view's ways to start and stop a scan, and the drain that brings found rows into the
// list. Everything here runs on the UI thread; the walk itself runs on the worker.
class ScanCommands {
public:
    static constexpr const char* kStartFolderTitle = "Select a Starting Directory";
    static constexpr const char* kUpdateFolderTitle = "Select the Folder to Update";
    static constexpr const char* kNoDiskInDrive = "No Disk in Drive";
    static constexpr const char* kNoOpticalDrive = "No CD or DVD drive was found.";

    struct Services {
        FolderReader& folders;
        Drives& drives;
        Locale& locale;
        UserInterface& ui;
        Profile& profile;           // whether to read tags, and the pattern for files without them
        TagReader* tags = nullptr;  // without it no tags are read
        Mounts* mounts = nullptr;   // without it rows name no file system
    };

    // What a drain did: the rows it moved, and what an Update that ended says, or a scan
    // that ended with places it could not see.
    struct Drained {
        int rowsMoved = 0;
        std::string status;
        // Each place the ended walk could not see, with its cause, a line each.
        std::string unseen;
    };

    ScanCommands(CPlumetDoc& document, CatalogList& list, Services services);

    // Called on the worker thread when a walk ends; the receiver hands the number to
    // OnWalkEnded on the UI thread.
    void SetWalkEnded(ScanWorker::WalkEnded walkEnded);

    // The rows show the disc's label when the scan is of a disc, as decided now. With
    // `clearList` the scan replaces the catalog: after the question to save a modified
    // one, the catalog is untitled. False when the user cancelled and nothing started.
    bool StartScan(const std::string& folder, bool clearList, bool audio);
    void CancelScan() { worker_.CancelScan(); }

    void OnFindAudioFiles();
    void OnFindVideoFiles();
    // Without an optical drive, says so; without a disc, says that.
    void OnLoadFromCD();
    void OnSelectSearchLocation();
    void OnCancelSearch();
    // "Re-read Names and Tags": the selected rows whose files are present are named again
    // with the current settings; the catalog is marked modified when a row changed. True
    // then.
    bool OnRereadNamesAndTags(CatalogView& view, const RowSelection& selection);
    // "Update": walks again what the selected rows come from and merges it into their rows,
    // one target after another. A row on a file system that is not mounted asks for its
    // disc first; when the disc comes while a walk runs, the Update starts once that walk
    // has ended, never stopping it. A folder that cannot be listed is said and left as it is;
    // the rows below a place inside it that the walk could not see stay as they are.
    void OnUpdate(const CatalogView& view, const RowSelection& selection,
                  const RowVolumeIndex& volumes, DiscWait& wait);
    // "Update Folder": asks for a folder, starting at the folder of the first selected row
    // whose file is here, or else at the folder scanned last, and merges a walk of it into
    // the rows below it as Update does. New files of a folder without rows come in at the end.
    void OnUpdateFolder(const CatalogView& view, const RowSelection& selection);
    // Where Update Folder's question starts; empty for the user's music folder.
    std::string UpdateFolderStart(const CatalogView& view, const RowSelection& selection) const;
    bool updating() const { return !updates_.empty(); }
    // An Update whose disc came during a walk waits for the walk to end.
    bool updateDeferred() const { return deferred_.has_value(); }
    // Asks the disc that holds `path` for its label and lets the user confirm or edit it.
    std::string ReadVolumeLabel(const std::string& path);

    // The timer's drain.
    Drained OnTimer();
    // The walk numbered `walk` has ended: its last rows come in and the scan is over. The
    // end of a walk that was replaced or stopped since is ignored.
    Drained OnWalkEnded(std::uint64_t walk);
    // Stops any walk and brings in every row it found, before the list is replaced or the
    // program ends.
    Drained StopAndDrain();

    bool scanRunning() const { return scanRunning_; }
    std::string CurrentFolder() const { return worker_.CurrentFolder(); }
    bool fromDisc() const { return fromDisc_; }
    const std::string& discLabel() const { return discLabel_; }
    const std::string& searchFolder() const { return searchFolder_; }
    const std::string& lastScanFolder() const { return lastScanFolder_; }

private:
    bool IsOnOpticalDrive(const std::string& path);
    struct DeferredUpdate {
        std::vector<CatalogRow> rows;
        const RowVolumeIndex* volumes;
        DiscWait* wait;
    };

    void UpdateRows(std::vector<CatalogRow> rows, const RowVolumeIndex& volumes, DiscWait& wait);
    // An Update whose disc came: it goes on now, or after the walk under way.
    void ResumeUpdate(std::vector<CatalogRow> rows, const RowVolumeIndex& volumes, DiscWait& wait);
    // The walk has ended: an Update deferred until then starts.
    void StartDeferredUpdate();
    MountedSet MountedNow() const;
    // Stops any walk and walks these one after another.
    void StartUpdates(std::vector<CatalogUpdate::Target> targets);
    // Starts the walk of the first target; false when none is left.
    bool StartNextUpdate();
    // The walk of the first target has ended: its rows are merged, and its counts join the
    // total of its Update.
    void FinishUpdate();
    // What the Update says once its last walk has ended.
    Drained UpdateTotal() const;
    void AbandonUpdates();

    CPlumetDoc& document_;
    CatalogList& list_;
    Services services_;
    std::string searchFolder_;
    std::string lastScanFolder_;
    bool fromDisc_ = false;
    std::string discLabel_;
    bool scanRunning_ = false;
    std::uint64_t currentWalk_ = 0;
    std::vector<CatalogUpdate::Target> updates_;  // the first one is walking
    CatalogUpdate::Counts updateTotal_;           // of the walks of this Update that ended
    int updatesWalked_ = 0;
    std::string lastUpdateLabel_;
    std::optional<DeferredUpdate> deferred_;
    PendingResults pending_;
    ScanWorker worker_;  // after the results it fills: it is joined first
};
