#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "browse/DuplicateGroups.h"
#include "catalog/ByteSink.h"
#include "catalog/CatalogList.h"
#include "services.h"

// `plumet-cli search` and `duplicates`: rows of many catalogs printed as
// "CATALOG<TAB>In Folder/Disk<TAB>Path" lines. Their status follows grep's: 0 when something
// was found, 1 when nothing was, 2 when a catalog could not be read.
class FindCommands {
public:
    static constexpr int kFound = 0;
    static constexpr int kNothingFound = 1;
    static constexpr int kTrouble = 2;

    // Loads a catalog's rows after those already in the list.
    using Loader = std::function<Result(const std::string& path, CatalogList& list)>;
    // Hands a catalog's rows one by one, keeping none.
    using RowReader = std::function<Result(const std::string& path,
                                           const std::function<void(const CatalogRow&)>& each)>;

    FindCommands(Loader load, RowReader read, std::FILE* err)
        : load_(std::move(load)), read_(std::move(read)), err_(err) {}

    // Each catalog's matching rows, catalog after catalog; a catalog that cannot be read is
    // reported and the others are still searched. A failed write is the returned error.
    Result Search(const std::string& query, const std::vector<std::string>& catalogs, ByteSink& out,
                  int& status);
    // The groups among the rows of all the catalogs together, each followed by an empty
    // line; nothing when a catalog cannot be read.
    Result Duplicates(DuplicateKind kind, const std::vector<std::string>& catalogs, ByteSink& out,
                      int& status);

private:
    void Report(const std::string& message);

    Loader load_;
    RowReader read_;
    std::FILE* err_;
};
