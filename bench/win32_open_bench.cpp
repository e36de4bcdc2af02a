// The Windows window's open of a large catalog against plumet-cli.exe stats of the same
// file, both timed in one run under the same system (Wine here, a stand-in for Windows):
//   win32_open_bench CATALOG PLUMET_CLI_EXE
#include <chrono>
#include <cstdio>
#include <string>

#include "WinControls.h"
#include "WinMainFrame.h"
#include "WinPlumetApp.h"
#include "WinText.h"

namespace {

double Seconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// The whole run of the command-line program, from its start to its end.
double TimeCommand(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    SetHandleInformation(nul, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, mutableLine.data(), &inherit, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the command-line program\n");
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(nul);
    return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: win32_open_bench CATALOG PLUMET_CLI_EXE\n");
        return 2;
    }
    const std::string catalog = Utf8FromWide(argv[1]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const double stats =
        TimeCommand(L"\"" + std::wstring(argv[2]) + L"\" stats \"" + argv[1] + L"\"");

    WinServices services;
    WinPlumetApp plumet(services.ForApp());
    const auto start = std::chrono::steady_clock::now();
    if (!plumet.InitInstance(CommandLine::Parse({catalog}), SW_SHOWNORMAL)) {
        std::fprintf(stderr, "the window did not open the catalog\n");
        return 1;
    }
    UpdateWindow(plumet.mainFrame()->handle());  // the first paint
    const double open = Seconds(std::chrono::steady_clock::now() - start);
    const int rows = plumet.session().list().RowCount();
    std::printf("%-44s %10d\n", "rows", rows);
    std::printf("%-44s %10.3f s\n", "plumet-cli.exe stats", stats);
    std::printf("%-44s %10.3f s\n", "window open to first paint", open);
    std::printf("%-44s %10.2fx (goal 1.5x)\n", "open / stats", open / stats);
    return 0;
}
