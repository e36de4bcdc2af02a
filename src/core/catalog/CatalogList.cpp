#include "catalog/CatalogList.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "catalog/RowLine.h"
#include "catalog/UndoHistory.h"

template <typename Call>
void CatalogList::Notify(Call call) {
    for (CatalogListener* index : indexes_) {
        call(*index);
    }
    for (CatalogListener* listener : listeners_) {
        call(*listener);
    }
}

std::string_view CatalogList::CellText(int row, int column) const {
    return IsValidRow(row) ? rows_[row].Cell(column) : std::string_view();
}

int CatalogList::InsertRow(int index, std::string_view artist) {
    const int row = std::clamp(index, 0, RowCount());
    Notify([row](CatalogListener& l) { l.RowsAboutToBeInserted(row, row); });
    RowCells cells{};
    cells[kArtist] = artist;
    rows_.emplace(rows_.begin() + row, cells);
    const RowId id = NewIds(1).front();
    ids_.insert(ids_.begin() + row, id);
    Notify([row](CatalogListener& l) { l.RowsInserted(row, row); });
    if (history_ != nullptr) {
        history_->RowsAdded({id});
    }
    return row;
}

void CatalogList::AttachRecord(int row, const CatalogRow& record) {
    if (!IsValidRow(row)) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    RowCells cells = record.Cells();
    cells[kArtist] = rows_[row].Cell(kArtist);
    CatalogRow old = std::exchange(rows_[row], CatalogRow(cells, record.Fields()));
    if (history_ != nullptr) {
        history_->RowReplaced(ids_[row], std::move(old));
    }
    Notify([row](CatalogListener& l) { l.CellsChanged(row, kTrack, kAllColumnCount - 1); });
}

const CatalogRow* CatalogList::RowRecord(int row) const {
    return IsValidRow(row) ? &rows_[row] : nullptr;
}

void CatalogList::SetCell(int row, int column, std::string_view text) {
    if (!IsValidRow(row) || column < 0 || column >= kAllColumnCount) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    if (history_ != nullptr) {
        history_->CellChanged(ids_[row], column, std::string(rows_[row].Cell(column)));
    }
    rows_[row].SetCell(column, text);
    Notify([row, column](CatalogListener& l) { l.CellsChanged(row, column, column); });
}

void CatalogList::RemoveRow(int row) {
    if (!IsValidRow(row)) {
        return;
    }
    const int rows[] = {row};
    RemoveRows(rows);
}

void CatalogList::ClearRows() {
    ReplaceRows({});
}

void CatalogList::SortRows(const RowComparison& comparison) {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return comparison(rows_[a], rows_[b]) < 0; });
    ReorderRows(order);
}

