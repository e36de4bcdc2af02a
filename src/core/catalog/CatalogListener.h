#pragma once

#include <span>

// Observes every change of a CatalogList. The calls mirror Qt's model protocol, so a Qt model
// can forward each pair to its own begin/end calls. Rows are inclusive ranges.
class CatalogListener {
public:
    virtual ~CatalogListener() = default;

    virtual void RowsAboutToBeInserted(int first, int last) = 0;
    virtual void RowsInserted(int first, int last) = 0;
    virtual void RowsAboutToBeRemoved(int first, int last) = 0;
    virtual void RowsRemoved(int first, int last) = 0;
    virtual void AboutToReset() = 0;
    virtual void Reset() = 0;
    virtual void LayoutAboutToChange() = 0;
    // newRowOfOld[i] is where the row that was at i now stands.
    virtual void LayoutChanged(std::span<const int> newRowOfOld) = 0;
    virtual void CellsChanged(int row, int firstColumn, int lastColumn) = 0;
    // Before a row's cells change, for a reader on another thread that must stop first.
    virtual void CellsAboutToChange(int /*row*/) {}
    // Rows scattered too widely to report run by run go at once. A listener that maps rows
    // (a view) learns which; any other sees a reset.
    virtual void ManyRowsAboutToBeRemoved(std::span<const int> /*ascendingRows*/) {
        AboutToReset();
    }
    virtual void ManyRowsRemoved(std::span<const int> /*ascendingRows*/) { Reset(); }
    // Rows put back in many places at once; `ascendingRows` are their new rows.
    virtual void ManyRowsAboutToBeInserted() { AboutToReset(); }
    virtual void ManyRowsInserted(std::span<const int> /*ascendingRows*/) { Reset(); }
    // Store rows came or went that a view does not show: its rows are as they were, but the
    // store's count is not. Only a view tells this.
    virtual void UnshownRowsChanged() {}
};
