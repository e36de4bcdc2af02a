#include "scan/ScanCommands.h"

#include "catalog/CPlumetDoc.h"
#include "catalog/PathParts.h"
#include "catalog/UndoHistory.h"
#include "scan/MediaExtensions.h"
#include "scan/RowNamer.h"
#include "scan/RowRereader.h"
#include "scan/ScanSettings.h"
#include "volumes/DiscWait.h"
#include "volumes/LabelProposal.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

std::string LinesOf(const UnseenPlaces& unseen) {
    std::string text;
    for (const std::string& line : unseen.Lines()) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

}  // namespace

ScanCommands::ScanCommands(CPlumetDoc& document, CatalogList& list, Services services)
    : document_(document),
      list_(list),
      services_(services),
      worker_(services.folders, services.locale, pending_, services.tags, services.mounts) {}

void ScanCommands::SetWalkEnded(ScanWorker::WalkEnded walkEnded) {
    worker_.SetWalkEnded(std::move(walkEnded));
}

bool ScanCommands::StartScan(const std::string& folder, bool clearList, bool audio) {
    // An Update that waits for the walk under way waits for this one instead, on the same
    // catalog; a scan that replaces the list ends it.
    std::optional<DeferredUpdate> deferred = std::move(deferred_);
    // One walk at a time: the running one stops and its rows come in before anything is
    // cleared, so they cannot land among the new walk's rows, and the question below
    // covers them.
    StopAndDrain();
    if (UndoHistory* history = list_.history()) {
        history->EndJoin();
    }
    if (!clearList) {
        deferred_ = std::move(deferred);
    } else {
        if (!document_.SaveModified()) {
            return false;
        }
        // The new list is not the catalog it replaces: Save must ask for a name rather
        // than write the scan over that file.
        document_.OnNewDocument();
    }
    const std::string category(audio ? kAudioCategory : kVideoCategory);
    if (!folder.empty()) {
        lastScanFolder_ = folder;
    }
    scanRunning_ = true;
    ScanWorker::Naming naming;
    naming.pattern = ScanSettings::StoredNamePattern(services_.profile);
    naming.readTags = ScanSettings::ReadTags(services_.profile);
    naming.oneReader = fromDisc_;
    if (fromDisc_) {
        naming.inFolderDisk = discLabel_;
    }
    currentWalk_ = worker_.StartScan(folder, category, std::move(naming));
    return true;
}

void ScanCommands::OnFindAudioFiles() {
    StartScan(searchFolder_, true, true);
}

void ScanCommands::OnFindVideoFiles() {
    StartScan(searchFolder_, true, false);
}

void ScanCommands::OnLoadFromCD() {
    fromDisc_ = false;
    const std::vector<Drives::OpticalDrive> drives = services_.drives.OpticalDrives();
    if (drives.empty()) {
        services_.ui.ShowMessage(kNoOpticalDrive);
        return;
    }
    fromDisc_ = true;
    const std::string root = drives.back().mountPoint;  // the last drive wins
    discLabel_ = ReadVolumeLabel(root);
    // A drive without a disc has nothing to walk: an empty root would mean the current
    // directory, whose files would arrive labelled with an earlier disc's label.
    if (!discLabel_.empty() && !root.empty()) {
        StartScan(root, false, true);
    }
}

bool ScanCommands::OnRereadNamesAndTags(CatalogView& view, const RowSelection& selection) {
    const RowNamer namer(ScanSettings::StoredNamePattern(services_.profile), std::nullopt,
                         services_.locale.GroupSeparator());
    RowRereader rereader(services_.folders, services_.tags);
    const MountedSet mounted(services_.mounts != nullptr ? services_.mounts->MountedVolumes()
                                                         : std::vector<Mounts::Volume>());
    if (!rereader.Reread(view, selection, namer, ScanSettings::ReadTags(services_.profile),
                         services_.mounts != nullptr ? &mounted : nullptr)) {
        return false;
    }
    document_.SetModified(true);
    return true;
}

void ScanCommands::OnUpdate(const CatalogView& view, const RowSelection& selection,
                            const RowVolumeIndex& volumes, DiscWait& wait) {
    std::vector<CatalogRow> rows;
    for (const int row : selection.Rows()) {
        if (const CatalogRow* record = view.RowRecord(row)) {
            rows.push_back(*record);
        }
    }
    UpdateRows(std::move(rows), volumes, wait);
}

