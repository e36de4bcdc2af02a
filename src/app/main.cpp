// The composition root: the real services, handed to the application.
#include <QApplication>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "LinuxShell.h"
#include "PosixFiles.h"
#include "QSettingsProfile.h"
#include "QtUserInterface.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CPlumetApp::SetApplicationNames();

    PosixFiles files;
    QtUserInterface ui;
    QSettingsProfile profile;
    LinuxShell shell;
    CPlumetApp plumet({files, ui, profile, shell});
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!plumet.InitInstance(arguments)) {
        return 1;
    }
    ui.SetParentWindow(plumet.mainFrame());
    const int status = QApplication::exec();
    plumet.ExitInstance();
    return status;
}
