#include "CDuplicatesDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDuplicatesDlg::CDuplicatesDlg(bool lengthsKnown, QWidget* parent)
    : QDialog(parent),
      artistTrack_(new QRadioButton(tr("Same &Artist and Track (ignoring case and accents)"))),
      nameSize_(new QRadioButton(tr("Same file &name and size"))),
      artistTrackLength_(new QRadioButton(tr("Same Artist, Track and &Length"))) {
    setWindowTitle(tr("Find Duplicates"));
    artistTrack_->setChecked(true);
    artistTrackLength_->setEnabled(lengthsKnown);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Two rows are duplicates when they have:")));
    for (QRadioButton* button : {artistTrack_, nameSize_, artistTrackLength_}) {
        layout->addWidget(button);
    }
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton& CDuplicatesDlg::choice(DuplicateKind kind) const {
    switch (kind) {
        case DuplicateKind::NameSize:
            return *nameSize_;
        case DuplicateKind::ArtistTrackLength:
            return *artistTrackLength_;
        case DuplicateKind::ArtistTrack:
            break;
    }
    return *artistTrack_;
}

DuplicateKind CDuplicatesDlg::kind() const {
    if (nameSize_->isChecked()) {
        return DuplicateKind::NameSize;
    }
    return artistTrackLength_->isChecked() ? DuplicateKind::ArtistTrackLength
                                           : DuplicateKind::ArtistTrack;
}
