#include "WinVolumes.h"

#include <array>
#include <cstdio>

#include "WinApi.h"
#include "WinText.h"

std::vector<WinVolumes::Drive> WinVolumes::Drives() {
    std::array<wchar_t, 512> roots{};
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    std::vector<Drive> drives;
    if (length == 0 || length >= roots.size()) {
        return drives;
    }
    // "C:\<NUL>D:\<NUL><NUL>"
    for (const wchar_t* root = roots.data(); *root != L'\0'; root += wcslen(root) + 1) {
        drives.push_back(Drive{Utf8FromWide(root), GetDriveTypeW(root) == DRIVE_CDROM});
    }
    return drives;
}

std::optional<WinVolumes::Facts> WinVolumes::FactsOf(const std::string& root) {
    std::array<wchar_t, MAX_PATH + 1> label{};
    std::array<wchar_t, MAX_PATH + 1> fileSystem{};
    DWORD serial = 0;
    // An empty drive asks the user to insert a disc unless told not to.
    const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL read = GetVolumeInformationW(
        WideText(root).c_str(), label.data(), static_cast<DWORD>(label.size()), &serial, nullptr,
        nullptr, fileSystem.data(), static_cast<DWORD>(fileSystem.size()));
    SetErrorMode(mode);
    if (!read) {
        return std::nullopt;
    }
    return Facts{Utf8FromWide(label.data()), serial, Utf8FromWide(fileSystem.data())};
}

std::string WinVolumes::RootOf(const std::string& path) {
    std::array<wchar_t, MAX_PATH + 1> root{};
    if (!GetVolumePathNameW(WideText(path).c_str(), root.data(), static_cast<DWORD>(root.size()))) {
        return {};
    }
    return Utf8FromWide(root.data());
}

std::string WinVolumes::SerialText(std::uint32_t serial) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04X-%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    return text.data();
}

bool WinVolumes::IsOptical(const std::string& root) {
    return !root.empty() && GetDriveTypeW(WideText(root).c_str()) == DRIVE_CDROM;
}
