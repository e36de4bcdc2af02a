#include "app/CatalogSession.h"

CatalogSession::CatalogSession(Services services)
    : services_(services),
      discWait_(services.discPrompt),
      document_(list_, services.files, services.ui, recentFiles_),
      sort_(view_),
      filter_(view_, services.ui),
      editor_(view_, services.files, services.ui),
      playback_(view_, services.shell, services.ui),
      scan_(document_, list_,
            {services.folders, services.drives, services.locale, services.ui, services.profile,
             services.tags, services.mounts}) {
    document_.SetHistory(&history_);
    Files& files = services.files;
    history_.SetRename([&files](const std::string& from, const std::string& to) {
        return files.RenameWithoutReplacing(from, to);
    });
    discWait_.BelongTo(document_);
    if (services.mounts != nullptr) {
        volumes_ = std::make_unique<RowVolumeIndex>(list_);
        playback_.SetDiscs(*volumes_, discWait_);
        editor_.SetDiscs(*volumes_, discWait_, [this] {
            document_.SetModified(true);
            if (changed_) {
                changed_();
            }
        });
    }
}

CatalogSession::MountsChange CatalogSession::OnMountsChanged() {
    MountsChange change;
    if (volumes_ == nullptr) {
        return change;
    }
    change.placesChanged = volumes_->SetMounted(MountedSet(services_.mounts->MountedVolumes()));
    change.waitsWentOn = discWait_.OnMountsChanged(volumes_->mounted());
    return change;
}
