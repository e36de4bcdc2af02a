#include "export/HtmlExport.h"

#include <optional>

#include "browse/CatalogView.h"
#include "export/BusyCursor.h"
#include "export/HtmlPageWriter.h"
#include "export/PageErrorText.h"
#include "export/PagePath.h"

HtmlExport::Outcome HtmlExport::OnExportToHtml(const std::string& documentPath,
                                               const CatalogView& list, const Services& services) {
    if (list.RowCount() == 0) {
        services.ui.ShowMessage(kNothingToExport);
        return Outcome::NothingToExport;
    }
    std::string page = PagePath::BesideCatalog(documentPath);
    if (page.empty()) {
        const std::optional<std::string> chosen = services.ui.ChooseFileToSave(PageDialog());
        if (!chosen || chosen->empty()) {
            return Outcome::Cancelled;
        }
        page = *chosen;
    }
    page = PagePath::FullPath(page);

    BusyCursor busy(services.showBusy);
    busy.Set(true);
    const HtmlPageWriter writer(services.programWebsite);
    const Result written = services.files.ReplaceFile(
        page, [&](ByteSink& sink) { return writer.WritePage(list, sink); });
    if (!written) {
        busy.Set(false);
        services.ui.ShowError(kWriteFailed + CauseText(written, page));
        // Opening now would show an older page of that name as if it were this one.
        return Outcome::WriteFailed;
    }
    const bool opened = services.shell.Open(page);
    busy.Set(false);
    if (!opened) {
        services.ui.Beep();
        services.ui.ShowMessage(kCannotOpen);
        return Outcome::OpenFailed;
    }
    return Outcome::Opened;
}

FileDialogRequest HtmlExport::PageDialog() {
    FileDialogRequest request;
    request.title = "Export To HTML";
    request.filters = {{"HTML Files (*.html)", "*.html"}, {"All Files (*.*)", "*"}};
    request.defaultSuffix = "html";
    request.proposedPath = kUntitledPage;
    request.startFolder = FileDialogRequest::StartFolder::Documents;
    return request;
}

std::string HtmlExport::CauseText(const Result& failure, const std::string& fullPath) {
    if (failure.cause() || failure.error().empty()) {
        return PageErrorText(failure.cause(), fullPath);
    }
    return failure.error();
}
