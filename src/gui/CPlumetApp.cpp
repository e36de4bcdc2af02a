#include "CPlumetApp.h"

#include <QCoreApplication>

#include "CMainFrame.h"
#include "CatalogModel.h"
#include "ScanStatus.h"

CPlumetApp::CPlumetApp(Services services)
    : services_(services),
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
        follower_ = std::make_unique<VolumeFollower>(*services.mounts, *volumes_, discWait_);
        playback_.SetDiscs(*volumes_, discWait_);
        editor_.SetDiscs(*volumes_, discWait_, [this] {
            document_.SetModified(true);
            if (frame_) {
                frame_->UpdateTitle();
            }
        });
    }
}

CPlumetApp::~CPlumetApp() {
    // The window and the model go before the store they show.
    frame_.reset();
    model_.reset();
}

void CPlumetApp::SetApplicationNames() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganization));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplication));
}

bool CPlumetApp::InitInstance(const CommandLine& commandLine) {
    if (commandLine.action() != CommandLine::Action::NewCatalog &&
        commandLine.action() != CommandLine::Action::OpenFile) {
        return false;
    }
    recentFiles_.ReadList(services_.profile);
    model_ = std::make_unique<CatalogModel>(view_);
    if (follower_) {
        model_->SetVolumes(volumes_.get());
        QObject::connect(follower_.get(), &VolumeFollower::PlacesChanged, model_.get(),
                         &CatalogModel::RefreshPlaces);
        follower_->Refresh();
    }
    if (commandLine.action() == CommandLine::Action::OpenFile) {
        if (!document_.OpenDocumentFile(commandLine.file())) {
            model_.reset();
            return false;
        }
    } else {
        document_.OnNewDocument();
    }
    frame_ = std::make_unique<CMainFrame>(
        document_, *model_, recentFiles_,
        CMainFrame::Services{services_.files, services_.profile, services_.ui, services_.shell,
                             scan_, sort_, filter_, editor_, playback_, services_.processes,
                             volumes_.get(), &discWait_});
    frame_->SetGroupSeparator(services_.locale.GroupSeparator());
    discPrompt_.SetWindow(frame_.get());
    if (follower_) {
        // Setting the test again makes an open statistics window count again.
        const auto connectedTest = [this] {
            frame_->SetConnectedTest([this](const CatalogRow& row) {
                return volumes_->mounted().PlaceOf(row).state != MountedSet::Place::State::Away;
            });
        };
        connectedTest();
        QObject::connect(follower_.get(), &VolumeFollower::PlacesChanged, frame_.get(),
                         connectedTest);
        QObject::connect(follower_.get(), &VolumeFollower::WaitsWentOn, frame_.get(), [this] {
            frame_->scanStatus().Follow();
            frame_->UpdateCommandStates();
        });
    }
    frame_->ShowWithPlacement();
    return true;
}

void CPlumetApp::ExitInstance() {
    recentFiles_.WriteList(services_.profile);
}
