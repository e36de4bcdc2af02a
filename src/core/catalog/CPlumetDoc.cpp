#include "catalog/CPlumetDoc.h"

#include <filesystem>
#include <utility>

#include "catalog/CatalogFile.h"
#include "catalog/PathParts.h"

namespace {

constexpr const char* kCatalogFilter = "Plumet Files (*.plm)";

// The same file must compare equal however it was named.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

CPlumetDoc::CPlumetDoc(CatalogList& list, Files& files, UserInterface& ui,
                       RecentFileList& recentFiles)
    : list_(list), files_(files), ui_(ui), recentFiles_(recentFiles) {}

FileDialogRequest CPlumetDoc::CatalogDialog(const std::string& title) {
    FileDialogRequest request;
    request.title = title;
    request.filters = {{kCatalogFilter, "*.plm"}, {"All Files (*.*)", "*"}};
    request.defaultSuffix = "plm";
    return request;
}

bool CPlumetDoc::OnFileNew() {
    if (!SaveModified()) {
        return false;
    }
    OnNewDocument();
    return true;
}

bool CPlumetDoc::OnFileOpen() {
    const std::optional<std::string> chosen = ui_.ChooseFileToOpen(CatalogDialog("Open"));
    return chosen && OpenDocumentFile(*chosen);
}

bool CPlumetDoc::OnFileSave() {
    return path_.empty() ? OnFileSaveAs() : DoSave(path_);
}

bool CPlumetDoc::OnFileSaveAs() {
    FileDialogRequest request = CatalogDialog("Save As");
    request.proposedPath = path_.empty() ? Title() + ".plm" : path_;
    const std::optional<std::string> chosen = ui_.ChooseFileToSave(request);
    return chosen && DoSave(AbsolutePath(*chosen));
}

bool CPlumetDoc::DoSave(const std::string& path) {
    if (!MayReplace(path)) {
        return false;  // both stay as they are; Save As is still there
    }
    if (Result saved = OnSaveDocument(path); !saved) {
        ui_.ShowError(saved.error().empty() ? "Failed to save document." : saved.error());
        return false;
    }
    recentFiles_.Add(path_);
    return true;
}

bool CPlumetDoc::OnMerge() {
    FileDialogRequest request;
    request.title = "Plumet File";
    request.filters = {{kCatalogFilter, "*.plm"}};
    request.defaultSuffix = "plm";
    request.startFolder = FileDialogRequest::StartFolder::Documents;
    const std::optional<std::string> chosen = ui_.ChooseFileToOpen(request);
    if (!chosen) {
        return false;
    }
    const int rowsBefore = list_.RowCount();
    CatalogFile::Contents contents;
    Files::OpenedFile opened;
    const Result merged = ReadCatalogFile(*chosen, contents, opened);
    if (merged && !contents.countMatches && !OpenAnyway(AbsolutePath(*chosen))) {
        return false;
    }
    list_.AppendRows(std::move(contents.rows));
    // Rows added are work the user would lose on closing without a question.
    if (list_.RowCount() != rowsBefore) {
        modified_ = true;
    }
    if (!merged) {
        ui_.ShowError(merged.error());
    }
    return merged.ok();
}

bool CPlumetDoc::OnOpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles_.Count()) {
        return false;
    }
    const std::string path = recentFiles_.Path(index);
    Files::OpenedFile probe;
    if (Result openable = files_.OpenForReading(path, probe); !openable) {
        ui_.ShowError(openable.error());
        recentFiles_.Remove(index);
        return false;
    }
    probe.source.reset();
    return OpenDocumentFile(path);
}

