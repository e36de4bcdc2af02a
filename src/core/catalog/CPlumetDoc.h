#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Result.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "catalog/RecentFileList.h"
#include "catalog/UndoHistory.h"
#include "services.h"

// The one catalog document of the program: its file path, title and modified state, and the
// commands that bring catalogs in and out. Its rows live in the catalog store.
class CPlumetDoc {
public:
    static constexpr const char* kApplicationName = "Plumet";
    static constexpr const char* kUntitled = "Untitled";

    CPlumetDoc(CatalogList& list, Files& files, UserInterface& ui, RecentFileList& recentFiles);

    // The commands. Each returns false when it did not complete (cancelled or failed; the
    // user has been told why).
    bool OnFileNew();
    bool OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    bool OnMerge();
    bool OnOpenRecentFile(int index);
    // Take back the latest change, or make the latest taken back again; false when there
    // was none or a file could not be renamed back (the user has been told).
    bool OnEditUndo();
    bool OnEditRedo();
    bool CanUndo() const { return history_ != nullptr && history_->CanUndo(); }
    bool CanRedo() const { return history_ != nullptr && history_->CanRedo(); }
    // The history of the store's changes, forgotten when the document becomes another
    // catalog and told when it is saved.
    void SetHistory(UndoHistory* history) { history_ = history; }
    // Opens a catalog as File Open does once the file is chosen.
    bool OpenDocumentFile(const std::string& path);
    // Asks "Save changes to TITLE?" when the catalog is modified; false on Cancel or when
    // the save fails.
    bool SaveModified();

    // The plain operations, without questions or messages.
    void OnNewDocument();
    // `replaced` runs whenever the document becomes another catalog (New, Open, a scan that
    // replaces the list), after the change: what waited on the old one must end.
    void AddReplacedListener(std::function<void()> replaced);
    Result OnSaveDocument(const std::string& path);

    const std::string& path() const { return path_; }
    bool modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // A catalog file has been read since the program started.
    bool catalogLoaded() const { return catalogLoaded_; }
    // The file's name, or "Untitled".
    std::string Title() const;
    // "NAME - Plumet", as the main window shows it.
    std::string WindowTitle() const;

private:
    static FileDialogRequest CatalogDialog(const std::string& title);
    bool DoSave(const std::string& path);
    // Opens and reads the file whole, without changing anything; its size and state in
    // `opened`. On a read error `contents` keeps the rows read before it.
    Result ReadCatalogFile(const std::string& path, CatalogFile::Contents& contents,
                           Files::OpenedFile& opened);
    // False when the file was changed by another program since it was opened or saved here
    // and the user would keep it.
    bool MayReplace(const std::string& path);
    // Asks whether to take a file that does not look like a catalog; true for Yes.
    bool OpenAnyway(const std::string& path);
    void Replaced();
    bool Replay(Result (UndoHistory::*replay)());

    CatalogList& list_;
    Files& files_;
    UserInterface& ui_;
    RecentFileList& recentFiles_;
    std::string path_;
    // The file at `path_` as this program last read or wrote it; nothing when not known.
    std::optional<Files::FileState> fileState_;
    bool modified_ = false;
    bool catalogLoaded_ = false;
    std::vector<std::function<void()>> replacedListeners_;
    UndoHistory* history_ = nullptr;
};
