#pragma once

#include <string>
#include <string_view>

#include "catalog/CatalogList.h"

// Two discs with one label: a disc about to be loaded whose label already names the rows of
// another file system in the catalog is offered the label with " (2)", or the next free
// number, so that its rows are not taken for the other disc's.
struct LabelProposal {
    std::string label;  // what the label dialog proposes
    std::string note;   // why it is not the disc's own label; empty when it is

    // `volume` is the loaded disc's identity; rows without one never count as another disc.
    static LabelProposal For(const CatalogList& list, const std::string& label,
                             std::string_view volume);
};