bool CPlumetDoc::OpenDocumentFile(const std::string& requestedPath) {
    const std::string path = AbsolutePath(requestedPath);
    if (!path_.empty() && path == path_) {
        return true;  // already open: nothing is read, unsaved changes stay
    }
    // Read whole before anything is asked or changed: a file that is no catalog may yet
    // be left alone.
    CatalogFile::Contents contents;
    Files::OpenedFile opened;
    if (const Result read = ReadCatalogFile(path, contents, opened); !read) {
        ui_.ShowError(read.error().empty() ? "Failed to open document." : read.error());
        return false;
    }
    if (!contents.countMatches && !OpenAnyway(path)) {
        return false;
    }
    if (!SaveModified()) {
        return false;
    }
    if (path_ == path) {
        return true;  // saved as this very file just now: it holds the rows shown
    }
    // An empty file holds no rows and no count: the rows shown stay.
    if (opened.size > 0) {
        list_.ReplaceRows(std::move(contents.rows));
        catalogLoaded_ = true;
    }
    modified_ = false;
    if (!contents.countMatches) {
        // Untitled, so that no save writes over a file that did not load as a catalog.
        path_.clear();
        fileState_.reset();
        Replaced();
        return true;
    }
    path_ = path;
    fileState_ = opened.state;
    recentFiles_.Add(path_);
    Replaced();
    return true;
}

Result CPlumetDoc::ReadCatalogFile(const std::string& path, CatalogFile::Contents& contents,
                                   Files::OpenedFile& opened) {
    if (Result result = files_.OpenForReading(path, opened); !result) {
        return result;
    }
    contents = CatalogFile::ReadCatalog(*opened.source);
    opened.source.reset();
    return contents.status;
}

bool CPlumetDoc::MayReplace(const std::string& path) {
    // A catalog on a shared or synced folder may be written from another computer.
    if (path != path_ || !fileState_) {
        return true;
    }
    const std::optional<Files::FileState> now = files_.StateOf(path);
    if (!now || *now == *fileState_) {
        return true;
    }
    return ui_.AskYesNo(Title() +
                        " was changed by another program since it was opened. Replace it with "
                        "this catalog?");
}

bool CPlumetDoc::OpenAnyway(const std::string& path) {
    return ui_.AskYesNo(path + " does not look like a Plumet catalog. Open it anyway?");
}

bool CPlumetDoc::SaveModified() {
    if (!modified_) {
        return true;
    }
    switch (ui_.AskYesNoCancel("Save changes to " + Title() + "?")) {
        case SaveAnswer::Yes:
            return OnFileSave();
        case SaveAnswer::No:
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    return false;
}

void CPlumetDoc::OnNewDocument() {
    path_.clear();
    fileState_.reset();
    modified_ = false;
    list_.ClearRows();
    Replaced();
}

void CPlumetDoc::AddReplacedListener(std::function<void()> replaced) {
    replacedListeners_.push_back(std::move(replaced));
}

bool CPlumetDoc::OnEditUndo() {
    return Replay(&UndoHistory::Undo);
}

bool CPlumetDoc::OnEditRedo() {
    return Replay(&UndoHistory::Redo);
}

bool CPlumetDoc::Replay(Result (UndoHistory::*replay)()) {
    if (history_ == nullptr) {
        return false;
    }
    if (Result replayed = (history_->*replay)(); !replayed) {
        ui_.ShowError(replayed.error());
        return false;
    }
    // Back at the catalog as saved, closing asks nothing.
    modified_ = !history_->AtSaved();
    return true;
}

void CPlumetDoc::Replaced() {
    if (history_ != nullptr) {
        history_->Clear(!modified_);
    }
    for (const std::function<void()>& replaced : replacedListeners_) {
        replaced();
    }
}

Result CPlumetDoc::OnSaveDocument(const std::string& path) {
    Result saved = files_.ReplaceFile(
        path, [this](ByteSink& sink) { return CatalogFile::StoreCatalog(list_, sink); });
    if (saved) {
        path_ = path;
        fileState_ = files_.StateOf(path);
        modified_ = false;
        if (history_ != nullptr) {
            history_->MarkSaved();
        }
    }
    return saved;
}

std::string CPlumetDoc::Title() const {
    if (path_.empty()) {
        return kUntitled;
    }
    return std::string(FileNameOf(path_));
}

std::string CPlumetDoc::WindowTitle() const {
    return Title() + " - " + kApplicationName;
}
