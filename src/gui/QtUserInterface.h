#pragma once

#include <QPointer>
#include <QWidget>

#include "services.h"

// Message boxes with Qt, captioned with the application's name.
class QtUserInterface : public UserInterface {
public:
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

    SaveAnswer AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
    void Beep() override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};
