// The composition root: the real services, handed to the application.
#include <QApplication>
#include <cstdio>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "LinuxShell.h"
#include "PosixFiles.h"
#include "QSettingsProfile.h"
#include "QtUserInterface.h"
#include "XdgDesktopRegistration.h"
#include "app/CommandLine.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes Qt's own options out of argv
    CPlumetApp::SetApplicationNames();
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/plumet.svg")));

    // File names stay the bytes the shell gave.
    const CommandLine commandLine =
        CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.exitStatus() != 0) {
        std::fprintf(stderr, "plumet: %s\n", commandLine.message().c_str());
        return commandLine.exitStatus();
    }

    PosixFiles files;
    QtUserInterface ui;
    QSettingsProfile profile;
    LinuxShell shell;
    XdgDesktopRegistration registration = XdgDesktopRegistration::ForCurrentUser();
    if (commandLine.action() == CommandLine::Action::Unregister) {
        const bool removed = registration.Unregister();
        profile.RemoveAll();
        ui.ShowMessage(removed ? CommandLine::kUnregistered : CommandLine::kNotUnregistered);
        return removed ? 0 : 1;
    }
    registration.Register();  // a desktop that refuses it still gets a working program

    CPlumetApp plumet({files, ui, profile, shell});
    if (!plumet.InitInstance(commandLine)) {
        return 1;
    }
    ui.SetParentWindow(plumet.mainFrame());
    const int status = QApplication::exec();
    plumet.ExitInstance();
    return status;
}
