#include "WinFileTypes.h"

#include <optional>

#include "WinApi.h"

namespace {

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

std::optional<std::wstring> DefaultText(const std::wstring& key) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

bool RemoveTree(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    const LSTATUS gone = RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    return gone == ERROR_SUCCESS || gone == ERROR_FILE_NOT_FOUND;
}

// The short form of a path, as the shell's commands have always been written; the path as
// it is where there is none.
std::wstring ShortPath(const std::wstring& path) {
    std::wstring shortened(MAX_PATH, L'\0');
    const DWORD length =
        GetShortPathNameW(path.c_str(), shortened.data(), static_cast<DWORD>(shortened.size()));
    if (length == 0 || length >= shortened.size()) {
        return path;
    }
    shortened.resize(length);
    return shortened;
}

}  // namespace

WinFileTypes::WinFileTypes(std::wstring classes) : classes_(std::move(classes)) {}

bool WinFileTypes::Register(const std::wstring& program) {
    const std::wstring id = classes_ + L"\\" + kProgramId;
    const std::wstring exe = ShortPath(program);
    // No print verbs: the program prints nothing, so Explorer would offer a verb that fails.
    bool written = SetText(id, nullptr, L"Plumet Document");
    written = SetText(id + L"\\DefaultIcon", nullptr, exe + L",0") && written;
    written = SetText(id + L"\\shell\\open\\command", nullptr, exe + L" \"%1\"") && written;
    const std::wstring extension = classes_ + L"\\.plm";
    const std::optional<std::wstring> owner = DefaultText(extension);
    if (!owner || owner->empty() || *owner == kProgramId) {
        written = SetText(extension, nullptr, kProgramId) && written;
        written = SetText(extension + L"\\ShellNew", L"NullFile", L"") && written;
    }
    return written;
}

bool WinFileTypes::Unregister() {
    bool removed = RemoveTree(classes_ + L"\\" + kProgramId);
    const std::wstring extension = classes_ + L"\\.plm";
    if (DefaultText(extension) == std::optional<std::wstring>(kProgramId)) {
        removed = RemoveTree(extension) && removed;
    }
    return removed;
}
