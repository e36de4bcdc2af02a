#include "catalog/FileErrorText.h"

namespace {

std::string Fill(std::string pattern, const std::string& path) {
    const std::size_t at = pattern.find("%1");
    if (at != std::string::npos) {
        pattern.replace(at, 2, path);
    }
    return pattern;
}

}  // namespace

std::string FileErrorText(std::error_code error, const std::string& path) {
    if (error.category() != std::generic_category() && error.category() != std::system_category()) {
        return Fill("An unexpected file error occurred while accessing %1.", path);
    }
    switch (static_cast<std::errc>(error.value())) {
        case std::errc::no_such_file_or_directory:
            return Fill("%1 was not found.", path);
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
        case std::errc::read_only_file_system:
            return Fill("Access to %1 was denied.", path);
        case std::errc::is_a_directory:
            return Fill("%1 is a folder, not a catalog file.", path);
        case std::errc::not_a_directory:
        case std::errc::filename_too_long:
        case std::errc::too_many_symbolic_link_levels:
        case std::errc::invalid_argument:
            return Fill("%1 contains an invalid path.", path);
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return Fill("%1 could not be opened because there are too many open files.", path);
        case std::errc::no_space_on_device:
        case std::errc::file_too_large:
            return Fill("Disk full while accessing %1.", path);
        case std::errc::io_error:
            return Fill("A hardware I/O error was reported while accessing %1.", path);
        default:
            return Fill("An unexpected file error occurred while accessing %1 (", path) +
                   error.message() + ").";
    }
}
