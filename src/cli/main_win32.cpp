#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PlumetCli.h"
#include "ProgramPages.h"
#include "TagLibTagReader.h"
#include "WinApi.h"
#include "WinFiles.h"
#include "WinFolderReader.h"
#include "WinLocale.h"
#include "WinModule.h"
#include "WinMounts.h"
#include "WinText.h"

int main() {
    // Catalogs and exports are bytes: no line end may be translated on the way.
    for (std::FILE* stream : {stdin, stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
    }
    // The bytes written are UTF-8; a console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
    WinFiles files;
    WinFolderReader folders;
    WinLocale locale;
    PlumetCli cli(files, stdin, stdout, stderr);
    TagLibTagReader tags;
    cli.SetScanServices(folders, locale);
    cli.SetTagReader(tags);
    WinMounts mounts;
    cli.SetMounts(mounts);
    // The page links to the same guide the desktop program beside this one would show.
    cli.SetProgramWebsite(ProgramWebsite(ExecutableFolder(), BuiltInGuidePlaces()));
    return cli.Run(CommandLineArguments());
}
