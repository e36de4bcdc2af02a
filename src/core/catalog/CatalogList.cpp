#include "catalog/CatalogList.h"

#include <algorithm>
#include <numeric>

#include "catalog/RowLine.h"

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
    Notify([row](CatalogListener& l) { l.RowsInserted(row, row); });
    return row;
}

void CatalogList::AttachRecord(int row, const CatalogRow& record) {
    if (!IsValidRow(row)) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    RowCells cells = record.Cells();
    cells[kArtist] = rows_[row].Cell(kArtist);
    rows_[row] = CatalogRow(cells, record.Fields());
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
    rows_[row].SetCell(column, text);
    Notify([row, column](CatalogListener& l) { l.CellsChanged(row, column, column); });
}

void CatalogList::RemoveRow(int row) {
    if (!IsValidRow(row)) {
        return;
    }
    Notify([row](CatalogListener& l) { l.RowsAboutToBeRemoved(row, row); });
    rows_.erase(rows_.begin() + row);
    Notify([row](CatalogListener& l) { l.RowsRemoved(row, row); });
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
    std::vector<int> newRowOfOld(rows_.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow) {
        sorted.push_back(std::move(rows_[order[newRow]]));
        newRowOfOld[order[newRow]] = static_cast<int>(newRow);
    }
    rows_ = std::move(sorted);
    Notify([&newRowOfOld](CatalogListener& l) { l.LayoutChanged(newRowOfOld); });
}

void CatalogList::RemoveRows(std::span<const int> ascendingRows) {
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
    if (runs.size() <= kMostRunsReported) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            // Plain names: clang 14 cannot capture structured bindings.
            const int first = run->first;
            const int last = run->second;
            Notify([=](CatalogListener& l) { l.RowsAboutToBeRemoved(first, last); });
            rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
            Notify([=](CatalogListener& l) { l.RowsRemoved(first, last); });
        }
        return;
    }
    std::vector<int> removed;
    for (const auto& [first, last] : runs) {
        for (int row = first; row <= last; ++row) {
            removed.push_back(row);
        }
    }
    Notify([&removed](CatalogListener& l) { l.ManyRowsAboutToBeRemoved(removed); });
    int kept = runs.front().first;
    for (std::size_t run = 0; run < runs.size(); ++run) {
        const int end = run + 1 < runs.size() ? runs[run + 1].first : RowCount();
        for (int row = runs[run].second + 1; row < end; ++row) {
            rows_[kept++] = std::move(rows_[row]);
        }
    }
    rows_.erase(rows_.begin() + kept, rows_.end());
    Notify([&removed](CatalogListener& l) { l.ManyRowsRemoved(removed); });
}

void CatalogList::ReplaceRow(int row, CatalogRow record) {
    if (!IsValidRow(row)) {
        return;
    }
    Notify([row](CatalogListener& l) { l.CellsAboutToChange(row); });
    rows_[row] = std::move(record);
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
    const int first = std::max(index, 0);
    const int last = first + static_cast<int>(rows.size()) - 1;
    Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(first, last); });
    rows_.insert(rows_.begin() + first, std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    Notify([=](CatalogListener& l) { l.RowsInserted(first, last); });
}

void CatalogList::AppendRows(std::vector<CatalogRow> rows) {
    if (rows.empty()) {
        return;
    }
    const int first = RowCount();
    const int last = first + static_cast<int>(rows.size()) - 1;
    Notify([=](CatalogListener& l) { l.RowsAboutToBeInserted(first, last); });
    if (rows_.empty()) {
        rows_ = std::move(rows);
    } else {
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
    }
    Notify([=](CatalogListener& l) { l.RowsInserted(first, last); });
}

void CatalogList::ReplaceRows(std::vector<CatalogRow> rows) {
    Notify([](CatalogListener& l) { l.AboutToReset(); });
    rows_ = std::move(rows);
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
