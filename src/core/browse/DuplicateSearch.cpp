#include "browse/DuplicateSearch.h"

#include "browse/CatalogView.h"
#include "catalog/CatalogList.h"
#include "catalog/RowFields.h"
#include "services.h"

namespace DuplicateSearch {

bool LengthsKnown(const CatalogList& store) {
    for (int row = 0; row < store.RowCount(); ++row) {
        if (!store.CellText(row, kLength).empty()) {
            return true;
        }
    }
    return false;
}

void Show(CatalogView& view, DuplicateKind kind, UserInterface& ui,
          const std::function<void(bool)>& showBusy) {
    if (showBusy) {
        showBusy(true);
    }
    const DuplicateGroups groups = DuplicateGroups::Find(view.store(), kind);
    if (showBusy) {
        showBusy(false);
    }
    if (groups.GroupCount() == 0) {
        ui.ShowMessage("No duplicates were found.");
        return;
    }
    view.ShowGroups(groups.rows(), groups.GroupOfEachRow());
}

}  // namespace DuplicateSearch
