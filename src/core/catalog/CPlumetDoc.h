#pragma once

#include <string>

#include "Result.h"
#include "catalog/CatalogList.h"
#include "services.h"

// The one catalog document of the program: its file path, title and modified state. Its rows
// live in the catalog store, which it fills when opening and reads when saving.
class CPlumetDoc {
public:
    static constexpr const char* kApplicationName = "Plumet";
    static constexpr const char* kUntitled = "Untitled";

    CPlumetDoc(CatalogList& list, Files& files) : list_(list), files_(files) {}

    // An empty, untitled catalog.
    void OnNewDocument();
    // Reads the catalog file at `path` in place of the rows shown. A file that cannot be
    // opened leaves everything as it was; a read error leaves a new, empty catalog.
    Result OnOpenDocument(const std::string& path);
    // Writes the rows to `path` safely and makes it the document's path.
    Result OnSaveDocument(const std::string& path);

    const std::string& path() const { return path_; }
    bool modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // The file's name, or "Untitled".
    std::string Title() const;
    // "NAME - Plumet", as the main window shows it.
    std::string WindowTitle() const;

private:
    CatalogList& list_;
    Files& files_;
    std::string path_;
    bool modified_ = false;
};
