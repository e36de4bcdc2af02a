#pragma once

#include <vector>

// The menu bar and the toolbar, command by command, for every window to build alike.
struct MenuEntry {
    enum class Kind { Command, Separator, Submenu, RecentFiles };
    Kind kind = Kind::Command;
    int id = 0;                      // Command
    const char* text = "";           // Submenu: its title
    std::vector<MenuEntry> entries;  // Submenu: its commands
};

struct Menu {
    const char* title;  // "&" marks the mnemonic
    std::vector<MenuEntry> entries;
};

class MainMenu {
public:
    static const std::vector<Menu>& Menus();
    // The toolbar's buttons in groups; a separator goes between groups.
    static const std::vector<std::vector<int>>& ToolbarGroups();
    // The grey entry that stands in the File menu while no catalog was opened recently.
    static constexpr const char* kNoRecentFile = "Recent File";
};
