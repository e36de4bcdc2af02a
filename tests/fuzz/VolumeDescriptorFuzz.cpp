// A disc image, or anything in a drive: a label, when one is found, is text fit for the In
// Folder/Disk cell, and ReadLabel prefers UDF to ISO 9660 as it says. An identity has the
// shape libblkid gives it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "VolumeDescriptor.h"

namespace {

void CheckLabel(const std::optional<std::string>& label) {
    if (!label) {
        return;
    }
    Require(!label->empty(), "a label is never empty");
    Require(label->back() != ' ', "a label has no trailing padding");
    Require(label->find('\0') == std::string::npos, "a label holds no NUL");
}

void CheckIds(const VolumeDescriptor::ReadBytes& read) {
    const std::optional<std::string> udf = VolumeDescriptor::ReadUdfId(read);
    const std::optional<std::string> iso = VolumeDescriptor::ReadIso9660Id(read);
    const std::optional<std::string> id = VolumeDescriptor::ReadId(read);
    if (udf) {
        Require(
            udf->size() == 16 && udf->find_first_not_of("0123456789abcdef") == std::string::npos,
            "a UDF identity is 16 lowercase hexadecimal digits");
        Require(id == udf, "a UDF identity comes first");
    }
    if (iso) {
        Require(iso->size() == 22, "an ISO 9660 identity is a date of 22 characters");
        for (std::size_t i = 0; i < iso->size(); ++i) {
            const char c = (*iso)[i];
            const bool dash = i == 4 || (i > 4 && (i - 4) % 3 == 0);
            Require(dash ? c == '-' : (c >= ' ' && c <= '~'), "the date's shape");
        }
    }
    Require(!id || id == udf || id == iso, "the identity is one of the two");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const VolumeDescriptor::ReadBytes read = VolumeDescriptor::FromMemory(BytesOf(data, size));
    const std::optional<std::string> udf = VolumeDescriptor::ReadUdfLabel(read);
    const std::optional<std::string> iso = VolumeDescriptor::ReadIso9660Label(read);
    const std::optional<std::string> label = VolumeDescriptor::ReadLabel(read);
    CheckLabel(udf);
    CheckLabel(iso);
    Require(label == (udf ? udf : iso), "UDF first, then ISO 9660");
    CheckIds(read);
    return 0;
}
