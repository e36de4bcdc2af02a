#include "browse/ColumnSort.h"

#include <vector>

#include "browse/SortOrder.h"
#include "catalog/CatalogList.h"

void ColumnSort::OnColumnClick(int column) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    sortAscending_ = !sortAscending_;
    sortedColumn_ = column;
    SortByColumn(list_, column, sortAscending_);
}

void ColumnSort::SortByColumn(CatalogList& list, int column, bool ascending) {
    if (list.RowCount() > 0) {
        list.ReorderRows(SortOrder(list, column, ascending));
    }
}
