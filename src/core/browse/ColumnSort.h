#pragma once

class CatalogList;

// Sorting the store by a clicked column header. One direction is shared by all columns and
// every click inverts it first, so the first click sorts ascending and a click on another
// column sorts opposite to the last sort.
class ColumnSort {
public:
    explicit ColumnSort(CatalogList& list) : list_(list) {}

    // A header click on `column` (0 to 5; others are ignored).
    void OnColumnClick(int column);
    // Sorts without touching the direction, as plumet-cli does.
    static void SortByColumn(CatalogList& list, int column, bool ascending);

    bool sortAscending() const { return sortAscending_; }
    // The column the header marks with the sort indicator; -1 before the first sort.
    int sortedColumn() const { return sortedColumn_; }

private:
    CatalogList& list_;
    bool sortAscending_ = false;
    int sortedColumn_ = -1;
};
