#pragma once

#include <memory>

#include "DiscPrompt.h"
#include "VolumeFollower.h"
#include "app/CatalogSession.h"
#include "app/CommandLine.h"
#include "services.h"

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

    CatalogSession& session() { return session_; }
    CatalogList& list() { return session_.list(); }
    CatalogView& view() { return session_.view(); }
    CPlumetDoc& document() { return session_.document(); }
    RecentFileList& recentFiles() { return session_.recentFiles(); }
    CMainFrame* mainFrame() const { return frame_.get(); }
    ScanCommands& scan() { return session_.scan(); }
    CatalogFilter& filter() { return session_.filter(); }
    // Which rows are on file systems not mounted now; nullptr without mounts.
    RowVolumeIndex* volumes() const { return session_.volumes(); }
    DiscPrompt& discPrompt() { return discPrompt_; }
    // Reads the mounts again, as a change of the mount table does; nullptr without mounts.
    VolumeFollower* volumeFollower() const { return follower_.get(); }

private:
    Services services_;
    // Before the session, whose disc waits ask through it.
    DiscPrompt discPrompt_;
    CatalogSession session_;
    std::unique_ptr<VolumeFollower> follower_;
    std::unique_ptr<CatalogModel> model_;
    std::unique_ptr<CMainFrame> frame_;
};
