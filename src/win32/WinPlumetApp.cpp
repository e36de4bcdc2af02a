#include "WinPlumetApp.h"

#include "WinMainFrame.h"

WinPlumetApp::WinPlumetApp(Services services)
    : services_(services),
      session_({services.files, services.ui, services.profile, services.shell, services.folders,
                services.drives, services.locale, services.processes, services.discPrompt,
                services.tags, services.mounts}) {}

WinPlumetApp::~WinPlumetApp() {
    frame_.reset();  // the window goes before the store it shows
}

bool WinPlumetApp::InitInstance(const CommandLine& commandLine, int showCommand) {
    if (commandLine.action() != CommandLine::Action::NewCatalog &&
        commandLine.action() != CommandLine::Action::OpenFile) {
        return false;
    }
    session_.recentFiles().ReadList(services_.profile);
    session_.OnMountsChanged();
    CPlumetDoc& document = session_.document();
    if (commandLine.action() == CommandLine::Action::OpenFile) {
        if (!document.OpenDocumentFile(commandLine.file())) {
            return false;
        }
    } else {
        document.OnNewDocument();
    }
    frame_ = std::make_unique<WinMainFrame>(session_);
    if (!frame_->Create()) {
        return false;
    }
    session_.SetChangedHandler([this] { frame_->UpdateTitle(); });
    frame_->ShowWithPlacement(showCommand);
    return true;
}

void WinPlumetApp::ExitInstance() {
    session_.recentFiles().WriteList(services_.profile);
}
