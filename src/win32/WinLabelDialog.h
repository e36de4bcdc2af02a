#pragma once

#include <optional>
#include <string>

#include "WinApi.h"

// The Disk Volume Label dialog: the label proposed, selected whole so that typing replaces
// it, and a note above it when the proposal is not the disc's own.
namespace WinLabelDialog {

// The label confirmed or edited; nothing when the user cancels.
std::optional<std::string> Ask(HWND owner, const std::string& label, const std::string& note);

}  // namespace WinLabelDialog
