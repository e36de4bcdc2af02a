#include "QtUserInterface.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "CVolumeLabelDlg.h"
#include "DisplayText.h"

namespace {

QString NameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const FileDialogRequest::Filter& filter : request.filters) {
        filters << DisplayText(filter.name).section(" (", 0, 0) + " (" +
                       QString::fromStdString(filter.pattern) + ")";
    }
    return filters.join(";;");
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, DisplayText(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(NameFilters(request));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (request.startFolder == FileDialogRequest::StartFolder::Documents) {
        dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
    if (!request.proposedPath.empty()) {
        dialog.selectFile(QFile::decodeName(request.proposedPath.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

SaveAnswer QtUserInterface::AskYesNoCancel(const std::string& text) {
    const QMessageBox::StandardButton answer = QMessageBox::warning(
        parent_, QApplication::applicationName(), DisplayText(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (answer) {
        case QMessageBox::Yes:
            return SaveAnswer::Yes;
        case QMessageBox::No:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
    }
}

bool QtUserInterface::AskYesNo(const std::string& text) {
    // No by default: Enter alone must not take a risk.
    return QMessageBox::question(parent_, QApplication::applicationName(), DisplayText(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtUserInterface::ChooseFileToOpen(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserInterface::ChooseFileToSave(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

QString QtUserInterface::MusicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QString();
}

std::optional<std::string> QtUserInterface::ChooseStartFolder(const std::string& title,
                                                              const std::string& start) {
    const QString startFolder = start.empty() ? MusicFolder() : QFile::decodeName(start.c_str());
    const QString folder = QFileDialog::getExistingDirectory(
        parent_, DisplayText(title), startFolder, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(folder).toStdString();
}

std::optional<std::string> QtUserInterface::EditVolumeLabel(const std::string& label,
                                                            const std::string& note) {
    CVolumeLabelDlg dialog(parent_);
    dialog.SetLabel(DisplayText(label));
    dialog.SetNote(DisplayText(note));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.label().toUtf8().toStdString();
}

void QtUserInterface::Beep() {
    QApplication::beep();
}

void QtUserInterface::ShowMessage(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), DisplayText(text));
}

void QtUserInterface::ShowError(const std::string& text) {
    QMessageBox::warning(parent_, QApplication::applicationName(), DisplayText(text));
}
