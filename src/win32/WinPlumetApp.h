#pragma once

#include <memory>

#include "RegistryProfile.h"
#include "TagLibTagReader.h"
#include "WinDiscPrompt.h"
#include "WinDrives.h"
#include "WinFiles.h"
#include "WinFolderReader.h"
#include "WinLocale.h"
#include "WinMounts.h"
#include "WinProcesses.h"
#include "WinShell.h"
#include "WinUserInterface.h"
#include "app/CatalogSession.h"
#include "app/CommandLine.h"

class WinMainFrame;

// The Windows program: the Windows services, the session over them and the main window.
// The services can be replaced, as the window's tests do.
class WinPlumetApp {
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
        TagReader* tags = nullptr;
        Mounts* mounts = nullptr;
    };

    explicit WinPlumetApp(Services services);
    ~WinPlumetApp();

    // Opens the catalog the command line names, or an empty one, then makes and shows the
    // window. False when the program must end: the user has been told why.
    bool InitInstance(const CommandLine& commandLine, int showCommand);
    void ExitInstance();

    CatalogSession& session() { return session_; }
    WinMainFrame* mainFrame() const { return frame_.get(); }

private:
    Services services_;
    CatalogSession session_;
    std::unique_ptr<WinMainFrame> frame_;
};

// The program's own services on Windows, for WinMain.
struct WinServices {
    WinFiles files;
    WinUserInterface ui;
    RegistryProfile profile;
    WinShell shell;
    WinFolderReader folders;
    WinDrives drives;
    WinLocale locale;
    WinProcesses processes;
    WinDiscPrompt discPrompt;
    TagLibTagReader tags;
    WinMounts mounts;

    WinPlumetApp::Services ForApp() {
        return {files,  ui,        profile,    shell, folders, drives,
                locale, processes, discPrompt, &tags, &mounts};
    }
};
