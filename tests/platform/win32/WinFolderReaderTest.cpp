#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "WinApi.h"

#include <winioctl.h>
#include "WinFolderReader.h"
#include "WinTempFolder.h"
#include "WinText.h"

namespace {

// False when the file system refuses the name.
bool MakeFile(const std::wstring& path, std::size_t size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string bytes(size, 'x');
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    // 2001-02-03 04:05:06 UTC
    const std::uint64_t ticks = (981173106ULL * 10'000'000ULL) + 116444736000000000ULL;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return true;
}

// Starts a program of the host system under Wine ("/bin/ln"), which cannot be waited for;
// false when it cannot be started.
bool RunOnHost(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    using UnixName = char* (*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) {
        return false;
    }
    // The command line is split as Windows splits it, at blanks outside double quotes.
    std::wstring command = program;
    for (const std::wstring& argument : arguments) {
        const bool path = argument.size() > 2 && argument[1] == L':';
        command += L" \"" + (path ? *WideFromUtf8(unixName(argument.c_str())) : argument) + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    std::wstring file = L"Z:" + program;
    std::replace(file.begin(), file.end(), L'/', L'\\');
    if (!CreateProcessW(file.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child)) {
        return false;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return true;
}

// Waits a few seconds at most for the link the host makes or removes.
bool AwaitLink(const std::wstring& link, bool present) {
    for (int wait = 0; wait < 500; ++wait) {
        if ((GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) == present) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// A junction from `link` to `target`; where the file system has none (Wine), a symbolic
// link made by the host system, which Windows programs see as the folder it leads to.
class FolderLink {
public:
    FolderLink(std::wstring link, const std::wstring& target) : link_(std::move(link)) {
        CreateDirectoryW(link_.c_str(), nullptr);
        const HANDLE folder =
            CreateFileW(link_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const std::wstring substitute = L"\\??\\" + target;
        struct {
            DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
            WORD dataLength = 0;
            WORD reserved = 0;
            WORD substituteOffset = 0;
            WORD substituteLength = 0;
            WORD printOffset = 0;
            WORD printLength = 0;
            wchar_t paths[1024] = {};
        } junction;
        junction.substituteLength = static_cast<WORD>(substitute.size() * 2);
        junction.printOffset = static_cast<WORD>(junction.substituteLength + 2);
        std::memcpy(junction.paths, substitute.data(), substitute.size() * 2);
        junction.dataLength = static_cast<WORD>(8 + junction.printOffset + 2);
        DWORD returned = 0;
        made_ = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &junction, junction.dataLength + 8,
                                nullptr, 0, &returned, nullptr);
        CloseHandle(folder);
        if (!made_) {
            RemoveDirectoryW(link_.c_str());
            hostLink_ = RunOnHost(L"/bin/ln", {L"-s", target, link_});
            made_ = hostLink_ && AwaitLink(link_, true);
        }
    }
    // Removed first, so that no cleanup follows it round the loop.
    ~FolderLink() {
        if (hostLink_) {
            RunOnHost(L"/bin/rm", {link_});
            AwaitLink(link_, false);
        } else {
            RemoveDirectoryW(link_.c_str());
        }
    }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    bool Made() const { return made_; }

private:
    std::wstring link_;
    bool made_ = false;
    bool hostLink_ = false;
};

struct Walk {
    std::map<std::string, std::uint64_t> files;  // path below the root, to size
    std::set<std::int64_t> times;
    int folders = 0;
};

// The scan's walk: each folder once, by its identity, whatever path leads there.
void WalkFolder(FolderReader& reader, const std::string& folder, const std::string& below,
                std::set<FolderReader::FolderIdentity>& walked, Walk& walk) {
    std::error_code error;
    const std::unique_ptr<FolderReader::Listing> listing = reader.Open(folder, error);
    ASSERT_TRUE(listing) << folder << ": " << error.message();
    if (!walked.insert(listing->Identity()).second) {
        return;
    }
    ++walk.folders;
    std::vector<std::string> subFolders;
    std::string_view name;
    FolderReader::EntryKind kind;
    while (listing->Next(name, kind)) {
        if (kind == FolderReader::EntryKind::Folder) {
            subFolders.emplace_back(name);
        } else if (kind == FolderReader::EntryKind::File) {
            const std::optional<FolderReader::FileFacts> facts = listing->Facts();
            ASSERT_TRUE(facts);
            walk.files[below + std::string(name)] = facts->size;
            walk.times.insert(facts->modifiedSeconds);
        }
    }
    EXPECT_EQ(listing->Cause(), "");
    for (const std::string& sub : subFolders) {
        WalkFolder(reader, folder + "\\" + sub, below + sub + "\\", walked, walk);
    }
}

}  // namespace

TEST(WinFolderReader, AWalkSeesEveryNameAsStoredAndEachFolderOnce) {
    const WinTempFolder root;
    const std::wstring& base = root.Wide();
    const std::wstring subName = L"Bj\x00F6rk";
    const std::wstring sub = base + L"\\" + subName;
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    // Non-ASCII, beyond the BMP, and unpaired surrogates, which NTFS allows in names and
    // Wine, whose names are UTF-8 on the host, refuses.
    const std::wstring names[] = {L"plain.mp3", L"\xD83C\xDFB5 Song.flac",
                                  subName + L"\\J\x00F3ga \x2014 live.ogg",
                                  subName + L"\\\xD800 lone.mp3", L"end \xDC01.mp3"};
    std::map<std::string, std::uint64_t> expected;
    for (const std::wstring& name : names) {
        const std::size_t size = 10 * (expected.size() + 1);
        if (MakeFile(base + L"\\" + name, size)) {
            expected[Utf8FromWide(name)] = size;
        } else {
            const bool wellFormed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name.data(),
                                                        static_cast<int>(name.size()), nullptr, 0,
                                                        nullptr, nullptr) > 0;
            EXPECT_FALSE(wellFormed) << "only a name with an unpaired surrogate may be refused";
        }
    }
    ASSERT_GE(expected.size(), 3u);
    const FolderLink loop(sub + L"\\loop", base);
    ASSERT_TRUE(loop.Made());

    WinFolderReader reader;
    std::set<FolderReader::FolderIdentity> walked;
    Walk walk;
    WalkFolder(reader, root.Utf8(), "", walked, walk);
    EXPECT_EQ(walk.files, expected);
    EXPECT_EQ(walk.folders, 2);
    EXPECT_EQ(walk.times, std::set<std::int64_t>{981173106});

    // Every stored name leads back to its file.
    for (const auto& [path, size] : expected) {
        WIN32_FILE_ATTRIBUTE_DATA facts{};
        const std::wstring wide = WideText(root.Utf8(path));
        ASSERT_TRUE(GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &facts)) << path;
        EXPECT_EQ(facts.nFileSizeLow, size) << path;
    }
}

TEST(WinFolderReader, AFolderThatCannotBeListedSaysWhy) {
    const WinTempFolder root;
    MakeFile(root.Wide() + L"\\file.mp3", 1);
    WinFolderReader reader;
    std::error_code error;
    EXPECT_FALSE(reader.Open(root.Utf8("missing"), error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(reader.Open(root.Utf8("file.mp3"), error));
    EXPECT_EQ(error, std::errc::not_a_directory);
    // The root of a drive lists without its trailing separator doubled.
    const std::unique_ptr<FolderReader::Listing> drive = reader.Open("C:\\", error);
    ASSERT_TRUE(drive);
    std::string_view name;
    FolderReader::EntryKind kind;
    bool sawWindows = false;
    while (drive->Next(name, kind)) {
        sawWindows |= name == "windows" && kind == FolderReader::EntryKind::Folder;
    }
    EXPECT_TRUE(sawWindows);
}
