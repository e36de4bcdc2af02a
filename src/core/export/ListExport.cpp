#include "export/ListExport.h"

#include <filesystem>
#include <optional>

#include "export/BusyCursor.h"
#include "export/CsvWriter.h"
#include "export/ExportRows.h"
#include "export/HtmlExport.h"
#include "export/PagePath.h"
#include "export/PlaylistWriter.h"
#include "export/SearchablePageWriter.h"

ListExport::Outcome ListExport::OnExport(Format format, const std::string& documentPath,
                                         const ExportRows& rows, const Services& services) {
    if (rows.Count() == 0) {
        services.ui.ShowMessage(HtmlExport::kNothingToExport);
        return Outcome::NothingToExport;
    }
    const std::optional<std::string> chosen =
        services.ui.ChooseFileToSave(Dialog(format, documentPath));
    if (!chosen || chosen->empty()) {
        return Outcome::Cancelled;
    }
    const std::string path = PagePath::FullPath(*chosen);

    BusyCursor busy(services.showBusy);
    busy.Set(true);
    int leftOut = 0;
    const Result written = services.files.ReplaceFile(
        path, [&](ByteSink& sink) { return Write(format, path, rows, sink, &leftOut); });
    busy.Set(false);
    if (!written) {
        services.ui.ShowError(HtmlExport::CauseText(written, path));
        return Outcome::WriteFailed;
    }
    if (leftOut > 0) {
        services.ui.ShowMessage(PlaylistWriter::LeftOutText(leftOut));
    }
    return Outcome::Written;
}

FileDialogRequest ListExport::Dialog(Format format, const std::string& documentPath) {
    FileDialogRequest request;
    switch (format) {
        case Format::Csv:
            request.title = "Export To CSV";
            request.filters = {{"CSV Files (*.csv)", "*.csv"}};
            break;
        case Format::Playlist:
            request.title = "Export To Playlist";
            request.filters = {{"Playlists (*.m3u8)", "*.m3u8"}};
            break;
        case Format::SearchablePage:
            request.title = "Export Searchable Page";
            request.filters = {{"HTML Files (*.html)", "*.html"}};
            break;
    }
    request.filters.push_back({"All Files (*.*)", "*"});
    const std::string extension = Extension(format);
    request.defaultSuffix = extension.substr(1);
    if (documentPath.empty()) {
        request.proposedPath = "Untitled" + extension;
        request.startFolder = FileDialogRequest::StartFolder::Documents;
    } else {
        request.proposedPath = PagePath::FullPath(PagePath::BesideCatalog(documentPath, extension));
    }
    return request;
}

std::string ListExport::Extension(Format format) {
    switch (format) {
        case Format::Csv:
            return ".csv";
        case Format::Playlist:
            return ".m3u8";
        case Format::SearchablePage:
            break;
    }
    return ".html";
}

Result ListExport::Write(Format format, const std::string& fullPath, const ExportRows& rows,
                         ByteSink& sink, int* leftOut) {
    if (leftOut != nullptr) {
        *leftOut = 0;
    }
    switch (format) {
        case Format::Csv:
            return CsvWriter::Write(rows, sink);
        case Format::Playlist:
            return PlaylistWriter(fullPath).Write(rows, sink, leftOut);
        case Format::SearchablePage:
            break;
    }
    return SearchablePageWriter(std::filesystem::path(fullPath).stem().string()).Write(rows, sink);
}
