#include "CFindTrackDlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFindTrackDlg::CFindTrackDlg(const std::string& lastText, QWidget* parent)
    : QDialog(parent),
      edit_(new QLineEdit(QString::fromStdString(lastText))),
      find_(new QPushButton(tr("Find"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("Find Track Dialog"));

    // Default, so Enter in the edit finds.
    find_->setDefault(true);
    connect(find_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(find_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // A small fixed box that fits a one-line query, in dialog units (a quarter of an
    // average character wide, an eighth of a line high); never smaller than the layout needs.
    const QFontMetrics metrics = fontMetrics();
    const QSize compact(186 * metrics.averageCharWidth() / 4, 90 * metrics.height() / 8);
    setFixedSize(compact.expandedTo(minimumSizeHint()));

    setTabOrder(edit_, find_);
    setTabOrder(find_, cancel_);
    edit_->selectAll();
    edit_->setFocus();
}

std::string CFindTrackDlg::text() const {
    return edit_->text().toUtf8().toStdString();
}
