#pragma once

#include <filesystem>
#include <string>

#include "WinApi.h"
#include "WinText.h"

// A fresh folder in the user's temporary folder, removed with all it holds.
class WinTempFolder {
public:
    WinTempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        // Wine gives every process of a fresh prefix the same id: the clock tells runs apart.
        static int count = 0;
        wide_ = std::wstring(base) + L"plumet-test-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++count);
        std::filesystem::create_directories(wide_);
    }
    ~WinTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(wide_, ignored);
    }
    WinTempFolder(const WinTempFolder&) = delete;
    WinTempFolder& operator=(const WinTempFolder&) = delete;

    const std::wstring& Wide() const { return wide_; }
    std::string Utf8() const { return Utf8FromWide(wide_); }
    std::string Utf8(const std::string& name) const { return Utf8() + "\\" + name; }

private:
    std::wstring wide_;
};
