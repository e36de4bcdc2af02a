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
#include "WinMounts.h"
#include "WinText.h"
#include "catalog/PathParts.h"

#include <shellapi.h>

namespace {

// The arguments as the user typed them, whatever the ANSI code page can show.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::string(FolderOfPath(Utf8FromWide(path)));
}

}  // namespace

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
    return cli.Run(Arguments());
}