void ScanCommands::UpdateRows(std::vector<CatalogRow> rows, const RowVolumeIndex& volumes,
                              DiscWait& wait) {
    // The walk stops for this Update: one that waited for its end comes along.
    if (deferred_) {
        rows.insert(rows.end(), std::make_move_iterator(deferred_->rows.begin()),
                    std::make_move_iterator(deferred_->rows.end()));
        deferred_.reset();
    }
    const MountedSet& mounted = volumes.mounted();
    for (const CatalogRow& row : rows) {
        if (mounted.PlaceOf(row).state == MountedSet::Place::State::Away) {
            const std::string text = DiscWait::UpdateText(row.Cell(kFolderDisk));
            std::string volume(RowVolume(row));
            wait.WaitFor(std::move(volume), text,
                         [this, rows, &volumes, &wait] { ResumeUpdate(rows, volumes, wait); });
            return;
        }
    }
    StartUpdates(CatalogUpdate::TargetsOf(rows, mounted));
}

void ScanCommands::StartUpdates(std::vector<CatalogUpdate::Target> targets) {
    if (targets.empty()) {
        return;
    }
    StopAndDrain();
    updates_ = std::move(targets);
    updateTotal_ = {};
    updatesWalked_ = 0;
    StartNextUpdate();
}

MountedSet ScanCommands::MountedNow() const {
    return MountedSet(services_.mounts != nullptr ? services_.mounts->MountedVolumes()
                                                  : std::vector<Mounts::Volume>());
}

std::string ScanCommands::UpdateFolderStart(const CatalogView& view,
                                            const RowSelection& selection) const {
    const MountedSet mounted = MountedNow();
    for (const int row : selection.Rows()) {
        const CatalogRow* record = view.RowRecord(row);
        if (record == nullptr) {
            continue;
        }
        const MountedSet::Place place = mounted.PlaceOf(*record);
        if (place.state != MountedSet::Place::State::Away) {
            std::string folder(FolderOfPath(place.path));
            if (!folder.empty()) {
                return folder;
            }
        }
    }
    return lastScanFolder_;
}

void ScanCommands::OnUpdateFolder(const CatalogView& view, const RowSelection& selection) {
    const std::optional<std::string> chosen =
        services_.ui.ChooseStartFolder(kUpdateFolderTitle, UpdateFolderStart(view, selection));
    if (!chosen || chosen->empty()) {
        return;
    }
    const std::string root(WithoutClosingSeparators(*chosen));
    // The folder's video rows are brought up to date too, by a walk of their own.
    std::vector<CatalogUpdate::Target> targets;
    const MountedSet mounted = MountedNow();
    for (const std::string_view category : {kAudioCategory, kVideoCategory}) {
        CatalogUpdate::Target target{root, {}, root, std::string(category)};
        if (targets.empty() || !CatalogUpdate::CoveredRows(list_, target, mounted).empty()) {
            targets.push_back(std::move(target));
        }
    }
    StartUpdates(std::move(targets));
}

void ScanCommands::ResumeUpdate(std::vector<CatalogRow> rows, const RowVolumeIndex& volumes,
                                DiscWait& wait) {
    if (!scanRunning_) {
        UpdateRows(std::move(rows), volumes, wait);
        return;
    }
    if (deferred_) {
        deferred_->rows.insert(deferred_->rows.end(), std::make_move_iterator(rows.begin()),
                               std::make_move_iterator(rows.end()));
        return;
    }
    deferred_ = DeferredUpdate{std::move(rows), &volumes, &wait};
}

void ScanCommands::StartDeferredUpdate() {
    if (scanRunning_ || !deferred_) {
        return;
    }
    DeferredUpdate deferred = std::move(*deferred_);
    deferred_.reset();
    UpdateRows(std::move(deferred.rows), *deferred.volumes, *deferred.wait);
}

bool ScanCommands::StartNextUpdate() {
    while (!updates_.empty()) {
        const CatalogUpdate::Target& target = updates_.front();
        // Nothing of it can be seen: said at once, rather than as a walk that kept every row.
        if (std::error_code error; !services_.folders.Open(target.root, error)) {
            services_.ui.ShowError("The folder " + target.root + " cannot be read (" +
                                   error.message() + "), so its rows were left as they are.");
            updates_.erase(updates_.begin());
            continue;
        }
        ScanWorker::Naming naming;
        naming.pattern = ScanSettings::StoredNamePattern(services_.profile);
        naming.readTags = ScanSettings::ReadTags(services_.profile);
        naming.oneReader = !target.volume.empty();
        if (!target.volume.empty()) {
            naming.inFolderDisk = target.label;
        }
        scanRunning_ = true;
        currentWalk_ = worker_.StartScan(target.root, target.category, std::move(naming));
        return true;
    }
    return false;
}

