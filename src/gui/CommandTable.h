#pragma once

#include <vector>

// What the user sees of a command: its menu text (the part after "\t" is its shortcut), its
// status-bar prompt and tool tip, and its toolbar icon.
struct CommandInfo {
    int id;
    const char* menuText;
    const char* prompt;    // "" for none
    const char* toolTip;   // "" for none
    const char* iconName;  // theme icon, "" for none
};

class CommandTable {
public:
    static const std::vector<CommandInfo>& All();
    // nullptr for an unknown id.
    static const CommandInfo* Find(int id);
};