void CatalogList::ReorderRows(std::span<const int> order) {
    if (order.size() != rows_.size()) {
        return;
    }
    Notify([](CatalogListener& l) { l.LayoutAboutToChange(); });
    std::vector<CatalogRow> sorted;
    sorted.reserve(rows_.size());
    std::vector<RowId> sortedIds;
    sortedIds.reserve(ids_.size());
    std::vector<int> newRowOfOld(rows_.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow) {
        sorted.push_back(std::move(rows_[order[newRow]]));
        sortedIds.push_back(ids_[order[newRow]]);
        newRowOfOld[order[newRow]] = static_cast<int>(newRow);
    }
    rows_ = std::move(sorted);
    ids_ = std::move(sortedIds);
    Notify([&newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
}

void CatalogList::RemoveRows(std::span<const int> ascendingRows) {
    TakenRows taken = TakeRows(ascendingRows);
    if (history_ != nullptr && !taken.rows.empty()) {
        history_->RowsRemoved(std::move(taken.ids), std::move(taken.rows), std::move(taken.runs));
    }
}

CatalogList::TakenRows CatalogList::TakeRows(std::span<const int> ascendingRows) {
    // Each run reported on its own keeps a view's selection and scroll position; past a few
    // dozen runs a single reset costs less than moving the rows once per run.
    constexpr std::size_t kMostRunsReported = 32;
    std::vector<std::pair<int, int>> runs;
    for (const int row : ascendingRows) {
        if (!IsValidRow(row)) {
            continue;
        }
        if (!runs.empty() && runs.back().second + 1 == row) {
            runs.back().second = row;
        } else if (runs.empty() || row > runs.back().second) {
            runs.emplace_back(row, row);
        }
    }
    TakenRows taken;
    for (const auto& [first, last] : runs) {
        taken.runs.emplace_back(taken.ids.size(), first > 0 ? ids_[first - 1] : kNoRow);
        taken.ids.insert(taken.ids.end(), ids_.begin() + first, ids_.begin() + last + 1);
    }
    taken.rows.resize(taken.ids.size());
    if (runs.size() <= kMostRunsReported) {
        for (std::size_t index = runs.size(); index-- > 0;) {
            const int first = runs[index].first;
            const int last = runs[index].second;
            Notify([=](CatalogListener& l) { l.RowsAboutToBeRemoved(first, last); });
            std::move(rows_.begin() + first, rows_.begin() + last + 1,
                      taken.rows.begin() + static_cast<std::ptrdiff_t>(taken.runs[index].first));
            rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
            ids_.erase(ids_.begin() + first, ids_.begin() + last + 1);
            Notify([=](CatalogListener& l) { l.RowsRemoved(first, last); });
        }
        return taken;
    }
    std::vector<int> removed;
    for (const auto& [first, last] : runs) {
        for (int row = first; row <= last; ++row) {
            removed.push_back(row);
        }
    }
    Notify([&removed](CatalogListener& l) { l.ManyRowsAboutToBeRemoved(removed); });
    int kept = runs.front().first;
    std::size_t out = 0;
    for (std::size_t run = 0; run < runs.size(); ++run) {
        for (int row = runs[run].first; row <= runs[run].second; ++row) {
            taken.rows[out++] = std::move(rows_[row]);
        }
        const int end = run + 1 < runs.size() ? runs[run + 1].first : RowCount();
        for (int row = runs[run].second + 1; row < end; ++row) {
            ids_[kept] = ids_[row];
            rows_[kept++] = std::move(rows_[row]);
        }
    }
    rows_.erase(rows_.begin() + kept, rows_.end());
    ids_.erase(ids_.begin() + kept, ids_.end());
    Notify([&removed](CatalogListener& l) { l.ManyRowsRemoved(removed); });
    return taken;
}

void CatalogList::ReplaceRow(int row, CatalogRow record) {
    if (!IsValidRow(row)) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    CatalogRow old = std::exchange(rows_[row], std::move(record));
    if (history_ != nullptr) {
        history_->RowReplaced(ids_[row], std::move(old));
    }
    Notify([row](CatalogListener& l) { l.CellsChanged(row, 0, kAllColumnCount - 1); });
}

void CatalogList::InsertRows(int index, std::vector<CatalogRow> rows) {
    if (index >= RowCount()) {
        AppendRows(std::move(rows));
        return;
    }
    if (rows.empty()) {
        return;
    }
    std::vector<RowId> ids = NewIds(rows.size());
    InsertWithIds(std::max(index, 0), std::move(rows), ids);
    if (history_ != nullptr) {
        history_->RowsAdded(std::move(ids));
    }
}

void CatalogList::InsertWithIds(int first, std::vector<CatalogRow> rows, std::vector<RowId> ids) {
    const int last = first + static_cast<int>(rows.size()) - 1;
    Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(first, last); });
    if (rows_.empty()) {
        rows_ = std::move(rows);
        ids_ = std::move(ids);
    } else {
        rows_.insert(rows_.begin() + first, std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
        ids_.insert(ids_.begin() + first, ids.begin(), ids.end());
    }
    Notify([=](CatalogListener& l) { l.RowsInserted(first, last); });
}

std::vector<CatalogList::RowId> CatalogList::NewIds(std::size_t count) {
    std::vector<RowId> ids(count);
    std::iota(ids.begin(), ids.end(), lastId_ + 1);
    lastId_ += static_cast<RowId>(count);
    return ids;
}

int CatalogList::RowOf(RowId id) const {
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

std::vector<int> CatalogList::RowsOf(std::span<const RowId> ids) const {
    // Ids are handed out in order, so a table as long as the last one finds them all in
    // one pass over the store.
    std::vector<bool> wanted(static_cast<std::size_t>(lastId_) + 1);
    for (const RowId id : ids) {
        if (id <= lastId_) {
            wanted[id] = true;
        }
    }
    std::vector<int> rows;
    rows.reserve(ids.size());
    for (int row = 0; row < RowCount(); ++row) {
        if (wanted[ids_[row]]) {
            rows.push_back(row);
        }
    }
    return rows;
}

void CatalogList::SwapRow(RowId id, CatalogRow& other) {
    const int row = RowOf(id);
    if (row < 0) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    std::swap(rows_[row], other);
    Notify([row](CatalogListener& l) { l.CellsChanged(row, 0, kAllColumnCount - 1); });
}

void CatalogList::PutBackRows(TakenRows taken) {
    if (taken.rows.empty()) {
        return;
    }
    // Each run goes after the row it followed; that row may have moved since, by a sort.
    std::vector<int> rowOfId(static_cast<std::size_t>(lastId_) + 1, -1);
    for (int row = 0; row < RowCount(); ++row) {
        rowOfId[ids_[row]] = row;
    }
    struct Run {
        int at;  // the store row it goes before
        std::size_t begin, end;
    };
    std::vector<Run> runs;
    for (std::size_t run = 0; run < taken.runs.size(); ++run) {
        const RowId before = taken.runs[run].second;
        const int at = before == kNoRow      ? 0
                       : rowOfId[before] < 0 ? RowCount()
                                             : rowOfId[before] + 1;
        const std::size_t end =
            run + 1 < taken.runs.size() ? taken.runs[run + 1].first : taken.rows.size();
        runs.push_back({at, taken.runs[run].first, end});
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [](const Run& a, const Run& b) { return a.at < b.at; });
    constexpr std::size_t kMostRunsReported = 32;
    if (runs.size() <= kMostRunsReported) {
        int shift = 0;
        for (const Run& run : runs) {
            const auto begin = static_cast<std::ptrdiff_t>(run.begin);
            const auto end = static_cast<std::ptrdiff_t>(run.end);
            std::vector<CatalogRow> rows(std::make_move_iterator(taken.rows.begin() + begin),
                                         std::make_move_iterator(taken.rows.begin() + end));
            std::vector<RowId> ids(taken.ids.begin() + begin, taken.ids.begin() + end);
            InsertWithIds(run.at + shift, std::move(rows), std::move(ids));
            shift += static_cast<int>(end - begin);
        }
        return;
    }
    Notify([](CatalogListener& l) { l.ManyRowsAboutToBeInserted(); });
    std::vector<CatalogRow> rows;
    std::vector<RowId> ids;
    std::vector<int> added;
    rows.reserve(rows_.size() + taken.rows.size());
    ids.reserve(rows.capacity());
    added.reserve(taken.rows.size());
    int from = 0;
    for (const Run& run : runs) {
        for (; from < run.at; ++from) {
            rows.push_back(std::move(rows_[from]));
            ids.push_back(ids_[from]);
        }
        for (std::size_t index = run.begin; index < run.end; ++index) {
            added.push_back(static_cast<int>(rows.size()));
            rows.push_back(std::move(taken.rows[index]));
            ids.push_back(taken.ids[index]);
        }
    }
    for (; from < RowCount(); ++from) {
        rows.push_back(std::move(rows_[from]));
        ids.push_back(ids_[from]);
    }
    rows_ = std::move(rows);
    ids_ = std::move(ids);
    Notify([&added](CatalogListener& l) { l.ManyRowsInserted(added); });
}

void CatalogList::AppendRows(std::vector<CatalogRow> rows) {
    if (rows.empty()) {
        return;
    }
    std::vector<RowId> ids = NewIds(rows.size());
    InsertWithIds(RowCount(), std::move(rows), ids);
    if (history_ != nullptr) {
        history_->RowsAdded(std::move(ids));
    }
}

void CatalogList::ReplaceRows(std::vector<CatalogRow> rows) {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    // Nothing names the old rows any more: ids start again, and the tables made from them
    // stay as small as the catalog.
    lastId_ = kNoRow;
    ids_ = NewIds(rows.size());
    rows_ = std::move(rows);
    // The rows before are gone for good: no step can bring them back.
    if (history_ != nullptr) {
        history_->Clear(false);
    }
    Notify([](CatalogListener& l) { l.Reset(); });
}

std::vector<std::string> CatalogList::SnapshotRows() const {
    std::vector<std::string> lines;
    lines.reserve(rows_.size());
    for (const CatalogRow& row : rows_) {
        lines.push_back(JoinRowLine(row));
    }
    return lines;
}

void CatalogList::RebuildFromLines(const std::vector<std::string>& lines) {
    std::vector<CatalogRow> rows;
    rows.reserve(lines.size());
    for (const std::string& line : lines) {
        rows.push_back(ParseRowLine(line));
    }
    ReplaceRows(std::move(rows));
}

void CatalogList::AddListener(CatalogListener* listener, Hears when) {
    (when == Hears::First ? indexes_ : listeners_).push_back(listener);
}

void CatalogList::RemoveListener(CatalogListener* listener) {
    std::erase(indexes_, listener);
    std::erase(listeners_, listener);
}