void ScanCommands::FinishUpdate() {
    const CatalogUpdate::Target target = updates_.front();
    updates_.erase(updates_.begin());
    CatalogUpdate::Walked walked{pending_.Take(), pending_.TakeUnseen()};
    const MountedSet mounted = MountedNow();
    const std::vector<int> covered = CatalogUpdate::CoveredRows(list_, target, mounted);
    // New files in a folder of a disc show the disc's label, as its rows there do.
    std::optional<std::string> label;
    if (target.volume.empty() && services_.mounts != nullptr && !covered.empty()) {
        const std::optional<Mounts::Volume> volume = services_.mounts->VolumeOf(target.root);
        if (volume && volume->disc) {
            label = list_.CellText(covered.front(), kFolderDisk);
        }
    }
    const CatalogUpdate::Counts counts =
        CatalogUpdate::Merge(list_, covered, mounted, std::move(walked), label, {},
                             CatalogUpdate::CheckedBy(services_.folders));
    if (counts.any()) {
        document_.SetModified(true);
    }
    updateTotal_.Add(counts);
    ++updatesWalked_;
    lastUpdateLabel_ = target.label;
}

ScanCommands::Drained ScanCommands::UpdateTotal() const {
    Drained drained;
    drained.status = updatesWalked_ == 1 ? CatalogUpdate::StatusText(lastUpdateLabel_, updateTotal_)
                                         : CatalogUpdate::StatusText(updatesWalked_, updateTotal_);
    drained.unseen = LinesOf(updateTotal_.unseen);
    return drained;
}

void ScanCommands::AbandonUpdates() {
    if (updates_.empty()) {
        return;
    }
    updates_.clear();
    pending_.Take();
    pending_.TakeUnseen();
}

std::string ScanCommands::ReadVolumeLabel(const std::string& path) {
    // The disc that holds the path answers, so a folder below a disc's root has a label.
    const std::string mountPoint =
        path.empty() ? std::string() : services_.drives.OpticalMountPointOf(path);
    const std::optional<std::string> label =
        mountPoint.empty() ? std::nullopt : services_.drives.VolumeLabel(mountPoint);
    fromDisc_ = label.has_value();
    if (!label) {
        services_.ui.ShowMessage(kNoDiskInDrive);
        return discLabel_;
    }
    // A label that already names another disc's rows is offered with a number.
    const std::optional<Mounts::Volume> volume =
        services_.mounts != nullptr ? services_.mounts->VolumeOf(mountPoint) : std::nullopt;
    const LabelProposal proposal =
        LabelProposal::For(list_, *label, volume ? std::string_view(volume->id) : "");
    discLabel_ =
        services_.ui.EditVolumeLabel(proposal.label, proposal.note).value_or(std::string());
    return discLabel_;
}

bool ScanCommands::IsOnOpticalDrive(const std::string& path) {
    return !services_.drives.OpticalMountPointOf(path).empty();
}

void ScanCommands::OnSelectSearchLocation() {
    const std::string path = services_.ui.ChooseStartFolder(kStartFolderTitle).value_or("");
    if (path.empty()) {
        return;
    }
    const bool onDisc = IsOnOpticalDrive(path);
    if (onDisc) {
        ReadVolumeLabel(path);
    }
    fromDisc_ = onDisc;
    StartScan(path, true, true);
}

void ScanCommands::OnCancelSearch() {
    worker_.CancelScan();
    scanRunning_ = false;
    AbandonUpdates();
    deferred_.reset();
}

ScanCommands::Drained ScanCommands::OnTimer() {
    Drained drained;
    if (updating()) {
        return drained;  // an Update's rows wait for the end of its walk
    }
    drained.rowsMoved = pending_.Drain(list_);
    if (drained.rowsMoved > 0) {
        // Found rows are work the user would lose by closing without a question.
        document_.SetModified(true);
    }
    return drained;
}

ScanCommands::Drained ScanCommands::OnWalkEnded(std::uint64_t walk) {
    if (walk != currentWalk_) {
        return {};
    }
    worker_.CancelScan();  // the thread has ended already; this joins it
    scanRunning_ = false;
    Drained drained;
    if (updating()) {
        FinishUpdate();
        if (!StartNextUpdate()) {
            drained = UpdateTotal();
        }
    } else {
        drained = OnTimer();
        // The scan goes on past what it could not see, and says so once it has ended.
        const UnseenPlaces unseen = pending_.TakeUnseen();
        drained.status = unseen.ScanText();
        drained.unseen = LinesOf(unseen);
    }
    StartDeferredUpdate();
    return drained;
}

ScanCommands::Drained ScanCommands::StopAndDrain() {
    worker_.CancelScan();
    scanRunning_ = false;
    currentWalk_ = 0;
    AbandonUpdates();
    // Whatever stops the walk (another catalog, the program's end) ends what waited for it.
    deferred_.reset();
    pending_.TakeUnseen();  // a stopped walk's, which nobody asked about any more
    return OnTimer();
}
