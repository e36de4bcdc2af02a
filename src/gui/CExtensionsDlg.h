#pragma once

#include <QDialog>

#include "services.h"

class QListWidget;
class QPushButton;

// Shows the file extensions a scan catalogues. It changes nothing: choosing an entry only
// says so in a message box.
class CExtensionsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CExtensionsDlg(UserInterface& ui, QWidget* parent = nullptr);

    QListWidget& extensionList() const { return *list_; }
    QPushButton& okButton() const { return *ok_; }
    QPushButton& cancelButton() const { return *cancel_; }

private:
    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
