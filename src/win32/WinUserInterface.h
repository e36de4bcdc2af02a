#pragma once

#include "WinApi.h"
#include "services.h"

// Questions, messages and file choices as Windows shows them: message boxes with the
// program's name as caption, the shell's file and folder dialogs.
class WinUserInterface : public UserInterface {
public:
    // The window the boxes and dialogs belong to; none until the main window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    SaveAnswer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseStartFolder(const std::string& title,
                                                 const std::string& start = {}) override;
    std::optional<std::string> EditVolumeLabel(const std::string& label,
                                               const std::string& note = {}) override;
    void Beep() override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;

private:
    int Box(const std::string& text, UINT style) const;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request, bool save) const;

    HWND owner_ = nullptr;
};
