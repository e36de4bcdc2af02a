#pragma once

#include <vector>

// What the user sees of a command: its menu text (the part after "\t" is its shortcut), its
// status-bar prompt and tool tip, and its toolbar icon.
struct CommandInfo {
    int id;
    const char* menuText;
    const char* prompt;   // "" for none
    const char* toolTip;  // "" for none
    // The theme icon, else ours in res/toolbar; "" for none. A name no theme has keeps ours:
    // a theme's plain open folder would not tell a search location from Open.
    const char* iconName;
};

class CommandTable {
public:
    static const std::vector<CommandInfo>& All();
    // nullptr for an unknown id.
    static const CommandInfo* Find(int id);
};
