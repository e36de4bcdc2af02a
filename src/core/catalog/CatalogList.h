#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CatalogListener.h"
#include "catalog/CatalogRow.h"

// The catalog store: the only copy of the rows while the program runs, in display order.
// It lives on the UI thread and tells its listeners about every change.
class UndoHistory;

class CatalogList {
public:
    // Names a row for as long as it is in the store or held by the undo history; never 0.
    using RowId = std::uint32_t;
    static constexpr RowId kNoRow = 0;
    // Rows taken out of the store, in their old order, with each run's start in `rows` and
    // the id of the row that stood before it (kNoRow at the top).
    struct TakenRows {
        std::vector<RowId> ids;
        std::vector<CatalogRow> rows;
        std::vector<std::pair<std::size_t, RowId>> runs;
    };

    // Negative, zero or positive, as the first row sorts before, with or after the second.
    using RowComparison = std::function<int(const CatalogRow&, const CatalogRow&)>;

    CatalogList() = default;
    CatalogList(const CatalogList&) = delete;
    CatalogList& operator=(const CatalogList&) = delete;

    int RowCount() const { return static_cast<int>(rows_.size()); }

    // The whole cell, read without copying; empty for a row or column out of range. The view
    // stays valid until the row is changed or removed.
    std::string_view CellText(int row, int column) const;

    // Inserts a row whose Artist is `artist`; an index at or past the end appends, a negative
    // one inserts at the top. Returns the new row's index.
    int InsertRow(int index, std::string_view artist);
    // Gives an inserted row the Track to Path cells and the fields of `record`; its Artist
    // stays as inserted.
    void AttachRecord(int row, const CatalogRow& record);
    // The row itself, or nullptr for an index out of range.
    const CatalogRow* RowRecord(int row) const;
    // Replaces one cell or field; an invalid row or column does nothing.
    void SetCell(int row, int column, std::string_view text);
    // Deletes the row; later rows move up by one. An invalid row does nothing.
    void RemoveRow(int row);
    void ClearRows();
    // Stable: rows that compare equal keep their order.
    void SortRows(const RowComparison& comparison);
    // Puts old row order[i] at row i, for a permutation `order` of all rows; one layout
    // change, so selection follows its rows.
    void ReorderRows(std::span<const int> order);
    // Deletes the rows at these ascending, distinct indices: one notification pair per run of
    // adjacent rows, or one "many rows" pair when the runs are too many to report one by one.
    void RemoveRows(std::span<const int> ascendingRows);

    // Replaces the whole row, cells and fields; an invalid row does nothing.
    void ReplaceRow(int row, CatalogRow record);

    // Batch operations, one listener notification each.
    void AppendRows(std::vector<CatalogRow> rows);
    // Inserts the rows before `index`; an index at or past the end appends, a negative one
    // inserts at the top.
    void InsertRows(int index, std::vector<CatalogRow> rows);
    void ReplaceRows(std::vector<CatalogRow> rows);

    // Every row as its row line, in list order.
    std::vector<std::string> SnapshotRows() const;
    // Replaces all rows with the rows the lines describe, in the order of the lines.
    void RebuildFromLines(const std::vector<std::string>& lines);

    // The history told of every change, or none.
    void SetHistory(UndoHistory* history) { history_ = history; }
    UndoHistory* history() const { return history_; }
    RowId IdOf(int row) const { return IsValidRow(row) ? ids_[row] : kNoRow; }
    // The rows of these ids now, ascending; ids not in the store are left out.
    std::vector<int> RowsOf(std::span<const RowId> ids) const;
    // RemoveRows without telling the history, the rows handed back.
    TakenRows TakeRows(std::span<const int> ascendingRows);
    // Puts taken rows back after the rows they followed, untold to the history.
    void PutBackRows(TakenRows taken);
    // Swaps the row of `id` with `other`, untold to the history.
    void SwapRow(RowId id, CatalogRow& other);

    // Who hears of a change first, whatever the order of registration: the indexes kept in
    // step with the rows, then the views, which may read those indexes as they hear.
    enum class Hears { First, AfterIndexes };
    void AddListener(CatalogListener* listener, Hears when = Hears::AfterIndexes);
    void RemoveListener(CatalogListener* listener);

private:
    bool IsValidRow(int row) const { return row >= 0 && row < RowCount(); }
    template <typename Call>
    void Notify(Call call);

    void InsertWithIds(int first, std::vector<CatalogRow> rows, std::vector<RowId> ids);
    std::vector<RowId> NewIds(std::size_t count);
    int RowOf(RowId id) const;

    std::vector<CatalogRow> rows_;
    std::vector<RowId> ids_;  // beside rows_
    RowId lastId_ = kNoRow;
    UndoHistory* history_ = nullptr;
    std::vector<CatalogListener*> indexes_;    // told first
    std::vector<CatalogListener*> listeners_;  // then these
};
