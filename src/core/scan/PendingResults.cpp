#include "scan/PendingResults.h"

#include <iterator>

#include "catalog/UndoHistory.h"

void PendingResults::AppendRow(CatalogRow row) {
    const std::lock_guard<std::mutex> lock(resultLock);
    pendingResults.push_back(std::move(row));
}

void PendingResults::AppendRows(std::vector<CatalogRow> rows) {
    const std::lock_guard<std::mutex> lock(resultLock);
    if (pendingResults.empty()) {
        pendingResults.swap(rows);
        return;
    }
    pendingResults.insert(pendingResults.end(), std::make_move_iterator(rows.begin()),
                          std::make_move_iterator(rows.end()));
}

void PendingResults::AddUnseen(std::string path, std::string cause) {
    const std::lock_guard<std::mutex> lock(resultLock);
    unseen_.Add(std::move(path), std::move(cause));
}

UnseenPlaces PendingResults::TakeUnseen() {
    UnseenPlaces places;
    const std::lock_guard<std::mutex> lock(resultLock);
    std::swap(places, unseen_);
    return places;
}

std::vector<CatalogRow> PendingResults::Take() {
    std::vector<CatalogRow> rows;
    const std::lock_guard<std::mutex> lock(resultLock);
    rows.swap(pendingResults);
    return rows;
}

int PendingResults::Drain(CatalogList& list) {
    // Take the rows out and let the worker go on while the list grows.
    std::vector<CatalogRow> rows = Take();
    const int moved = static_cast<int>(rows.size());
    // A scan's rows come in batches but are taken back as one.
    const UndoHistory::Scope step(list.history(), this);
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
