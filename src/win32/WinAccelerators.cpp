#include "WinAccelerators.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/CommandId.h"
#include "commands/CommandTable.h"

namespace {

// "Ctrl+Shift+S", "Delete", "F3": the shortcut after a menu text's tab.
std::optional<ACCEL> ParseShortcut(std::string_view keys, int id) {
    ACCEL accel{};
    accel.fVirt = FVIRTKEY;
    accel.cmd = static_cast<WORD>(id);
    for (;;) {
        const std::size_t plus = keys.find('+');
        if (plus == std::string_view::npos || plus + 1 == keys.size()) {
            break;
        }
        const std::string_view modifier = keys.substr(0, plus);
        if (modifier == "Ctrl") {
            accel.fVirt |= FCONTROL;
        } else if (modifier == "Shift") {
            accel.fVirt |= FSHIFT;
        } else if (modifier == "Alt") {
            accel.fVirt |= FALT;
        } else {
            return std::nullopt;
        }
        keys.remove_prefix(plus + 1);
    }
    if (keys.size() == 1 &&
        ((keys[0] >= 'A' && keys[0] <= 'Z') || (keys[0] >= '0' && keys[0] <= '9'))) {
        accel.key = static_cast<WORD>(keys[0]);
    } else if (keys == "Delete" || keys == "Del") {
        accel.key = VK_DELETE;
    } else if (keys.size() >= 2 && keys[0] == 'F' &&
               keys.substr(1).find_first_not_of("0123456789") == std::string_view::npos) {
        accel.key = static_cast<WORD>(VK_F1 + std::stoi(std::string(keys.substr(1))) - 1);
    } else {
        return std::nullopt;
    }
    return accel;
}

// Keys an edit box uses itself: plain keys, and Ctrl with A, C, V, X, Y or Z.
bool EditsText(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (alt) {
        return false;
    }
    if (!control) {
        return message.wParam < VK_F1 || message.wParam > VK_F24;
    }
    switch (message.wParam) {
        case 'A':
        case 'C':
        case 'V':
        case 'X':
        case 'Y':
        case 'Z':
            return true;
        default:
            return false;
    }
}

}  // namespace

namespace WinAccelerators {

HACCEL Create() {
    std::vector<ACCEL> table;
    for (const CommandInfo& info : CommandTable::All()) {
        const std::string_view text = info.menuText;
        const std::size_t tab = text.find('\t');
        if (tab == std::string_view::npos) {
            continue;
        }
        if (const std::optional<ACCEL> accel = ParseShortcut(text.substr(tab + 1), info.id)) {
            table.push_back(*accel);
        }
    }
    // Redo answers the other common shortcut too.
    table.push_back({FVIRTKEY | FCONTROL | FSHIFT, 'Z', static_cast<WORD>(kEditRedo)});
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

bool Translate(HWND window, HACCEL table, MSG& message, HWND searchBox) {
    if (window == nullptr || table == nullptr) {
        return false;
    }
    if (searchBox != nullptr && GetFocus() == searchBox && EditsText(message)) {
        return false;
    }
    return TranslateAcceleratorW(window, table, &message) != 0;
}

}  // namespace WinAccelerators
