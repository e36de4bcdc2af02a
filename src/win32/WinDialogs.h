#pragma once

#include <functional>
#include <optional>
#include <string>

#include "WinApi.h"
#include "browse/DuplicateGroups.h"
#include "browse/EditItemForm.h"

class Shell;
class UserInterface;

// The main window's small modal dialogs, from the resource script. Each takes what it shows
// and gives back what the user chose, nothing when they cancelled.
namespace WinDialogs {

// The Disk Volume Label dialog: the label proposed, selected whole so that typing replaces
// it, and a note above it when the proposal is not the disc's own.
std::optional<std::string> VolumeLabel(HWND owner, const std::string& label,
                                       const std::string& note);
std::optional<EditItemForm> EditItem(HWND owner, const EditItemForm& form);
std::optional<std::string> FindTrack(HWND owner, const std::string& lastText);
std::optional<DuplicateKind> Duplicates(HWND owner, bool lengthsKnown);
// File Extensions, which shows the one entry "mp3" and changes nothing however it ends.
void Extensions(HWND owner, UserInterface& ui);
// The About box; its link opens `webPage` through the shell, or beeps.
void About(HWND owner, Shell& shell, const std::string& webPage);

}  // namespace WinDialogs
