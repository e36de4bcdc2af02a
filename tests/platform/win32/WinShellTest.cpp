#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WinApi.h"
#include "WinShell.h"
#include "WinTempFolder.h"
#include "WinText.h"

namespace {

// A file type of the test's own whose verbs copy the file they are given to a marker file,
// as a player registers "enqueue".
class TestFileType {
public:
    explicit TestFileType(const std::wstring& markers) {
        SetKey(L".plumettest", L"PlumetTest.Media");
        for (const wchar_t* verb : {L"open", L"enqueue"}) {
            SetKey(std::wstring(L"PlumetTest.Media\\shell\\") + verb + L"\\command",
                   L"C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + markers + L"\\" + verb +
                       L".txt\"");
        }
        SetKey(L".plumetbare", L"PlumetTest.Bare");
        SetKey(L"PlumetTest.Bare\\shell\\open\\command", L"C:\\windows\\system32\\cmd.exe /c rem");
    }
    ~TestFileType() {
        for (const wchar_t* key :
             {L".plumettest", L"PlumetTest.Media", L".plumetbare", L"PlumetTest.Bare"}) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
            RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
        }
    }
    TestFileType(const TestFileType&) = delete;
    TestFileType& operator=(const TestFileType&) = delete;

private:
    static void SetKey(const std::wstring& path, const std::wstring& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
};

// The verb's program runs on its own: wait a while for what it writes.
std::string AwaitMarker(const std::wstring& path) {
    for (int wait = 0; wait < 1000; ++wait) {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) {
            return bytes;
        }
        Sleep(20);
    }
    return {};
}

}  // namespace

TEST(WinShell, HandsFilesToTheVerbsTheirTypeRegisters) {
    const WinTempFolder folder;
    const TestFileType type(folder.Wide());
    const std::string song = folder.Utf8("\xE2\x99\xAB song.plumettest");
    std::ofstream(std::filesystem::path(WideText(song)), std::ios::binary) << "queued bytes";
    const std::string bare = folder.Utf8("bare.plumetbare");
    std::ofstream(std::filesystem::path(WideText(bare)), std::ios::binary) << "x";

    WinShell shell;
    ASSERT_TRUE(shell.Enqueue(song));
    EXPECT_EQ(AwaitMarker(folder.Wide() + L"\\enqueue.txt"), "queued bytes");
    ASSERT_TRUE(shell.Open(song));
    EXPECT_EQ(AwaitMarker(folder.Wide() + L"\\open.txt"), "queued bytes");
    // No player took the file: the type has no "enqueue".
    EXPECT_FALSE(shell.Enqueue(bare));
    EXPECT_FALSE(shell.Open(""));
    EXPECT_FALSE(shell.Enqueue(folder.Utf8("missing.plumettest")));
}
