#include "WinCatalogList.h"

#include "WinControls.h"

#include <algorithm>

#include "WinText.h"
#include "browse/CatalogView.h"
#include "browse/FieldDisplay.h"
#include "catalog/CatalogRow.h"
#include "catalog/RowFields.h"
#include "frame/ColourContrast.h"
#include "volumes/RowVolumeIndex.h"

namespace {

Rgb ToRgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

COLORREF ToColour(Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

WinCatalogList::WinCatalogList(HWND parent, int controlId, CatalogView& view) : view_(view) {
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
        GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP |
                                                 LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int column = 0; column < kColumnCount; ++column) {
        std::wstring title = WideText(ColumnTitle(column));
        LVCOLUMNW format{};
        format.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        format.fmt = IsNumberField(column) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        format.cx = ColumnStartWidth(column);
        format.pszText = title.data();
        format.iSubItem = column;
        ListView_InsertColumn(list_, column, &format);
    }
    const COLORREF base = GetSysColor(COLOR_WINDOW);
    const Rgb shade =
        ColourContrast::DistinctShade(ToRgb(base), ToRgb(GetSysColor(COLOR_HIGHLIGHT)));
    oddGroupColour_ = ToColour(shade);
    awayColour_ = ToColour(
        ColourContrast::SoftenedText(ToRgb(GetSysColor(COLOR_WINDOWTEXT)), ToRgb(base), shade));
    view_.AddListener(this);
    SetRowCount(false);
}

WinCatalogList::~WinCatalogList() {
    view_.RemoveListener(this);
}

void WinCatalogList::SetVolumes(const RowVolumeIndex* volumes) {
    volumes_ = volumes;
    Redraw();
}

bool WinCatalogList::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != list_) {
        return false;
    }
    result = 0;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            FillCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            return true;
        case LVN_COLUMNCLICK:
            if (columnClicked_) {
                columnClicked_(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            }
            return true;
        case NM_DBLCLK:
        case NM_RETURN:
            if (activated_ && CurrentRow() >= 0) {
                activated_();
            }
            return true;
        case NM_CUSTOMDRAW:
            result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
            return true;
        default:
            return false;
    }
}

void WinCatalogList::FillCell(NMLVDISPINFOW& info) {
    if ((info.item.mask & LVIF_TEXT) == 0 || info.item.iItem < 0 ||
        info.item.iItem >= view_.RowCount()) {
        return;
    }
    const int column = info.item.iSubItem;
    cell_ = WideText(ShownCellText(column, view_.CellText(info.item.iItem, column)));
    // The list copies at most cchTextMax characters; a longer cell is cut, not overrun.
    const std::size_t room = static_cast<std::size_t>(std::max(info.item.cchTextMax, 1));
    if (cell_.size() >= room) {
        cell_.resize(room - 1);
    }
    std::copy(cell_.begin(), cell_.end(), info.item.pszText);
    info.item.pszText[cell_.size()] = L'\0';
}

LRESULT WinCatalogList::CustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const int row = static_cast<int>(draw.nmcd.dwItemSpec);
            if (row < 0 || row >= view_.RowCount()) {
                return CDRF_DODEFAULT;
            }
            if (view_.GroupOf(row) % 2 == 1) {
                draw.clrTextBk = oddGroupColour_;
            }
            if (volumes_ != nullptr && volumes_->IsAway(view_.StoreRow(row))) {
                draw.clrText = awayColour_;
            }
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void WinCatalogList::ShowSortArrow(int column, bool ascending) {
    HWND header = ListView_GetHeader(list_);
    for (int index = 0; index < Header_GetItemCount(header); ++index) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, index, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (index == column) {
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        }
        Header_SetItem(header, index, &item);
    }
}

std::vector<int> WinCatalogList::SelectedRows() const {
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    return rows;
}

int WinCatalogList::CurrentRow() const {
    return ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
}

void WinCatalogList::SelectOnly(int row) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0 && row < view_.RowCount()) {
        ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list_, row, FALSE);
    }
}

void WinCatalogList::Redraw() {
    InvalidateRect(list_, nullptr, FALSE);
}

void WinCatalogList::SetRowCount(bool keepSelection) {
    if (!keepSelection) {
        // The list keeps its selection by row number; those numbers now name other rows.
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    ListView_SetItemCountEx(list_, view_.RowCount(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    Redraw();
}

void WinCatalogList::RowsAboutToBeInserted(int, int) {}

void WinCatalogList::RowsInserted(int first, int) {
    // Rows coming in at the end, as a scan brings them, leave the rows above where they were.
    SetRowCount(first >= ListView_GetItemCount(list_));
}

void WinCatalogList::RowsAboutToBeRemoved(int, int) {}

void WinCatalogList::RowsRemoved(int, int) {
    SetRowCount(false);
}

void WinCatalogList::AboutToReset() {}

void WinCatalogList::Reset() {
    SetRowCount(false);
}

void WinCatalogList::LayoutAboutToChange() {}

void WinCatalogList::LayoutChanged(std::span<const int> newRowOfOld) {
    // The selection follows its rows to where they went.
    const std::vector<int> selected = SelectedRows();
    const int current = CurrentRow();
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const int old : selected) {
        if (old < static_cast<int>(newRowOfOld.size())) {
            ListView_SetItemState(list_, newRowOfOld[old], LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    if (current >= 0 && current < static_cast<int>(newRowOfOld.size())) {
        ListView_SetItemState(list_, newRowOfOld[current], LVIS_FOCUSED, LVIS_FOCUSED);
    }
    SetRowCount(true);
}

void WinCatalogList::CellsChanged(int row, int, int) {
    ListView_RedrawItems(list_, row, row);
}
