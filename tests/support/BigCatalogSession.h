#pragma once

#include <memory>
#include <string>

#include "CPlumetApp.h"
#include "PosixFiles.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"

class CMainFrame;
class CatalogModel;

// The whole window over one catalog, driven the way a user drives it: the catalog named on
// the command line, header clicks, the filter command, Ctrl+End and Save As. The big-catalog
// test checks each step and the benchmark times them, so both run the same code.
class BigCatalogSession {
public:
    BigCatalogSession();
    ~BigCatalogSession();

    // Made-up rows: 5,000 artists in mixed case, 1,000 folders, sizes and times that vary.
    static Result WriteCatalog(const std::string& path, int rows);

    bool Open(const std::string& path);
    void ClickHeader(int column);
    // Selects `row` and filters on its folder; the rows shown afterwards.
    int FilterOnFolderOf(int row);
    // The filter command again: every row back.
    int ShowAll();
    // Ctrl+End in the list; the current row afterwards.
    int PressCtrlEnd();
    bool SaveAs(const std::string& path);

    CPlumetApp& app() { return *app_; }
    CMainFrame& frame() const;
    CatalogModel& model() const;
    ScriptedUserInterface& ui() { return ui_; }

private:
    void Repaint() const;

    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices platform_;
    std::unique_ptr<CPlumetApp> app_;
};
