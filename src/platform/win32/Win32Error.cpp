#include "Win32Error.h"

#include "WinApi.h"

#include <string>

#include "WinText.h"

namespace {

class Win32Category : public std::error_category {
public:
    const char* name() const noexcept override { return "win32"; }

    std::string message(int error) const override {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (length == 0 || text == nullptr) {
            return "Windows error " + std::to_string(static_cast<unsigned long>(error));
        }
        std::string message = Utf8FromWide(std::wstring_view(text, length));
        LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.')) {
            message.pop_back();
        }
        return message;
    }
};

const Win32Category kWin32Category;

std::error_code Posix(std::errc cause) {
    return std::make_error_code(cause);
}

}  // namespace

std::error_code Win32Error(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DEV_NOT_EXIST:
            return Posix(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_ACCESS:
        case ERROR_PRIVILEGE_NOT_HELD:
            return Posix(std::errc::permission_denied);
        case ERROR_WRITE_PROTECT:
            return Posix(std::errc::read_only_file_system);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return Posix(std::errc::device_or_resource_busy);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return Posix(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return Posix(std::errc::no_space_on_device);
        case ERROR_FILE_TOO_LARGE:
            return Posix(std::errc::file_too_large);
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return Posix(std::errc::filename_too_long);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return Posix(std::errc::invalid_argument);
        case ERROR_DIRECTORY:
            return Posix(std::errc::not_a_directory);
        case ERROR_CANT_RESOLVE_FILENAME:
            return Posix(std::errc::too_many_symbolic_link_levels);
        case ERROR_TOO_MANY_OPEN_FILES:
            return Posix(std::errc::too_many_files_open);
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return Posix(std::errc::io_error);
        case ERROR_NOT_SAME_DEVICE:
            return Posix(std::errc::cross_device_link);
        case ERROR_DIR_NOT_EMPTY:
            return Posix(std::errc::directory_not_empty);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return Posix(std::errc::not_enough_memory);
        default:
            return std::error_code(static_cast<int>(error), kWin32Category);
    }
}

std::error_code LastWin32Error() {
    return Win32Error(GetLastError());
}
