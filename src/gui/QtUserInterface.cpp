#include "QtUserInterface.h"

#include <QApplication>
#include <QMessageBox>

#include "DisplayText.h"

void QtUserInterface::ShowMessage(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), DisplayText(text));
}

void QtUserInterface::ShowError(const std::string& text) {
    QMessageBox::warning(parent_, QApplication::applicationName(), DisplayText(text));
}
