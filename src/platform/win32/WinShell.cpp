#include "WinShell.h"

#include "WinApi.h"
#include "WinText.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

bool Execute(const wchar_t* verb, const std::wstring& file, const std::wstring& parameters = {}) {
    // Some shell extensions need COM on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result =
        ShellExecuteW(nullptr, verb, file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    // A result of 32 or less is an error code.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

bool WinShell::Open(const std::string& target) {
    return !target.empty() && Execute(L"open", WideText(target));
}

bool WinShell::Enqueue(const std::string& mediaFile) {
    return !mediaFile.empty() && Execute(L"enqueue", WideText(mediaFile));
}

bool WinShell::ShowInFolder(const std::string& file) {
    return !file.empty() &&
           Execute(L"open", L"explorer.exe", L"/select,\"" + WideText(file) + L"\"");
}
