#include "browse/CatalogView.h"

#include <algorithm>

#include "browse/PassingRows.h"
#include "browse/SortOrder.h"

CatalogView::CatalogView(CatalogList& store) : store_(store) {
    store_.AddListener(this, CatalogList::Hears::AfterIndexes);
}

CatalogView::~CatalogView() {
    store_.RemoveListener(this);
}

template <typename Call>
void CatalogView::Notify(Call call) {
    for (CatalogListener* listener : listeners_) {
        call(*listener);
    }
}

template <typename Change>
void CatalogView::ResetShown(Change change) {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    change();
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::AddListener(CatalogListener* listener) {
    listeners_.push_back(listener);
}

void CatalogView::RemoveListener(CatalogListener* listener) {
    std::erase(listeners_, listener);
}

std::size_t CatalogView::SearchMemoryBytes() const {
    return search_.memory().BytesHeld();
}

int CatalogView::StoreRow(int row) const {
    if (row < 0 || row >= RowCount()) {
        return -1;
    }
    return narrowed_ ? shown_.StoreRow(row) : row;
}

std::string_view CatalogView::CellText(int row, int column) const {
    return store_.CellText(StoreRow(row), column);
}

const CatalogRow* CatalogView::RowRecord(int row) const {
    return store_.RowRecord(StoreRow(row));
}

std::vector<int> CatalogView::StoreRows(const RowSelection& selection) const {
    std::vector<int> rows;
    rows.reserve(selection.Rows().size());
    for (const int row : selection.Rows()) {
        if (const int storeRow = StoreRow(row); storeRow >= 0) {
            rows.push_back(storeRow);
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CatalogView::KeepsStoreRow(int storeRow) const {
    return (!keeps_ || keeps_(*store_.RowRecord(storeRow))) && search_.Passes(storeRow);
}

std::vector<int> CatalogView::StoreRowsKept() const {
    // Rows need reading unless the letters alone decide.
    const bool prefetch = !search_.lettersDecide() || keeps_;
    return PassingRows(store_, nullptr, prefetch,
                       [this](int storeRow) { return KeepsStoreRow(storeRow); });
}

void CatalogView::NarrowFromStore() {
    std::vector<int> rows = StoreRowsKept();
    ResetShown([&] {
        if (!narrowed_) {
            storeClaim_ = shownClaim_;  // the rows kept keep the store's order
        } else {
            shownClaim_ = storeClaim_;
        }
        narrowed_ = true;
        shown_.Assign(std::move(rows));
    });
}

void CatalogView::Narrow(RowTest keeps) {
    search_.memory().Forget();
    keeps_ = std::move(keeps);
    NarrowFromStore();
}

void CatalogView::ShowAll() {
    search_.memory().Forget();
    keeps_ = nullptr;
    if (search_.active()) {
        NarrowFromStore();
        return;
    }
    ShowEveryRow();
}

void CatalogView::ShowEveryRow() {
    ResetShown([this] {
        if (narrowed_) {
            shownClaim_ = storeClaim_;
        }
        narrowed_ = false;
        shown_.Clear();
        storeClaim_.reset();
    });
}

void CatalogView::ShowGroups(std::vector<int> storeRows, std::vector<int> groupOfRow) {
    search_.memory().Forget();  // found under the filter that ends now
    ResetShown([&] {
        if (!narrowed_) {
            storeClaim_ = shownClaim_;
        }
        shownClaim_.reset();  // groups follow their keys, not a column
        keeps_ = nullptr;
        search_.End();
        narrowed_ = true;
        shown_.AssignGroups(std::move(storeRows), std::move(groupOfRow));
    });
}

void CatalogView::Search(RowTest matches, bool withinShown, std::string_view recall,
                         SearchHint hint) {
    if (const SearchMemory::Found* found =
            recall.empty() ? nullptr : search_.memory().Recall(recall)) {
        // Back to a query of a moment ago (the user deleting what they typed): its rows are
        // known, as long as nothing changed since.
        ResetShown([&] {
            if (!narrowed_) {
                storeClaim_ = shownClaim_;
            }
            narrowed_ = true;
            search_.Set(std::move(matches), hint);
            shown_.Assign(found->rows);
            shownClaim_ = found->order;
        });
        return;
    }
    const std::optional<SortClaim> shownOrder = shownClaim_;
    if (withinShown && narrowed_ && search_.active()) {
        // Rows the last search hid stay hidden: only the rows shown are tested, in their order.
        std::vector<int> rows =
            PassingRows(store_, &shown_.storeRows(), !hint.lettersDecide || keeps_,
                        [&](int storeRow) { return search_.Passes(storeRow, matches, hint); });
        ResetShown([&] {
            search_.Set(std::move(matches), hint);
            shown_.Assign(std::move(rows));
        });
    } else {
        search_.Set(std::move(matches), hint);
        NarrowFromStore();
        // Sorting keeps the search: rows found again come back in the order the view was
        // sorted in.
        if (shownOrder && shownClaim_ != shownOrder) {
            Sort(shownOrder->column, shownOrder->ascending);
        }
    }
    if (!recall.empty()) {
        search_.memory().Keep(recall, shown_.storeRows(), shownClaim_, store_.RowCount());
    }
}

void CatalogView::EndSearch() {
    if (!search_.active()) {
        return;
    }
    search_.End();
    if (keeps_) {
        NarrowFromStore();
    } else {
        ShowEveryRow();
    }
}

void CatalogView::Sort(int column, bool ascending) {
    if (column < 0 || column >= kAllColumnCount) {
        return;
    }
    search_.memory().Forget();
    if (!narrowed_) {
        if (store_.RowCount() > 0) {
            store_.ReorderRows(SortOrder(store_, column, ascending));
        }
        shownClaim_ = SortClaim{column, ascending};
        return;
    }
    const std::vector<int> order = SortOrder(store_, shown_.storeRows(), column, ascending);
    Notify([](CatalogListener& l) { l.LayoutAboutToChange(); });
    const std::vector<int> newRowOfOld = shown_.Permute(order);
    shownClaim_.reset();
    if (!shown_.grouped()) {
        shownClaim_ = SortClaim{column, ascending};
    }
    Notify([&newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
}

void CatalogView::SetCell(int row, int column, std::string_view text) {
    store_.SetCell(StoreRow(row), column, text);
}

void CatalogView::RemoveRows(const RowSelection& selection) {
    store_.RemoveRows(StoreRows(selection));
}

// How the view follows the store: the rows shown are renumbered, new rows pass the narrowing
// in force or not, and the claims on the order are checked.

namespace {

bool InOrder(const std::optional<CatalogView::SortClaim>& claim, std::string_view before,
             std::string_view after) {
    const int comparison = CompareCells(claim->column, before, after);
    return claim->ascending ? comparison <= 0 : comparison >= 0;
}

}  // namespace

void CatalogView::CheckShownOrder(int row) {
    if (shownClaim_ && row > 0 && row < RowCount() &&
        !InOrder(shownClaim_, CellText(row - 1, shownClaim_->column),
                 CellText(row, shownClaim_->column))) {
        shownClaim_.reset();
    }
}

void CatalogView::CheckStoreOrder(int storeRow) {
    if (storeClaim_ && storeRow > 0 && storeRow < store_.RowCount() &&
        !InOrder(storeClaim_, store_.CellText(storeRow - 1, storeClaim_->column),
                 store_.CellText(storeRow, storeClaim_->column))) {
        storeClaim_.reset();
    }
}

void CatalogView::RowsAboutToBeInserted(int first, int last) {
    if (!narrowed_) {
        Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(first, last); });
    }
}

void CatalogView::RowsInserted(int first, int last) {
    search_.memory().Forget();
    // Claims are checked before listeners hear of the rows, so they see the outcome.
    if (!narrowed_) {
        for (int row = first; row <= last + 1; ++row) {
            CheckShownOrder(row);
        }
        Notify([=](CatalogListener& l) { l.RowsInserted(first, last); });
        return;
    }
    shown_.ShiftFrom(first, last - first + 1);
    for (int row = first; row <= last + 1; ++row) {
        CheckStoreOrder(row);
    }
    // Groups were found among the rows there were: rows added since belong to none.
    std::vector<int> kept;
    for (int row = first; row <= last && !shown_.grouped(); ++row) {
        if (KeepsStoreRow(row)) {
            kept.push_back(row);
        }
    }
    if (kept.empty()) {
        Notify([](CatalogListener& l) { l.UnshownRowsChanged(); });
        return;
    }
    // New rows go to the end of the view, whatever order the rows shown are in.
    const int from = RowCount();
    const int to = from + static_cast<int>(kept.size()) - 1;
    Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(from, to); });
    shown_.Append(kept);
    for (int row = from; row <= to; ++row) {
        CheckShownOrder(row);
    }
    Notify([=](CatalogListener& l) { l.RowsInserted(from, to); });
}

// One run is reported as it is; rows scattered by a sort of the view go in a reset.
bool CatalogView::RemovalIsScattered() const {
    return !removing_.empty() &&
           removing_.back() - removing_.front() + 1 != static_cast<int>(removing_.size());
}

// Removing rows keeps the others in their order, so no claim is lost to a removal.
void CatalogView::RowsAboutToBeRemoved(int first, int last) {
    if (!narrowed_) {
        Notify([=](CatalogListener& l) { l.RowsAboutToBeRemoved(first, last); });
        return;
    }
    removing_.clear();
    for (int at = 0; at < shown_.Count(); ++at) {
        if (shown_.StoreRow(at) >= first && shown_.StoreRow(at) <= last) {
            removing_.push_back(at);
        }
    }
    if (RemovalIsScattered()) {
        Notify([](CatalogListener& l) { l.AboutToReset(); });
    } else if (!removing_.empty()) {
        const int from = removing_.front();
        const int to = removing_.back();
        Notify([=](CatalogListener& l) { l.RowsAboutToBeRemoved(from, to); });
    }
}

void CatalogView::RowsRemoved(int first, int last) {
    search_.memory().Forget();
    if (!narrowed_) {
        Notify([=](CatalogListener& l) { l.RowsRemoved(first, last); });
        return;
    }
    const int removed = last - first + 1;
    shown_.Renumber([=](int row) { return row < first ? row : row > last ? row - removed : -1; });
    if (RemovalIsScattered()) {
        Notify([](CatalogListener& l) { l.Reset(); });
    } else if (!removing_.empty()) {
        const int from = removing_.front();
        const int to = removing_.back();
        Notify([=](CatalogListener& l) { l.RowsRemoved(from, to); });
    } else {
        Notify([](CatalogListener& l) { l.UnshownRowsChanged(); });
    }
    removing_.clear();
}

void CatalogView::ManyRowsAboutToBeRemoved(std::span<const int> ascendingRows) {
    (void)ascendingRows;
    Notify([](CatalogListener& l) { l.AboutToReset(); });
}

void CatalogView::ManyRowsRemoved(std::span<const int> ascendingRows) {
    search_.memory().Forget();
    if (narrowed_) {
        shown_.Renumber([ascendingRows](int row) {
            const auto below = std::lower_bound(ascendingRows.begin(), ascendingRows.end(), row);
            return below == ascendingRows.end() || *below != row
                       ? row - static_cast<int>(below - ascendingRows.begin())
                       : -1;
        });
    }
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::ManyRowsAboutToBeInserted() {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
}

// Rows put back by an undo: the view keeps its search and shows those that pass it.
void CatalogView::ManyRowsInserted(std::span<const int> ascendingRows) {
    search_.memory().Forget();
    if (!narrowed_) {
        for (const int row : ascendingRows) {
            CheckShownOrder(row);
            CheckShownOrder(row + 1);
        }
        Notify([](CatalogListener& l) { l.Reset(); });
        return;
    }
    std::vector<int> newRowOfOld;
    newRowOfOld.reserve(static_cast<std::size_t>(store_.RowCount()) - ascendingRows.size());
    std::size_t next = 0;
    for (int row = 0; row < store_.RowCount(); ++row) {
        if (next < ascendingRows.size() && ascendingRows[next] == row) {
            ++next;
        } else {
            newRowOfOld.push_back(row);
        }
    }
    shown_.Renumber([&newRowOfOld](int row) { return newRowOfOld[static_cast<std::size_t>(row)]; });
    std::vector<int> kept;
    for (const int row : ascendingRows) {
        CheckStoreOrder(row);
        CheckStoreOrder(row + 1);
        if (!shown_.grouped() && KeepsStoreRow(row)) {
            kept.push_back(row);
        }
    }
    const int from = RowCount();
    shown_.Append(kept);
    for (int row = from; row < RowCount(); ++row) {
        CheckShownOrder(row);
    }
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::AboutToReset() {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
}

void CatalogView::Reset() {
    search_.memory().Forget();
    // New content: nothing is known of its order, and a narrowing made for the old rows
    // would hide the new ones.
    narrowed_ = false;
    shown_.Clear();
    keeps_ = nullptr;
    search_.End();
    shownClaim_.reset();
    storeClaim_.reset();
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::LayoutAboutToChange() {
    if (!narrowed_) {
        Notify([](CatalogListener& l) { l.LayoutAboutToChange(); });
    }
}

void CatalogView::LayoutChanged(std::span<const int> newRowOfOld) {
    search_.memory().Forget();
    if (!narrowed_) {
        shownClaim_.reset();  // a sort through the view sets it again
        Notify([newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
        return;
    }
    // The view keeps its own order; only the store rows behind it moved.
    shown_.Renumber([newRowOfOld](int row) { return newRowOfOld[static_cast<std::size_t>(row)]; });
    storeClaim_.reset();
}

void CatalogView::CellsChanged(int row, int firstColumn, int lastColumn) {
    search_.memory().Forget();
    const int viewRow = ViewRowOf(row);
    if (narrowed_ && storeClaim_ && storeClaim_->column >= firstColumn &&
        storeClaim_->column <= lastColumn) {
        CheckStoreOrder(row);
        CheckStoreOrder(row + 1);
    }
    if (viewRow < 0) {
        return;
    }
    if (shownClaim_ && shownClaim_->column >= firstColumn && shownClaim_->column <= lastColumn) {
        CheckShownOrder(viewRow);
        CheckShownOrder(viewRow + 1);
    }
    Notify([=](CatalogListener& l) { l.CellsChanged(viewRow, firstColumn, lastColumn); });
}
