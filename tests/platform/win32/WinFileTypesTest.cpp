#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "WinApi.h"
#include "WinFileTypes.h"

namespace {

constexpr const wchar_t* kClasses = L"Software\\Plumet Tests\\Classes";

std::optional<std::wstring> Text(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kClasses) + L"\\" + key).c_str(), name,
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

void SetText(const std::wstring& key, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kClasses) + L"\\" + key).c_str(), nullptr,
                    REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

// Registering points the type at the program and takes .plm only while no other program
// has it; unregistering takes back only what is still ours.
TEST(WinFileTypes, TakesOnlyAFreeExtensionAndGivesBackOnlyItsOwn) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kClasses);
    WinFileTypes types(kClasses);
    const std::wstring program = L"C:\\Program Files\\Plumet\\plumet.exe";
    ASSERT_TRUE(types.Register(program));
    EXPECT_EQ(Text(L"Plumet.Document"), L"Plumet Document");
    const std::optional<std::wstring> open = Text(L"Plumet.Document\\shell\\open\\command");
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->ends_with(L"plumet.exe \"%1\"")) << *open;
    EXPECT_EQ(Text(L".plm"), L"Plumet.Document");
    EXPECT_EQ(Text(L".plm\\ShellNew", L"NullFile"), L"");
    ASSERT_TRUE(types.Register(program));  // again: nothing changes
    ASSERT_TRUE(types.Unregister());
    EXPECT_FALSE(Text(L"Plumet.Document"));
    EXPECT_FALSE(Text(L".plm"));

    SetText(L".plm", L"Other.Catalog");
    ASSERT_TRUE(types.Register(program));
    EXPECT_EQ(Text(L".plm"), L"Other.Catalog");
    EXPECT_FALSE(Text(L".plm\\ShellNew", L"NullFile"));
    ASSERT_TRUE(types.Unregister());
    EXPECT_EQ(Text(L".plm"), L"Other.Catalog");
    RegDeleteTreeW(HKEY_CURRENT_USER, kClasses);
}
