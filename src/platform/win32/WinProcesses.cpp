#include "WinProcesses.h"

#include <algorithm>
#include <cstdio>

#include "WinApi.h"
#include "WinHandle.h"
#include "WinText.h"

#include <tlhelp32.h>

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool WinProcesses::NameMatches(std::string_view name, std::string_view imageName) {
    return std::ranges::equal(name, imageName,
                              [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

bool WinProcesses::IsProcessRunning(const std::string& imageName) {
    const WinHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsOpen()) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        const std::string name = Utf8FromWide(entry.szExeFile);
        if (NameMatches(name, imageName)) {
            std::printf("%s (Process ID: %lu)\n", name.c_str(),
                        static_cast<unsigned long>(entry.th32ProcessID));
            std::fflush(stdout);
            return true;
        }
    }
    return false;
}
