#pragma once

class CatalogList;
class CatalogView;

// Sorting the rows shown by a clicked column header. One direction is shared by all columns
// and every click inverts it first, so the first click sorts ascending and a click on another
// column sorts opposite to the last sort.
class ColumnSort {
public:
    explicit ColumnSort(CatalogView& view) : view_(view) {}

    // A header click on `column` (0 to 5; others are ignored).
    void OnColumnClick(int column);
    // Sorts the whole store without touching the direction, as plumet-cli does.
    static void SortByColumn(CatalogList& list, int column, bool ascending);

    bool sortAscending() const { return sortAscending_; }
    // The column the header marks with the sort indicator; -1 when the rows shown are not
    // known to be in the order of a column.
    int sortedColumn() const;
    // The direction of that order.
    bool sortedAscending() const;

private:
    CatalogView& view_;
    bool sortAscending_ = false;
};
