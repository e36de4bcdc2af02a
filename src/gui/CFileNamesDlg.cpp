#include "CFileNamesDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "DisplayText.h"
#include "scan/NamePattern.h"

namespace {

const QString kStandardName =
    QString::fromUtf8(NamePattern::kStandardName.data(), NamePattern::kStandardName.size());

// The file's name and as many folders above it as the pattern reads, so that a pattern
// reaching into folders is checked against what it reads.
QString ShownName(std::string_view path, std::size_t folders) {
    std::size_t start = path.size();
    for (std::size_t names = 0; names <= folders && start > 0; ++names) {
        const std::size_t slash = path.rfind('/', start - 1);
        start = slash == std::string_view::npos ? 0 : slash;
    }
    if (start < path.size() && path[start] == '/') {
        ++start;
    }
    return DisplayText(path.substr(start));
}

QTableWidgetItem* NewItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

CFileNamesDlg::CFileNamesDlg(const std::string& patternText, std::vector<std::string> paths,
                             QWidget* parent)
    : QDialog(parent),
      paths_(std::move(paths)),
      pattern_(new QComboBox),
      preview_(new QTableWidget(static_cast<int>(paths_.size()), 5)),
      problem_(new QLabel),
      ok_(new QPushButton(tr("OK"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("File Names"));

    pattern_->setEditable(true);
    pattern_->setInsertPolicy(QComboBox::NoInsert);
    pattern_->setCompleter(nullptr);  // what is typed stays as typed
    pattern_->addItem(kStandardName);
    for (const std::string& example : NamePattern::Examples()) {
        pattern_->addItem(DisplayText(example));
    }
    if (patternText.empty()) {
        pattern_->setCurrentIndex(0);
    } else {
        pattern_->setEditText(DisplayText(patternText));
    }
    auto* patternLabel = new QLabel(tr("&Pattern for files without tags:"));
    patternLabel->setBuddy(pattern_);

    // Plain text: the field names would read as markup.
    auto* fields = new QLabel(
        tr("Fields: <artist>, <title>, <album>, <track>, <disc>, <year>, <genre>, <ignore>. "
           "Each \"/\" reads one more folder above the file."));
    fields->setTextFormat(Qt::PlainText);
    fields->setWordWrap(true);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);

    preview_->setHorizontalHeaderLabels(
        {tr("File"), tr("Artist"), tr("Track"), tr("Album"), tr("Track No.")});
    preview_->verticalHeader()->hide();
    preview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview_->setWordWrap(false);
    preview_->setColumnWidth(kFileColumn, 260);
    preview_->setColumnWidth(kArtistColumn, 140);
    preview_->setColumnWidth(kTrackColumn, 180);
    preview_->setColumnWidth(kAlbumColumn, 140);
    preview_->horizontalHeader()->setStretchLastSection(true);
    preview_->setMinimumSize(860, 240);
    auto* previewLabel = new QLabel(tr("Pre&view:"));
    previewLabel->setBuddy(preview_);

    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(pattern_, &QComboBox::editTextChanged, this, &CFileNamesDlg::UpdatePreview);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(patternLabel);
    layout->addWidget(pattern_);
    layout->addWidget(fields);
    layout->addWidget(problem_);
    layout->addWidget(previewLabel);
    layout->addWidget(preview_, 1);
    layout->addLayout(buttons);

    setTabOrder(pattern_, preview_);
    setTabOrder(preview_, ok_);
    setTabOrder(ok_, cancel_);
    pattern_->setFocus();
    UpdatePreview();
}

std::string CFileNamesDlg::patternText() const {
    const QString text = pattern_->currentText();
    if (text == kStandardName || text.trimmed().isEmpty()) {
        return {};
    }
    return text.toUtf8().toStdString();
}

void CFileNamesDlg::UpdatePreview() {
    const std::string text = patternText();
    std::string error;
    const std::optional<NamePattern> pattern = NamePattern::Parse(text, error);
    ok_->setEnabled(pattern.has_value());
    // The standard rule reads the folder above the file for a missing artist.
    const std::size_t folders = text.empty() ? 1 : std::count(text.begin(), text.end(), '/');
    const NamePattern standard;
    preview_->clearSpans();
    int unmatched = 0;
    for (int row = 0; row < static_cast<int>(paths_.size()); ++row) {
        const std::string& path = paths_[row];
        preview_->setItem(row, kFileColumn, NewItem(ShownName(path, folders)));
        preview_->item(row, kFileColumn)->setToolTip(DisplayText(path));
        std::optional<NamePattern::Names> names =
            pattern ? pattern->Match(path) : std::optional<NamePattern::Names>();
        if (pattern && !names) {
            ++unmatched;
            const std::optional<NamePattern::Names> fallback = standard.Match(path);
            QString note = tr("Does not match: the standard rule names this file");
            if (fallback) {
                note += QStringLiteral(" (%1 - %2)")
                            .arg(DisplayText(fallback->artist), DisplayText(fallback->title));
            }
            preview_->setSpan(row, kArtistColumn, 1, kNumberColumn - kArtistColumn + 1);
            preview_->setItem(row, kArtistColumn, NewItem(note));
            for (int column = kTrackColumn; column <= kNumberColumn; ++column) {
                preview_->setItem(row, column, NewItem(QString()));
            }
            continue;
        }
        const auto field = [&names](int column) {
            return names ? DisplayText(names->fields[column - kColumnCount]) : QString();
        };
        preview_->setItem(row, kArtistColumn,
                          NewItem(names ? DisplayText(names->artist) : QString()));
        preview_->setItem(row, kTrackColumn,
                          NewItem(names ? DisplayText(names->title) : QString()));
        preview_->setItem(row, kAlbumColumn, NewItem(field(kAlbum)));
        preview_->setItem(row, kNumberColumn, NewItem(field(kTrackNumber)));
    }
    if (!pattern) {
        problem_->setText(tr("This pattern cannot be used: %1").arg(QString::fromStdString(error)));
    } else if (unmatched > 0) {
        problem_->setText(tr("%1 of %2 names do not match the pattern; the standard rule names "
                             "those files.")
                              .arg(unmatched)
                              .arg(paths_.size()));
    } else {
        problem_->clear();
    }
    problem_->setVisible(!problem_->text().isEmpty());
}
