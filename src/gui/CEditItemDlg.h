#pragma once

#include <QDialog>

#include "browse/EditItemForm.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// Shows the texts of the row or rows being edited and gives back what the user left in them.
// The core decides which fields can be typed in; the dialog only converts text.
class CEditItemDlg : public QDialog {
    Q_OBJECT

public:
    explicit CEditItemDlg(const EditItemForm& form, QWidget* parent = nullptr);

    EditItemForm form() const;

    QLineEdit& artistEdit() const { return *artist_; }
    QLineEdit& trackEdit() const { return *track_; }
    QLineEdit& albumEdit() const { return *album_; }
    QLineEdit& folderEdit() const { return *folder_; }
    QLineEdit& sizeEdit() const { return *size_; }
    QCheckBox& saveToDiskBox() const { return *saveToDisk_; }
    QPushButton& okButton() const { return *ok_; }
    QPushButton& cancelButton() const { return *cancel_; }

private:
    EditItemForm original_;
    QLineEdit* artist_;
    QLineEdit* track_;
    QLineEdit* album_;
    QLineEdit* folder_;
    QLineEdit* size_;
    QCheckBox* saveToDisk_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
