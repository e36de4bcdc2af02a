#include "CVolumeLabelDlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Dialog units (a quarter of an average character) in pixels of this dialog's font, so the
// field is wide enough for a long label whatever the font.
int DialogUnitsWide(const QWidget& widget, int units) {
    return units * widget.fontMetrics().averageCharWidth() / 4;
}

}  // namespace

CVolumeLabelDlg::CVolumeLabelDlg(QWidget* parent)
    : QDialog(parent),
      note_(new QLabel),
      prompt_(new QLabel(tr("Your Disk Volume Label is"))),
      edit_(new QLineEdit),
      ok_(new QPushButton(tr("&OK"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("Disk Volume Label "));

    edit_->setMinimumWidth(DialogUnitsWide(*this, 174));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // OK sits under the edit's left end and Cancel in the right half, as they always have.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addSpacing(DialogUnitsWide(*this, 16));

    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    note_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(ok_, cancel_);
    setTabOrder(cancel_, edit_);
}

void CVolumeLabelDlg::SetLabel(const QString& label) {
    edit_->setText(label);
}

void CVolumeLabelDlg::SetNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

QString CVolumeLabelDlg::label() const {
    return edit_->text();
}

void CVolumeLabelDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
}
