#include "scan/PendingResults.h"

void PendingResults::AppendRow(const RowCells& cells) {
    CatalogRow row(cells);  // built before the lock: the drain waits only for the push
    const std::lock_guard<std::mutex> lock(resultLock);
    pendingResults.push_back(std::move(row));
}

int PendingResults::Drain(CatalogList& list) {
    std::vector<CatalogRow> rows;
    {
        // Take the rows out and let the worker go on while the list grows.
        const std::lock_guard<std::mutex> lock(resultLock);
        rows.swap(pendingResults);
    }
    const int moved = static_cast<int>(rows.size());
    list.AppendRows(std::move(rows));
    return moved;
}

bool PendingResults::Empty() const {
    const std::lock_guard<std::mutex> lock(resultLock);
    return pendingResults.empty();
}

std::string PendingResults::ItemsText(int rowCount) {
    return std::to_string(rowCount) + " items";
}
