#pragma once

#include <functional>
#include <string>
#include <vector>

#include "WinControls.h"

#include "catalog/CatalogListener.h"

class CatalogView;
class RowVolumeIndex;

// The list of rows: a report list view that holds no rows of its own (LVS_OWNERDATA) and asks
// the view for each cell it draws, so a million rows show without a copy. Rows of a disc that
// is away are drawn greyed, and duplicate groups shaded by turns.
class WinCatalogList : public CatalogListener {
public:
    WinCatalogList(HWND parent, int controlId, CatalogView& view);
    ~WinCatalogList() override;
    WinCatalogList(const WinCatalogList&) = delete;
    WinCatalogList& operator=(const WinCatalogList&) = delete;

    HWND handle() const { return list_; }
    void SetVolumes(const RowVolumeIndex* volumes);
    void SetColumnClicked(std::function<void(int column)> clicked) {
        columnClicked_ = std::move(clicked);
    }
    // A double click or Enter on a row.
    void SetActivated(std::function<void()> activated) { activated_ = std::move(activated); }
    // A WM_NOTIFY from the list; true when it was the list's, with the answer in `result`.
    bool OnNotify(const NMHDR& header, LRESULT& result);

    // The header's arrow on the sorted column; none for -1.
    void ShowSortArrow(int column, bool ascending);
    std::vector<int> SelectedRows() const;
    int CurrentRow() const;
    void SelectOnly(int row);
    // Draws every row again, as when discs came or went.
    void Redraw();

    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted(int first, int last) override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void AboutToReset() override;
    void Reset() override;
    void LayoutAboutToChange() override;
    void LayoutChanged(std::span<const int> newRowOfOld) override;
    void CellsChanged(int row, int firstColumn, int lastColumn) override;

private:
    void SetRowCount(bool keepSelection);
    void FillCell(NMLVDISPINFOW& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;

    HWND list_ = nullptr;
    CatalogView& view_;
    const RowVolumeIndex* volumes_ = nullptr;
    std::function<void(int)> columnClicked_;
    std::function<void()> activated_;
    std::wstring cell_;  // the text handed to the list lives until it asks again
    COLORREF awayColour_ = 0;
    COLORREF oddGroupColour_ = 0;
};
