// The composition root: the real services, handed to the application.
#include <QApplication>
#include <cstdio>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "LinuxDrives.h"
#include "LinuxMounts.h"
#include "LinuxProcesses.h"
#include "LinuxShell.h"
#include "MountWatcher.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "PosixLocale.h"
#include "QSettingsProfile.h"
#include "QtUserInterface.h"
#include "TagLibTagReader.h"
#include "XdgDesktopRegistration.h"
#include "app/CommandLine.h"

namespace {

int Refuse(const CommandLine& commandLine) {
    std::fprintf(stderr, "%s\n", commandLine.message().c_str());
    return commandLine.exitStatus();
}

}  // namespace

int main(int argc, char** argv) {
    // Refused forms need no display; Qt's own options are not known until Qt has read them.
    const CommandLine raw = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (raw.action() == CommandLine::Action::Refused) {
        return Refuse(raw);
    }
    QApplication application(argc, argv);  // takes Qt's own options out of argv
    CPlumetApp::SetApplicationNames();
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/plumet.svg")));

    // File names stay the bytes the shell gave.
    const CommandLine commandLine =
        CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.exitStatus() != 0) {
        return Refuse(commandLine);
    }

    PosixFiles files;
    QtUserInterface ui;
    QSettingsProfile profile;
    LinuxShell shell(&profile);
    XdgDesktopRegistration registration = XdgDesktopRegistration::ForCurrentUser();
    if (commandLine.action() == CommandLine::Action::Unregister) {
        const bool removed = registration.Unregister();
        profile.RemoveAll();
        ui.ShowMessage(removed ? CommandLine::kUnregistered : CommandLine::kNotUnregistered);
        return removed ? 0 : 1;
    }
    registration.Register();  // a desktop that refuses it still gets a working program

    PosixFolderReader folders;
    LinuxDrives drives;
    PosixLocale locale;
    LinuxProcesses processes;
    TagLibTagReader tags;
    LinuxMounts mounts;
    CPlumetApp plumet(
        {files, ui, profile, shell, folders, drives, locale, processes, &tags, &mounts});
    if (!plumet.InitInstance(commandLine)) {
        return 1;
    }
    // A disc or a drive coming or going greys or lights its rows.
    MountWatcher mountWatcher;
    QObject::connect(&mountWatcher, &MountWatcher::mountsChanged, plumet.volumeFollower(),
                     &VolumeFollower::Refresh);
    ui.SetParentWindow(plumet.mainFrame());
    const int status = QApplication::exec();
    plumet.ExitInstance();
    return status;
}
