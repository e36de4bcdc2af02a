#include "browse/CatalogView.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <thread>

#include "browse/SortOrder.h"
#include "browse/SplitWork.h"

CatalogView::CatalogView(CatalogList& store) : store_(store) {
    store_.AddListener(this);
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

void CatalogView::AddListener(CatalogListener* listener) {
    listeners_.push_back(listener);
}

void CatalogView::RemoveListener(CatalogListener* listener) {
    std::erase(listeners_, listener);
}

int CatalogView::StoreRow(int row) const {
    if (row < 0 || row >= RowCount()) {
        return -1;
    }
    return narrowed_ ? rows_[static_cast<std::size_t>(row)] : row;
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

int CatalogView::ViewRowOf(int storeRow) const {
    if (!narrowed_) {
        return storeRow;
    }
    if (viewRowOfStore_.empty()) {
        viewRowOfStore_.assign(static_cast<std::size_t>(store_.RowCount()), -1);
        for (std::size_t at = 0; at < rows_.size(); ++at) {
            viewRowOfStore_[static_cast<std::size_t>(rows_[at])] = static_cast<int>(at);
        }
    }
    return storeRow >= 0 && storeRow < static_cast<int>(viewRowOfStore_.size())
               ? viewRowOfStore_[static_cast<std::size_t>(storeRow)]
               : -1;
}

bool CatalogView::PassesSearch(int storeRow, const RowTest& matches) const {
    // Most rows lack a letter of the query: their bits rule them out unread.
    const RowLetterIndex::Mask held = letters_.Of(storeRow);
    if ((held & hint_.letters) != hint_.letters) {
        return false;
    }
    return hint_.lettersDecide || matches(*store_.RowRecord(storeRow));
}

bool CatalogView::KeepsStoreRow(int storeRow) const {
    return (!keeps_ || keeps_(*store_.RowRecord(storeRow))) &&
           (!matches_ || PassesSearch(storeRow, matches_));
}

std::vector<int> CatalogView::RowsPassing(const std::vector<int>* among,
                                          const std::function<bool(int storeRow)>& test) const {
    // After a sort the rows' bytes lie all over memory: fetch ahead rather than wait on each,
    // unless the letters alone decide.
    constexpr int kPrefetchDistance = 16;
    const bool prefetch = !hint_.lettersDecide || keeps_;
    const auto storeRow = [among](int at) {
        return among ? (*among)[static_cast<std::size_t>(at)] : at;
    };
    const auto passingIn = [&](int first, int last, std::vector<int>& rows) {
        for (int at = first; at < last; ++at) {
            if (prefetch && at + kPrefetchDistance < last) {
                store_.RowRecord(storeRow(at + kPrefetchDistance))->Prefetch();
            }
            if (test(storeRow(at))) {
                rows.push_back(storeRow(at));
            }
        }
    };
    // A search runs as the user types: many rows are shared among the cores. The tests only
    // read the store, which nothing changes meanwhile.
    constexpr int kRowsPerThread = 100'000;
    const int count = among ? static_cast<int>(among->size()) : store_.RowCount();
    std::vector<std::vector<int>> parts(std::max(1U, std::thread::hardware_concurrency()));
    const int used = SplitWork(count, kRowsPerThread, [&](int first, int last, int part) {
        passingIn(first, last, parts[static_cast<std::size_t>(part)]);
    });
    std::vector<int> rows = std::move(parts[0]);
    for (int part = 1; part < used; ++part) {
        rows.insert(rows.end(), parts[static_cast<std::size_t>(part)].begin(),
                    parts[static_cast<std::size_t>(part)].end());
    }
    return rows;
}

std::vector<int> CatalogView::StoreRowsKept() const {
    return RowsPassing(nullptr, [this](int storeRow) { return KeepsStoreRow(storeRow); });
}

void CatalogView::NarrowFromStore() {
    std::vector<int> rows = StoreRowsKept();
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    if (!narrowed_) {
        storeClaim_ = shownClaim_;  // the rows kept keep the store's order
    } else {
        shownClaim_ = storeClaim_;
    }
    narrowed_ = true;
    rows_ = std::move(rows);
    EndGroups();
    ForgetViewRows();
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::Narrow(RowTest keeps) {
    recalled_.clear();
    keeps_ = std::move(keeps);
    NarrowFromStore();
}

void CatalogView::ShowAll() {
    recalled_.clear();
    keeps_ = nullptr;
    if (matches_) {
        NarrowFromStore();
        return;
    }
    ShowEveryRow();
}

void CatalogView::ShowEveryRow() {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    if (narrowed_) {
        shownClaim_ = storeClaim_;
    }
    narrowed_ = false;
    rows_ = {};
    EndGroups();
    storeClaim_.reset();
    ForgetViewRows();
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::EndGroups() {
    grouped_ = false;
    groupOf_ = {};
}

void CatalogView::ShowGroups(std::vector<int> storeRows, std::vector<int> groupOfRow) {
    recalled_.clear();  // found under the filter that ends now
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    if (!narrowed_) {
        storeClaim_ = shownClaim_;
    }
    shownClaim_.reset();  // groups follow their keys, not a column
    keeps_ = nullptr;
    matches_ = nullptr;
    narrowed_ = true;
    grouped_ = true;
    rows_ = std::move(storeRows);
    groupOf_ = std::move(groupOfRow);
    groupOf_.resize(rows_.size(), 0);
    ForgetViewRows();
    Notify([](CatalogListener& l) { l.Reset(); });
}

int CatalogView::GroupOf(int row) const {
    if (!grouped_ || row < 0 || row >= static_cast<int>(groupOf_.size())) {
        return -1;
    }
    return groupOf_[static_cast<std::size_t>(row)];
}

int CatalogView::GroupsShown() const {
    if (!grouped_ || groupOf_.empty()) {
        return 0;
    }
    std::vector<bool> seen(
        static_cast<std::size_t>(*std::max_element(groupOf_.begin(), groupOf_.end())) + 1);
    int count = 0;
    for (const int group : groupOf_) {
        if (group >= 0 && !seen[static_cast<std::size_t>(group)]) {
            seen[static_cast<std::size_t>(group)] = true;
            ++count;
        }
    }
    return count;
}

template <typename NewRow>
void CatalogView::KeepShownRows(NewRow newRow) {
    std::vector<int> rows;
    std::vector<int> groups;
    rows.reserve(rows_.size());
    groups.reserve(groupOf_.size());
    for (std::size_t at = 0; at < rows_.size(); ++at) {
        if (const int row = newRow(rows_[at]); row >= 0) {
            rows.push_back(row);
            if (grouped_) {
                groups.push_back(groupOf_[at]);
            }
        }
    }
    rows_ = std::move(rows);
    groupOf_ = std::move(groups);
    ForgetViewRows();
}

void CatalogView::Search(RowTest matches, bool withinShown, std::string_view recall,
                         SearchHint hint) {
    const auto recalled = std::find_if(recalled_.begin(), recalled_.end(),
                                       [recall](const Recalled& r) { return r.key == recall; });
    if (!recall.empty() && recalled != recalled_.end()) {
        // Back to a query of a moment ago (the user deleting what they typed): its rows are
        // known, as long as nothing changed since.
        Notify([](CatalogListener& l) { l.AboutToReset(); });
        if (!narrowed_) {
            storeClaim_ = shownClaim_;
        }
        narrowed_ = true;
        EndGroups();
        hint_ = hint;
        rows_ = recalled->rows;
        shownClaim_ = recalled->order;
        matches_ = std::move(matches);
        ForgetViewRows();
        Notify([](CatalogListener& l) { l.Reset(); });
        return;
    }
    const std::optional<SortClaim> shownOrder = shownClaim_;
    if (withinShown && narrowed_ && matches_) {
        // Rows the last search hid stay hidden: only the rows shown are tested, in their order.
        hint_ = hint;
        std::vector<int> rows =
            RowsPassing(&rows_, [&](int storeRow) { return PassesSearch(storeRow, matches); });
        Notify([](CatalogListener& l) { l.AboutToReset(); });
        rows_ = std::move(rows);
        matches_ = std::move(matches);
        ForgetViewRows();
        Notify([](CatalogListener& l) { l.Reset(); });
    } else {
        matches_ = std::move(matches);
        hint_ = hint;
        NarrowFromStore();
        // Sorting keeps the search: rows found again come back in the order the view was
        // sorted in.
        if (shownOrder && shownClaim_ != shownOrder) {
            Sort(shownOrder->column, shownOrder->ascending);
        }
    }
    if (!recall.empty()) {
        constexpr std::size_t kMostRecalled = 64;
        if (recalled_.size() == kMostRecalled) {
            recalled_.erase(recalled_.begin());
        }
        recalled_.push_back({std::string(recall), rows_, shownClaim_});
    }
}

void CatalogView::EndSearch() {
    if (!matches_) {
        return;
    }
    matches_ = nullptr;
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
    recalled_.clear();
    if (!narrowed_) {
        if (store_.RowCount() > 0) {
            store_.ReorderRows(SortOrder(store_, column, ascending));
        }
        shownClaim_ = SortClaim{column, ascending};
        return;
    }
    const std::vector<int> order = SortOrder(store_, rows_, column, ascending);
    Notify([](CatalogListener& l) { l.LayoutAboutToChange(); });
    std::vector<int> sorted(rows_.size());
    std::vector<int> sortedGroups(groupOf_.size());
    std::vector<int> newRowOfOld(rows_.size());
    for (std::size_t to = 0; to < order.size(); ++to) {
        const auto from = static_cast<std::size_t>(order[to]);
        sorted[to] = rows_[from];
        if (grouped_) {
            sortedGroups[to] = groupOf_[from];
        }
        newRowOfOld[from] = static_cast<int>(to);
    }
    rows_ = std::move(sorted);
    groupOf_ = std::move(sortedGroups);
    ForgetViewRows();
    shownClaim_ = SortClaim{column, ascending};
    Notify([&newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
}

void CatalogView::SetCell(int row, int column, std::string_view text) {
    store_.SetCell(StoreRow(row), column, text);
}

void CatalogView::RemoveRows(const RowSelection& selection) {
    store_.RemoveRows(StoreRows(selection));
}

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
    recalled_.clear();
    // Claims are checked before listeners hear of the rows, so they see the outcome.
    if (!narrowed_) {
        for (int row = first; row <= last + 1; ++row) {
            CheckShownOrder(row);
        }
        Notify([=](CatalogListener& l) { l.RowsInserted(first, last); });
        return;
    }
    const int added = last - first + 1;
    for (int& row : rows_) {
        if (row >= first) {
            row += added;
        }
    }
    ForgetViewRows();
    for (int row = first; row <= last + 1; ++row) {
        CheckStoreOrder(row);
    }
    // Groups were found among the rows there were: rows added since belong to none.
    std::vector<int> kept;
    for (int row = first; row <= last && !grouped_; ++row) {
        if (KeepsStoreRow(row)) {
            kept.push_back(row);
        }
    }
    if (kept.empty()) {
        return;
    }
    // New rows go to the end of the view, whatever order the rows shown are in.
    const int from = RowCount();
    const int to = from + static_cast<int>(kept.size()) - 1;
    Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(from, to); });
    rows_.insert(rows_.end(), kept.begin(), kept.end());
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
    for (std::size_t at = 0; at < rows_.size(); ++at) {
        if (rows_[at] >= first && rows_[at] <= last) {
            removing_.push_back(static_cast<int>(at));
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
    recalled_.clear();
    if (!narrowed_) {
        Notify([=](CatalogListener& l) { l.RowsRemoved(first, last); });
        return;
    }
    const int removed = last - first + 1;
    KeepShownRows([=](int row) { return row < first ? row : row > last ? row - removed : -1; });
    if (RemovalIsScattered()) {
        Notify([](CatalogListener& l) { l.Reset(); });
    } else if (!removing_.empty()) {
        const int from = removing_.front();
        const int to = removing_.back();
        Notify([=](CatalogListener& l) { l.RowsRemoved(from, to); });
    }
    removing_.clear();
}

void CatalogView::ManyRowsAboutToBeRemoved(std::span<const int> ascendingRows) {
    (void)ascendingRows;
    Notify([](CatalogListener& l) { l.AboutToReset(); });
}

void CatalogView::ManyRowsRemoved(std::span<const int> ascendingRows) {
    recalled_.clear();
    if (narrowed_) {
        KeepShownRows([ascendingRows](int row) {
            const auto below = std::lower_bound(ascendingRows.begin(), ascendingRows.end(), row);
            return below == ascendingRows.end() || *below != row
                       ? row - static_cast<int>(below - ascendingRows.begin())
                       : -1;
        });
    }
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::AboutToReset() {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
}

void CatalogView::Reset() {
    recalled_.clear();
    // New content: nothing is known of its order, and a narrowing made for the old rows
    // would hide the new ones.
    narrowed_ = false;
    rows_ = {};
    keeps_ = nullptr;
    matches_ = nullptr;
    EndGroups();
    shownClaim_.reset();
    storeClaim_.reset();
    ForgetViewRows();
    Notify([](CatalogListener& l) { l.Reset(); });
}

void CatalogView::LayoutAboutToChange() {
    if (!narrowed_) {
        Notify([](CatalogListener& l) { l.LayoutAboutToChange(); });
    }
}

void CatalogView::LayoutChanged(std::span<const int> newRowOfOld) {
    recalled_.clear();
    if (!narrowed_) {
        shownClaim_.reset();  // a sort through the view sets it again
        Notify([newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
        return;
    }
    // The view keeps its own order; only the store rows behind it moved.
    for (int& row : rows_) {
        row = newRowOfOld[static_cast<std::size_t>(row)];
    }
    ForgetViewRows();
    storeClaim_.reset();
}

void CatalogView::CellsChanged(int row, int firstColumn, int lastColumn) {
    recalled_.clear();
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
