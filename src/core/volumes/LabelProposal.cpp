#include "volumes/LabelProposal.h"

#include <unordered_set>

#include "volumes/VolumePieces.h"

LabelProposal LabelProposal::For(const CatalogList& list, const std::string& label,
                                 std::string_view volume) {
    bool taken = false;
    std::unordered_set<std::string_view> labels;
    for (int row = 0; row < list.RowCount(); ++row) {
        const CatalogRow& record = *list.RowRecord(row);
        const std::string_view rowLabel = record.Cell(kFolderDisk);
        labels.insert(rowLabel);
        const std::string_view rowVolume = RowVolume(record);
        taken |= rowLabel == label && !rowVolume.empty() && rowVolume != volume;
    }
    if (!taken || volume.empty()) {
        return {label, {}};
    }
    std::string free;
    for (int number = 2;; ++number) {
        free = label + " (" + std::to_string(number) + ")";
        if (labels.count(free) == 0) {
            break;
        }
    }
    return {free, "Another disc in this catalog is already labelled \"" + label + "\"."};
}
