#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "browse/RowLetterIndex.h"
#include "browse/SortClaim.h"
#include "browse/ViewRows.h"
#include "browse/ViewSearch.h"
#include "catalog/CatalogList.h"
#include "catalog/CatalogListener.h"
#include "catalog/RowSelection.h"

// What the list shows: an ordered list of store rows, either every row in the store's order
// or the rows a narrowing keeps. Commands name rows as the view shows them and change the
// store rows behind them, so nothing done in a narrowed view is lost when it widens again.
// The view follows every change of the store, after the store's indexes (the letters, the
// volumes) heard of it, and tells its own listeners, in view rows.
class CatalogView : private CatalogListener {
public:
    // Whether a store row belongs in a narrowed view; asked again for rows added later.
    using RowTest = std::function<bool(const CatalogRow&)>;
    using SortClaim = ::SortClaim;

    explicit CatalogView(CatalogList& store);
    ~CatalogView() override;
    CatalogView(const CatalogView&) = delete;
    CatalogView& operator=(const CatalogView&) = delete;

    CatalogList& store() const { return store_; }
    int RowCount() const { return narrowed_ ? shown_.Count() : store_.RowCount(); }
    // The store row shown at `row`; -1 out of range.
    int StoreRow(int row) const;
    // Empty for a row or column out of range.
    std::string_view CellText(int row, int column) const;
    const CatalogRow* RowRecord(int row) const;
    // The store rows behind the selected view rows, ascending.
    std::vector<int> StoreRows(const RowSelection& selection) const;

    // A filter, a search or groups are in force.
    bool narrowed() const { return narrowed_; }
    bool filtered() const { return static_cast<bool>(keeps_); }
    bool searching() const { return search_.active(); }
    bool grouped() const { return shown_.grouped(); }
    // The filter: shows only the store rows that pass `keeps` (and the search, if any), in
    // the store's order; rows the store gains later are shown at the end when they pass too.
    void Narrow(RowTest keeps);
    // Ends the filter and the groups: every store row again, in the store's order, or those
    // the search finds.
    void ShowAll();
    // The search, within the filter's rows. `withinShown` says the new test keeps no row the
    // last one hid (the query only grew), so only the rows shown need testing, and their
    // order stays. A search from the store keeps the order the view was sorted in. `matches`
    // may be called from several threads at once. With `recall`, the rows found are kept
    // under that name until the store, the filter or the order changes (while the search
    // memory has room), and a search of the same name shows them again without testing a row.
    // `hint` names letters every row found holds, and whether they alone decide; its rows
    // need not be read.
    void Search(RowTest matches, bool withinShown, std::string_view recall = {},
                SearchHint hint = {});
    void EndSearch();

    // The groups (of duplicates): shows exactly `storeRows` in that order, row i in group
    // `groupOfRow[i]`. Ends the filter and the search; ShowAll, a new search or filter and a
    // new catalog end the groups. Rows the store gains meanwhile are not shown, and rows
    // removed leave the others' groups as they were.
    void ShowGroups(std::vector<int> storeRows, std::vector<int> groupOfRow);
    // The group of the row shown at `row`; -1 when not grouped or out of range.
    int GroupOf(int row) const { return narrowed_ ? shown_.GroupOf(row) : -1; }
    // How many groups still have a row shown.
    int GroupsShown() const { return shown_.GroupsShown(); }

    // Sorts the rows shown: the store itself when it shows every row, only the view when
    // narrowed. Groups stay in force and together: they go in the order of their first row,
    // and the rows within each in the column's order.
    void Sort(int column, bool ascending);
    // Set by Sort (but not of groups, whose rows are not in one column's order); gone once
    // rows come in out of that order or the rows shown are replaced.
    std::optional<SortClaim> sortClaim() const { return shownClaim_; }

    // Changes made through the view act on the store rows behind it.
    void SetCell(int row, int column, std::string_view text);
    void RemoveRows(const RowSelection& selection);

    // Listeners hear in the order they were added.
    void AddListener(CatalogListener* listener);
    void RemoveListener(CatalogListener* listener);

    // How many bytes the rows of recent searches take.
    std::size_t SearchMemoryBytes() const;

private:
    // The store's notifications, turned into the view's.
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted(int first, int last) override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void ManyRowsAboutToBeRemoved(std::span<const int> ascendingRows) override;
    void ManyRowsRemoved(std::span<const int> ascendingRows) override;
    void ManyRowsAboutToBeInserted() override;
    void ManyRowsInserted(std::span<const int> ascendingRows) override;
    void AboutToReset() override;
    void Reset() override;
    void LayoutAboutToChange() override;
    void LayoutChanged(std::span<const int> newRowOfOld) override;
    void CellsChanged(int row, int firstColumn, int lastColumn) override;

    template <typename Call>
    void Notify(Call call);
    // Replaces the rows shown, in one reset.
    template <typename Change>
    void ResetShown(Change change);
    // The store rows the filter and the search keep, in the store's order.
    std::vector<int> StoreRowsKept() const;
    bool KeepsStoreRow(int storeRow) const;
    void NarrowFromStore();
    void ShowEveryRow();
    // Where store row `storeRow` is shown; -1 when it is not.
    int ViewRowOf(int storeRow) const { return narrowed_ ? shown_.ViewRowOf(storeRow) : storeRow; }
    // Forgets the claim on the rows shown (on the store) when rows `row` - 1 and `row` break it.
    void CheckShownOrder(int row);
    void CheckStoreOrder(int storeRow);
    // The rows of the removal in progress are not one run of the view.
    bool RemovalIsScattered() const;

    CatalogList& store_;
    ViewSearch search_{store_};
    std::vector<CatalogListener*> listeners_;
    bool narrowed_ = false;
    ViewRows shown_;  // while narrowed
    RowTest keeps_;   // the filter
    std::optional<SortClaim> shownClaim_;
    std::optional<SortClaim> storeClaim_;  // the store's own order, while narrowed
    // View rows a store removal in progress takes away, ascending.
    std::vector<int> removing_;
};
