#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "services.h"

// The core's dialogs with Qt; message boxes are captioned with the application's name.
class QtUserInterface : public UserInterface {
public:
    void SetParentWindow(QWidget* parent) { parent_ = parent; }
    // The user's music folder (XDG_MUSIC_DIR), or empty when that folder does not exist.
    static QString MusicFolder();

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
    QPointer<QWidget> parent_;
};
