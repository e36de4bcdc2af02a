#pragma once

#include <functional>
#include <string>

#include "Result.h"
#include "services.h"

class CatalogView;

// File > Export To HTML: the rows shown (all of them, or those a filter keeps), in order,
// written as a web page beside the catalog file, then opened with the user's browser.
class HtmlExport {
public:
    static constexpr const char* kNothingToExport = "Nothing to export";
    static constexpr const char* kWriteFailed = "CKorvoDlg::WriteCommaFile()\n";
    static constexpr const char* kCannotOpen = "Unable to execute the file";
    static constexpr const char* kUntitledPage = "Untitled.html";

    enum class Outcome { NothingToExport, Cancelled, WriteFailed, OpenFailed, Opened };

    struct Services {
        Files& files;
        Shell& shell;
        UserInterface& ui;
        std::string programWebsite;  // the address the page's credit line links to
        // Called with true while the page is written and opened, and with false before any
        // dialog or message and at the end; may be empty.
        std::function<void(bool)> showBusy;
    };

    // The whole command. `documentPath` is the catalog's file, empty when it is untitled:
    // then a save dialog asks where the page goes. The GUI repaints the list on Opened.
    static Outcome OnExportToHtml(const std::string& documentPath, const CatalogView& list,
                                  const Services& services);

    // The save dialog of an untitled catalog's page.
    static FileDialogRequest PageDialog();
    // The cause of a failed write as the message words it, naming the page by its full path.
    static std::string CauseText(const Result& failure, const std::string& fullPath);
};
