#include "export/ExportRows.h"

#include "browse/CatalogView.h"
#include "volumes/MountedSet.h"

int ExportRows::Count() const {
    return viewRows_ ? static_cast<int>(viewRows_->size()) : view_.RowCount();
}

const CatalogRow& ExportRows::Row(int index) const {
    static const CatalogRow kNoRow;
    if (index < 0 || index >= Count()) {
        return kNoRow;
    }
    const CatalogRow* row = view_.RowRecord(viewRows_ ? (*viewRows_)[index] : index);
    return row != nullptr ? *row : kNoRow;
}

std::string ExportRows::PathOf(int index) const {
    const CatalogRow& row = Row(index);
    return mounted_ != nullptr ? mounted_->PlaceOf(row).path : std::string(row.Cell(kPath));
}
