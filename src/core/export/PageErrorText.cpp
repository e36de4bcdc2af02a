#include "export/PageErrorText.h"

#include <cerrno>

namespace {

std::string Fill(std::string pattern, const std::string& path) {
    pattern.replace(pattern.find("%1"), 2, path.empty() ? "an unnamed file" : path);
    return pattern;
}

const char* Pattern(std::error_code cause) {
    if (cause.category() != std::generic_category() && cause.category() != std::system_category()) {
        return "An unknown error occurred while accessing %1.";
    }
    switch (static_cast<std::errc>(cause.value())) {
        case std::errc::no_such_file_or_directory:
            return "%1 was not found.";
        case std::errc::not_a_directory:
        case std::errc::filename_too_long:
        case std::errc::too_many_symbolic_link_levels:
        case std::errc::invalid_argument:
            return "%1 contains an invalid path.";
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return "%1 could not be opened because there are too many open files.";
        // A folder in the page's place cannot be written over, as on Windows.
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
        case std::errc::read_only_file_system:
        case std::errc::is_a_directory:
            return "Access to %1 was denied.";
        case std::errc::bad_file_descriptor:
            return "An invalid file handle was associated with %1.";
        case std::errc::too_many_links:
            return "%1 could not be created because the directory is full.";
        case std::errc::invalid_seek:
            return "Seek failed on %1";
        case std::errc::io_error:
            return "A hardware I/O error was reported while accessing %1.";
        case std::errc::text_file_busy:
            return "A sharing violation occurred while accessing %1.";
        case std::errc::no_lock_available:
        case std::errc::resource_deadlock_would_occur:
            return "A locking violation occurred while accessing %1.";
        case std::errc::no_space_on_device:
        case std::errc::file_too_large:
            return "Disk full while accessing %1.";
        default:
            break;
    }
#ifdef EDQUOT
    if (cause.value() == EDQUOT) {
        return "Disk full while accessing %1.";
    }
#endif
    return "An unknown error occurred while accessing %1.";
}

}  // namespace

std::string PageErrorText(std::error_code cause, const std::string& fullPath) {
    return Fill(Pattern(cause), fullPath);
}
