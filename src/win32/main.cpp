#include "WinControls.h"

#include <objbase.h>

#include "WinFileTypes.h"
#include "WinMainFrame.h"
#include "WinModule.h"
#include "WinPlumetApp.h"
#include "WinText.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    const CommandLine commandLine = CommandLine::Parse(CommandLineArguments());
    WinServices services;
    if (commandLine.exitStatus() != 0) {
        services.ui.ShowError(commandLine.message());
        return commandLine.exitStatus();
    }
    // The shell's dialogs want COM on this thread; the list and bars the common controls.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WinFileTypes fileTypes;
    if (commandLine.action() == CommandLine::Action::Unregister) {
        const bool typesRemoved = fileTypes.Unregister();
        const bool removed = services.profile.RemoveAll() && typesRemoved;
        services.ui.ShowMessage(removed ? CommandLine::kUnregistered
                                        : CommandLine::kNotUnregistered);
        return removed ? 0 : 1;
    }
    // Explorer opens catalogs with the program as it stands now; a refusal leaves it working.
    fileTypes.Register(ModulePath());
    WinPlumetApp plumet(services.ForApp());
    if (!plumet.InitInstance(commandLine, showCommand)) {
        return 1;
    }
    services.ui.SetOwner(plumet.mainFrame()->handle());
    services.discPrompt.SetOwner(plumet.mainFrame()->handle());
    const int status = plumet.mainFrame()->Run();
    plumet.ExitInstance();
    CoUninitialize();
    return status;
}
