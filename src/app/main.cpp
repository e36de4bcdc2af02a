// The composition root: the real services, handed to the application.
#include <QApplication>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "PosixFiles.h"
#include "QtUserInterface.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CPlumetApp::SetApplicationNames();

    PosixFiles files;
    QtUserInterface ui;
    CPlumetApp plumet(files, ui);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!plumet.InitInstance(arguments)) {
        return 1;
    }
    ui.SetParentWindow(plumet.mainFrame());
    return QApplication::exec();
}
