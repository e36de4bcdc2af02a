#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks the user to confirm or edit the label of the disc about to be scanned. It opens with
// the whole label selected, so typing replaces it and Enter confirms.
class CVolumeLabelDlg : public QDialog {
    Q_OBJECT

public:
    explicit CVolumeLabelDlg(QWidget* parent = nullptr);

    void SetLabel(const QString& label);
    // Shown above the prompt when not empty.
    void SetNote(const QString& note);
    QString label() const;

    QLabel& promptLabel() const { return *prompt_; }
    QLabel& noteLabel() const { return *note_; }
    QLineEdit& labelEdit() const { return *edit_; }
    QPushButton& okButton() const { return *ok_; }
    QPushButton& cancelButton() const { return *cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* note_;
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
