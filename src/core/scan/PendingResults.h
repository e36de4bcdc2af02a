#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/CatalogRow.h"
#include "scan/UnseenPlaces.h"

// The hand-off between the scan worker and the UI thread: the worker appends whole rows
// under resultLock, the UI thread moves every pending row to the end of the list.
class PendingResults {
public:
    // Worker thread: one found file's row.
    void AppendRow(CatalogRow row);
    // Worker thread: found files' rows, in the order found.
    void AppendRows(std::vector<CatalogRow> rows);

    // Worker thread: a place the walk could not see.
    void AddUnseen(std::string path, std::string cause);
    // UI thread: the places not seen since the last call.
    UnseenPlaces TakeUnseen();

    // UI thread: moves every pending row, in the order found, to the end of the list as
    // one batch. Returns the number of rows moved.
    int Drain(CatalogList& list);
    // UI thread: every pending row, in the order found, leaving none.
    std::vector<CatalogRow> Take();

    bool Empty() const;

    // The progress text for a list of `rowCount` rows.
    static std::string ItemsText(int rowCount);

private:
    mutable std::mutex resultLock;
    std::vector<CatalogRow> pendingResults;
    UnseenPlaces unseen_;
};
