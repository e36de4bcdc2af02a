#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "WinApi.h"
#include "WinFiles.h"
#include "WinFolderReader.h"
#include "WinTempFolder.h"
#include "WinText.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    WinFiles files;
    Files::OpenedFile opened;
    if (!files.OpenForReading(path, opened)) {
        return "<unreadable>";
    }
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t got = 0; opened.source->Read(buffer, sizeof buffer, got) && got > 0;) {
        bytes.append(buffer, got);
    }
    return bytes;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::path(*WideFromUtf8(path)), std::ios::binary | std::ios::trunc) << bytes;
}

Result Save(const std::string& path, const std::string& bytes) {
    WinFiles files;
    return files.ReplaceFile(
        path, [&](ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
}

// What a save left behind besides the file itself.
int Debris(const WinTempFolder& folder) {
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Wide())) {
        count += entry.path().filename().wstring().starts_with(L".plumet-save-") ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(WinFiles, ReplacingAndRenamingKeepOneFileWholeAndSayWhatWentWrong) {
    const WinTempFolder folder;
    WinFiles files;
    const std::string catalog = folder.Utf8("\xE2\x99\xAB catalog.plm");  // U+266B
    ASSERT_TRUE(Save(catalog, "first"));
    EXPECT_EQ(Read(catalog), "first");
    Files::OpenedFile opened;
    ASSERT_TRUE(files.OpenForReading(catalog, opened));
    EXPECT_EQ(files.StateOf(catalog), opened.state);
    opened.source.reset();

    ASSERT_TRUE(Save(catalog, "second, longer"));
    EXPECT_EQ(Read(catalog), "second, longer");
    EXPECT_NE(files.StateOf(catalog), opened.state);

    // A write that fails leaves the old file and no temporary one.
    const Result failed = files.ReplaceFile(catalog, [](ByteSink& sink) {
        EXPECT_TRUE(sink.Write("partial", 7));
        return Result::Failure("stopped");
    });
    EXPECT_FALSE(failed);
    EXPECT_EQ(Read(catalog), "second, longer");
    EXPECT_EQ(Debris(folder), 0);

    const std::string missing = folder.Utf8("none\\x.plm");
    EXPECT_EQ(Save(missing, "x").error(), missing + " was not found.");
    EXPECT_EQ(files.OpenForReading(missing, opened).error(), missing + " was not found.");
    EXPECT_EQ(files.OpenForReading(folder.Utf8(), opened).error(),
              folder.Utf8() + " is a folder, not a catalog file.");
    EXPECT_FALSE(files.StateOf(missing).has_value());

    const std::string other = folder.Utf8("other.plm");
    Write(other, "other");
    EXPECT_EQ(files.RenameWithoutReplacing(catalog, other).error(),
              "Unable to rename " + catalog + " to " + other +
                  ": a file with the new name already exists.");
    EXPECT_EQ(Read(catalog), "second, longer");
    EXPECT_EQ(Read(other), "other");
    const std::string renamed = folder.Utf8("renamed.plm");
    ASSERT_TRUE(files.RenameWithoutReplacing(catalog, renamed));
    EXPECT_EQ(Read(renamed), "second, longer");
    EXPECT_EQ(files.RenameWithoutReplacing(catalog, renamed).error(),
              "Unable to rename " + catalog + " to " + renamed + ": the file was not found.");
}

TEST(WinFiles, AStoredPathThatIsNotUtf8IsOpenedInTheAnsiCodePage) {
    const WinTempFolder folder;
    const std::string ansiName = "Caf\xE9 \xC0 la carte.plm";
    wchar_t wideName[64] = {};
    const int length = MultiByteToWideChar(CP_ACP, 0, ansiName.data(),
                                           static_cast<int>(ansiName.size()), wideName, 63);
    ASSERT_GT(length, 0);
    Write(folder.Utf8(Utf8FromWide(std::wstring_view(wideName, length))), "old catalog");
    EXPECT_EQ(Read(folder.Utf8(ansiName)), "old catalog");
}

TEST(WinFiles, AKilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    const WinTempFolder folder;
    const std::string target = folder.Utf8("catalog.plm");
    constexpr std::size_t kNewSize = 6 << 20;
    const std::string oldBytes(4 << 20, 'o');
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);

    std::mt19937 random(20261210);
    std::uniform_int_distribution<DWORD> delay(0, 400);
    int landedNew = 0;
    for (int iteration = 0; iteration < 12; ++iteration) {
        Write(target, oldBytes);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --save-forever \"" +
                               *WideFromUtf8(target) + L"\" " + std::to_wstring(kNewSize);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &child));
        Sleep(delay(random));
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(child.hProcess, &status);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        ASSERT_EQ(status, 9u) << "the saving child stopped by itself";

        const std::string bytes = Read(target);
        const bool isOld = bytes == oldBytes;
        const bool isNew = bytes == std::string(kNewSize, 'n');
        ASSERT_TRUE(isOld || isNew)
            << "iteration " << iteration << ": " << bytes.size() << " bytes";
        landedNew += isNew ? 1 : 0;
        // A killed save may leave its temporary file, never a changed target.
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.Wide())) {
            if (entry.path().filename() != L"catalog.plm") {
                fs::remove(entry.path());
            }
        }
    }
    RecordProperty("landedNew", landedNew);
}

// Wine takes long paths in any form; Windows only with the prefix, so its form is checked too.
TEST(WinFiles, PathsPastTheOldLengthLimitTakeTheLongFormAndWork) {
    const WinTempFolder folder;
    std::string deep = folder.Utf8();
    for (int level = 0; level < 6; ++level) {
        deep += "\\" + std::string(50, static_cast<char>('a' + level));
        ASSERT_TRUE(CreateDirectoryW(SystemPath(deep).c_str(), nullptr)) << deep.size();
    }
    const std::string catalog = deep + "/x/../catalog.plm";
    const std::wstring system = SystemPath(catalog);
    EXPECT_TRUE(system.starts_with(L"\\\\?\\") && system.ends_with(L"f\\catalog.plm"));
    EXPECT_EQ(system.find_first_of(L"/"), std::wstring::npos);
    EXPECT_EQ(system.find(L"\\.."), std::wstring::npos);
    EXPECT_EQ(SystemPath("\\\\server\\share\\" + std::string(300, 'n')).substr(0, 8),
              L"\\\\?\\UNC\\");
    EXPECT_EQ(SystemPath(folder.Utf8("short.plm")), *WideFromUtf8(folder.Utf8("short.plm")));

    ASSERT_TRUE(Save(catalog, "far down"));
    EXPECT_EQ(Read(deep + "\\catalog.plm"), "far down");
    WinFolderReader reader;
    std::error_code error;
    const std::unique_ptr<FolderReader::Listing> listing = reader.Open(deep, error);
    ASSERT_TRUE(listing) << error.message();
    std::string_view name;
    FolderReader::EntryKind kind{};
    ASSERT_TRUE(listing->Next(name, kind));
    EXPECT_EQ(name, "catalog.plm");
}
