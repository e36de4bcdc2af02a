#include "browse/ColumnSort.h"

#include <vector>

#include "browse/CatalogView.h"
#include "browse/SortOrder.h"
#include "catalog/CatalogList.h"

void ColumnSort::OnColumnClick(int column) {
    if (column < 0 || column >= kAllColumnCount) {
        return;
    }
    sortAscending_ = !sortAscending_;
    view_.Sort(column, sortAscending_);
}

int ColumnSort::sortedColumn() const {
    const std::optional<CatalogView::SortClaim> claim = view_.sortClaim();
    return claim ? claim->column : -1;
}

bool ColumnSort::sortedAscending() const {
    const std::optional<CatalogView::SortClaim> claim = view_.sortClaim();
    return claim ? claim->ascending : sortAscending_;
}

void ColumnSort::SortByColumn(CatalogList& list, int column, bool ascending) {
    if (list.RowCount() > 0) {
        list.ReorderRows(SortOrder(list, column, ascending));
    }
}
