#include "browse/RenameErrorText.h"

namespace {

std::string Reason(std::error_code error) {
    if (error.category() != std::generic_category() && error.category() != std::system_category()) {
        return error.message();
    }
    switch (static_cast<std::errc>(error.value())) {
        case std::errc::file_exists:
            return "a file with the new name already exists";
        case std::errc::no_such_file_or_directory:
            return "the file was not found";
        case std::errc::not_a_directory:
        case std::errc::too_many_symbolic_link_levels:
            return "its folder was not found";
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
            return "access was denied";
        case std::errc::read_only_file_system:
            return "the disc or folder is read-only";
        case std::errc::filename_too_long:
            return "the new name is too long";
        case std::errc::device_or_resource_busy:
        case std::errc::text_file_busy:
            return "the file is in use";
        case std::errc::no_space_on_device:
            return "the disk is full";
        default:
            return error.message();
    }
}

}  // namespace

std::string RenameErrorText(std::error_code error, const std::string& from, const std::string& to) {
    return "Unable to rename " + from + " to " + to + ": " + Reason(error) + ".";
}
