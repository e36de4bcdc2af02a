#include "WinFolderReader.h"

#include <string>

#include "Win32Error.h"
#include "WinApi.h"
#include "WinFileTime.h"
#include "WinHandle.h"
#include "WinText.h"

namespace {

// Opens a file or folder through any links, to read its facts.
WinHandle OpenForFacts(const std::wstring& path) {
    return WinHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

FolderReader::EntryKind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FolderReader::EntryKind::Folder;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? FolderReader::EntryKind::Other
                                                : FolderReader::EntryKind::File;
}

class WinListing : public FolderReader::Listing {
public:
    WinListing(std::wstring folder, HANDLE search, const WIN32_FIND_DATAW& first,
               FolderReader::FolderIdentity identity)
        : folder_(std::move(folder)), search_(search), data_(first), identity_(identity) {}
    ~WinListing() override {
        if (search_ != INVALID_HANDLE_VALUE) {
            FindClose(search_);
        }
    }
    WinListing(const WinListing&) = delete;
    WinListing& operator=(const WinListing&) = delete;

    FolderReader::FolderIdentity Identity() const override { return identity_; }
    bool OnPseudoFileSystem() const override { return false; }

    bool Next(std::string_view& name, FolderReader::EntryKind& kind) override {
        cause_.clear();
        for (;;) {
            if (!Advance()) {
                return false;
            }
            const std::wstring_view entry(data_.cFileName);
            if (entry == L"." || entry == L"..") {
                continue;
            }
            current_ = Utf8FromWide(entry);
            name = current_;
            facts_ = FolderReader::FileFacts{FileSize(data_.nFileSizeHigh, data_.nFileSizeLow),
                                             SecondsSince1970(data_.ftLastWriteTime)};
            kind = (data_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                       ? Follow(entry)
                       : KindOf(data_.dwFileAttributes);
            return true;
        }
    }

    std::optional<FolderReader::FileFacts> Facts() override { return facts_; }
    std::string Cause() const override { return cause_; }

private:
    // Moves to the next entry; the first was read when the search began.
    bool Advance() {
        if (search_ == INVALID_HANDLE_VALUE) {
            return false;
        }
        if (first_) {
            first_ = false;
            return true;
        }
        if (FindNextFileW(search_, &data_)) {
            return true;
        }
        // A scratched disc or a dropped network share ends a listing half way.
        if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
            cause_ = Win32Error(error).message();
        }
        return false;
    }

    // Links are walked as what they lead to: the target's kind, size and time.
    FolderReader::EntryKind Follow(std::wstring_view entry) {
        std::wstring path = folder_;
        path += L'\\';
        path += entry;
        const WinHandle target = OpenForFacts(path);
        BY_HANDLE_FILE_INFORMATION info{};
        if (!target.IsOpen() || !GetFileInformationByHandle(target.Get(), &info)) {
            const std::error_code error = LastWin32Error();
            cause_ = error == std::errc::no_such_file_or_directory ? "the link's target is missing"
                                                                   : error.message();
            return FolderReader::EntryKind::Unseen;
        }
        facts_ = FolderReader::FileFacts{FileSize(info.nFileSizeHigh, info.nFileSizeLow),
                                         SecondsSince1970(info.ftLastWriteTime)};
        return KindOf(info.dwFileAttributes);
    }

    std::wstring folder_;
    HANDLE search_;
    WIN32_FIND_DATAW data_;
    bool first_ = true;
    FolderReader::FolderIdentity identity_;
    std::string current_;
    FolderReader::FileFacts facts_;
    std::string cause_;
};

}  // namespace

std::unique_ptr<FolderReader::Listing> WinFolderReader::Open(const std::string& folder,
                                                             std::error_code& error) {
    std::wstring wide = SystemPath(folder);
    while (wide.size() > 1 && (wide.back() == L'\\' || wide.back() == L'/') &&
           wide[wide.size() - 2] != L':') {
        wide.pop_back();
    }
    if (wide.empty() || folder.find('\0') != std::string::npos) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return nullptr;
    }
    const WinHandle handle = OpenForFacts(wide);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.IsOpen() || !GetFileInformationByHandle(handle.Get(), &info)) {
        error = LastWin32Error();
        return nullptr;
    }
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = std::make_error_code(std::errc::not_a_directory);
        return nullptr;
    }
    const FolderReader::FolderIdentity identity{info.dwVolumeSerialNumber,
                                                FileSize(info.nFileIndexHigh, info.nFileIndexLow)};

    if (wide.back() != L'\\' && wide.back() != L'/') {
        wide += L'\\';
    }
    WIN32_FIND_DATAW first{};
    const HANDLE search =
        FindFirstFileExW((wide + L'*').c_str(), FindExInfoBasic, &first, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // The root of an empty drive has not even "." to list.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            error = LastWin32Error();
            return nullptr;
        }
    }
    wide.pop_back();
    return std::make_unique<WinListing>(std::move(wide), search, first, identity);
}
