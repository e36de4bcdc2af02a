#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// Tools > File Names: the pattern that names files without tags, chosen from examples or
// typed, with a preview of the names it gives some of the catalog's files as the user types.
// The dialog only shows; the caller keeps the pattern after OK.
class CFileNamesDlg : public QDialog {
    Q_OBJECT

public:
    enum PreviewColumn { kFileColumn, kArtistColumn, kTrackColumn, kAlbumColumn, kNumberColumn };

    // `patternText` as stored, empty for the standard rule; `paths` the files to preview.
    CFileNamesDlg(const std::string& patternText, std::vector<std::string> paths,
                  QWidget* parent = nullptr);

    // The pattern as the user left it; empty for the standard rule.
    std::string patternText() const;

    QComboBox& patternBox() const { return *pattern_; }
    QTableWidget& preview() const { return *preview_; }
    // Says why the pattern cannot be used, or how many names it does not match.
    QLabel& problemLabel() const { return *problem_; }
    QPushButton& okButton() const { return *ok_; }
    QPushButton& cancelButton() const { return *cancel_; }

private:
    void UpdatePreview();

    std::vector<std::string> paths_;
    QComboBox* pattern_;
    QTableWidget* preview_;
    QLabel* problem_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
