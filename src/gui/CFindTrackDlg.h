#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

// Asks for the text to look for in the catalog; the search itself is the core's.
class CFindTrackDlg : public QDialog {
    Q_OBJECT

public:
    // Opens with `lastText`, the text looked for last, selected so that typing replaces it.
    explicit CFindTrackDlg(const std::string& lastText = std::string(), QWidget* parent = nullptr);

    // What the user typed, as UTF-8 bytes, the encoding of the cells typed on Linux.
    std::string text() const;

    QLineEdit& textEdit() const { return *edit_; }
    QPushButton& findButton() const { return *find_; }
    QPushButton& cancelButton() const { return *cancel_; }

private:
    QLineEdit* edit_;
    QPushButton* find_;
    QPushButton* cancel_;
};
