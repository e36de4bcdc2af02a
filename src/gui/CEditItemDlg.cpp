#include "CEditItemDlg.h"

#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DisplayText.h"

namespace {

QLineEdit* NewEdit(const std::string& bytes, bool enabled) {
    auto* edit = new QLineEdit(DisplayText(bytes));
    edit->setEnabled(enabled);
    return edit;
}

// A cell that is not UTF-8 shows as Latin-1; handing back the UTF-8 of what was shown would
// rewrite a cell the user never touched, so untouched text keeps its original bytes.
std::string EditedText(const QLineEdit& edit, const std::string& original) {
    if (!edit.isModified() || edit.text() == DisplayText(original)) {
        return original;
    }
    return edit.text().toUtf8().toStdString();
}

}  // namespace

CEditItemDlg::CEditItemDlg(const EditItemForm& form, QWidget* parent)
    : QDialog(parent),
      original_(form),
      artist_(NewEdit(form.artist, form.artistEnabled)),
      track_(NewEdit(form.track, form.trackEnabled)),
      album_(NewEdit(form.album, form.albumEnabled)),
      folder_(NewEdit(form.folder, form.folderEnabled)),
      size_(NewEdit(form.size, true)),
      saveToDisk_(new QCheckBox(tr("Save to Disk"))),
      ok_(new QPushButton(tr("OK"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("Edit Item"));
    QFont dialogFont(QStringLiteral("Arial"), 10);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);

    size_->setReadOnly(true);
    saveToDisk_->setChecked(form.saveToDisk);
    saveToDisk_->setEnabled(form.saveToDiskEnabled);

    // Paths and long titles: room for about fifty characters before the text scrolls.
    const int editWidth = 50 * fontMetrics().averageCharWidth();
    for (QLineEdit* edit : {artist_, track_, album_, folder_, size_}) {
        edit->setMinimumWidth(editWidth);
    }

    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Artist"), artist_);
    fields->addRow(tr("Track"), track_);
    fields->addRow(tr("Album"), album_);
    fields->addRow(tr("In Folder"), folder_);
    fields->addRow(tr("Size"), size_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(saveToDisk_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(artist_, track_);
    setTabOrder(track_, album_);
    setTabOrder(album_, folder_);
    setTabOrder(folder_, size_);
    setTabOrder(size_, saveToDisk_);
    setTabOrder(saveToDisk_, ok_);
    setTabOrder(ok_, cancel_);

    for (QLineEdit* edit : {artist_, track_, album_, folder_}) {
        if (edit->isEnabled()) {
            edit->setFocus();
            break;
        }
    }
}

EditItemForm CEditItemDlg::form() const {
    EditItemForm result = original_;
    result.artist = EditedText(*artist_, original_.artist);
    result.track = EditedText(*track_, original_.track);
    result.album = EditedText(*album_, original_.album);
    result.folder = EditedText(*folder_, original_.folder);
    result.saveToDisk = saveToDisk_->isChecked();
    return result;
}
