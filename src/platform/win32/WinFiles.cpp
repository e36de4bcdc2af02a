#include "WinFiles.h"

#include "WinApi.h"

#include <atomic>
#include <string>

#include "Win32Error.h"
#include "WinFileTime.h"
#include "WinHandle.h"
#include "WinText.h"
#include "browse/RenameErrorText.h"
#include "catalog/FileErrorText.h"
#include "catalog/PathParts.h"

namespace {

Result Failure(std::error_code cause, const std::string& path) {
    return Result::Failure(FileErrorText(cause, path), cause);
}

Result LastErrorFailure(const std::string& path) {
    return Failure(LastWin32Error(), path);
}

// A NUL inside a name would cut the path the system sees.
bool HasNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

class HandleSource : public ByteSource {
public:
    HandleSource(WinHandle file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}

    Result Read(char* buffer, std::size_t size, std::size_t& count) override {
        const DWORD chunk = size > (1U << 30) ? (1U << 30) : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(file_.Get(), buffer, chunk, &got, nullptr)) {
            count = 0;
            return LastErrorFailure(path_);
        }
        count = got;
        return Result::Ok();
    }

private:
    WinHandle file_;
    std::string path_;
};

class HandleSink : public ByteSink {
public:
    HandleSink(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}

    Result Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const DWORD chunk = size > (1U << 30) ? (1U << 30) : static_cast<DWORD>(size);
            DWORD put = 0;
            if (!WriteFile(file_, data, chunk, &put, nullptr)) {
                return LastErrorFailure(path_);
            }
            data += put;
            size -= put;
        }
        return Result::Ok();
    }

private:
    HANDLE file_;
    std::string path_;
};

Files::FileState StateOfHandle(const BY_HANDLE_FILE_INFORMATION& info) {
    Files::FileState state;
    state.size = FileSize(info.nFileSizeHigh, info.nFileSizeLow);
    state.modifiedNanoseconds = NanosecondsSince1970(info.ftLastWriteTime);
    state.device = info.dwVolumeSerialNumber;
    state.inode = FileSize(info.nFileIndexHigh, info.nFileIndexLow);
    return state;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return L".";
    }
    return path.substr(0, separator + 1);
}

// A new, empty file beside the one to replace, opened for writing.
WinHandle CreateTemporary(const std::wstring& folder, std::wstring& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder;
        if (name.back() != L'\\' && name.back() != L'/') {
            name += L'\\';
        }
        name += L".plumet-save-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter.fetch_add(1) + 1);
        WinHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen() || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return WinHandle();
}

}  // namespace

Result WinFiles::OpenForReading(const std::string& path, OpenedFile& opened) {
    if (HasNul(path)) {
        return Failure(std::make_error_code(std::errc::invalid_argument), path);
    }
    const std::wstring wide = SystemPath(path);
    WinHandle file(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = GetLastError();
        // A folder cannot be opened without backup semantics: say what it is.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return Failure(std::make_error_code(std::errc::is_a_directory), path);
        }
        return Failure(Win32Error(error), path);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        return LastErrorFailure(path);
    }
    opened.state = StateOfHandle(info);
    opened.size = opened.state.size;
    opened.source = std::make_unique<HandleSource>(std::move(file), path);
    return Result::Ok();
}

std::optional<Files::FileState> WinFiles::StateOf(const std::string& path) {
    if (HasNul(path)) {
        return std::nullopt;
    }
    // No access asked, so a file another program holds locked is still seen; the identity
    // needs a handle, which GetFileAttributesExW does not give.
    WinHandle file(CreateFileW(SystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.IsOpen() || !GetFileInformationByHandle(file.Get(), &info)) {
        return std::nullopt;
    }
    return StateOfHandle(info);
}

Result WinFiles::ReplaceFile(const std::string& path,
                             const std::function<Result(ByteSink&)>& write) {
    if (HasNul(path)) {
        return Failure(std::make_error_code(std::errc::invalid_argument), path);
    }
    const std::wstring target = SystemPath(path);
    std::wstring temporary;
    WinHandle file = CreateTemporary(FolderOf(target), temporary);
    if (!file.IsOpen()) {
        return LastErrorFailure(path);
    }
    HandleSink sink(file.Get(), path);
    Result result = write(sink);
    if (result && !FlushFileBuffers(file.Get())) {
        result = LastErrorFailure(path);
    }
    file = WinHandle();
    // One rename puts the new file in place: ReplaceFileW moves the old file aside first, so
    // a crash between its steps would leave no file under the name at all.
    if (result && !MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        result = LastErrorFailure(path);
    }
    if (!result) {
        DeleteFileW(temporary.c_str());
    }
    return result;
}

Result WinFiles::RenameWithoutReplacing(const std::string& from, const std::string& to) {
    const auto failure = [&](std::error_code cause) {
        return Result::Failure(RenameErrorText(cause, from, to));
    };
    if (HasNul(from) || HasNul(to)) {
        return failure(std::make_error_code(std::errc::invalid_argument));
    }
    if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), 0)) {
        return failure(LastWin32Error());
    }
    return Result::Ok();
}
