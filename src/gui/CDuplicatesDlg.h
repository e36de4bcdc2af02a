#pragma once

#include <QDialog>

#include "browse/DuplicateGroups.h"

class QPushButton;
class QRadioButton;

// Asks what makes two rows the same before Find Duplicates groups them.
class CDuplicatesDlg : public QDialog {
    Q_OBJECT

public:
    // Length is offered only when some row has one.
    explicit CDuplicatesDlg(bool lengthsKnown, QWidget* parent = nullptr);

    DuplicateKind kind() const;

    QRadioButton& choice(DuplicateKind kind) const;
    QPushButton& okButton() const { return *ok_; }

private:
    QRadioButton* artistTrack_;
    QRadioButton* nameSize_;
    QRadioButton* artistTrackLength_;
    QPushButton* ok_;
};
