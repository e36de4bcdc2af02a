#include "catalog/CPlumetDoc.h"

#include "catalog/CatalogFile.h"

void CPlumetDoc::OnNewDocument() {
    path_.clear();
    modified_ = false;
    list_.ClearRows();
}

Result CPlumetDoc::OnOpenDocument(const std::string& path) {
    Files::OpenedFile opened;
    if (Result result = files_.OpenForReading(path, opened); !result) {
        return result;
    }
    // An empty file holds no rows and no count: the rows shown stay.
    if (opened.size > 0) {
        if (Result loaded = CatalogFile::LoadCatalog(list_, *opened.source, true); !loaded) {
            OnNewDocument();
            return loaded;
        }
    }
    path_ = path;
    modified_ = false;
    return Result::Ok();
}

Result CPlumetDoc::OnSaveDocument(const std::string& path) {
    Result saved = files_.ReplaceFile(
        path, [this](ByteSink& sink) { return CatalogFile::StoreCatalog(list_, sink); });
    if (saved) {
        path_ = path;
        modified_ = false;
    }
    return saved;
}

std::string CPlumetDoc::Title() const {
    if (path_.empty()) {
        return kUntitled;
    }
    const std::size_t slash = path_.find_last_of("/\\");
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CPlumetDoc::WindowTitle() const {
    return Title() + " - " + kApplicationName;
}
