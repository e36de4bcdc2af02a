#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/RowSelection.h"
#include "commands/CommandId.h"

class CatalogView;

// The list's right-click menu, built at each opening from the rows, the selection, the
// filter and whether the player runs.
class ContextMenu {
public:
    struct Item {
        CommandId id;
        std::string label;  // as the menu shows it: "&" marks a mnemonic, "&&" is a literal &
        bool operator==(const Item&) const = default;
    };

    // The items in menu order; empty, for no menu at all, when the list has no rows.
    static std::vector<Item> Build(const CatalogView& list, const RowSelection& selection,
                                   bool filterOn, bool playerRunning);
    // The same from plain inputs: `folderText` is the first selected row's In Folder/Disk.
    static std::vector<Item> Build(int rowCount, int selectedCount, std::string_view folderText,
                                   bool filterOn, bool playerRunning);

    // A cell text as a menu label shows it literally.
    static std::string EscapeMnemonics(std::string_view text);
};
