#include "CPlumetApp.h"

#include <QCoreApplication>

#include "CMainFrame.h"
#include "CatalogModel.h"
#include "ScanStatus.h"

CPlumetApp::CPlumetApp(Services services)
    : services_(services),
      session_({services.files, services.ui, services.profile, services.shell, services.folders,
                services.drives, services.locale, services.processes, discPrompt_, services.tags,
                services.mounts}) {
    session_.SetChangedHandler([this] {
        if (frame_) {
            frame_->UpdateTitle();
        }
    });
    if (session_.volumes() != nullptr) {
        follower_ = std::make_unique<VolumeFollower>(session_);
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
    CPlumetDoc& document = session_.document();
    RecentFileList& recentFiles = session_.recentFiles();
    RowVolumeIndex* volumes = session_.volumes();
    recentFiles.ReadList(services_.profile);
    model_ = std::make_unique<CatalogModel>(session_.view());
    if (follower_) {
        model_->SetVolumes(volumes);
        QObject::connect(follower_.get(), &VolumeFollower::PlacesChanged, model_.get(),
                         &CatalogModel::RefreshPlaces);
        follower_->Refresh();
    }
    if (commandLine.action() == CommandLine::Action::OpenFile) {
        if (!document.OpenDocumentFile(commandLine.file())) {
            model_.reset();
            return false;
        }
    } else {
        document.OnNewDocument();
    }
    frame_ = std::make_unique<CMainFrame>(
        document, *model_, recentFiles,
        CMainFrame::Services{services_.files, services_.profile, services_.ui, services_.shell,
                             session_.scan(), session_.sort(), session_.filter(), session_.editor(),
                             session_.playback(), services_.processes, volumes,
                             &session_.discWait()});
    frame_->SetGroupSeparator(services_.locale.GroupSeparator());
    discPrompt_.SetWindow(frame_.get());
    if (follower_) {
        // Setting the test again makes an open statistics window count again.
        const auto connectedTest = [this, volumes] {
            frame_->SetConnectedTest([volumes](const CatalogRow& row) {
                return volumes->mounted().PlaceOf(row).state != MountedSet::Place::State::Away;
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
    session_.recentFiles().WriteList(services_.profile);
}
