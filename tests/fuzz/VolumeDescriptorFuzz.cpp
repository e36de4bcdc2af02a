// A disc image, or anything in a drive: a label, when one is found, is text fit for the In
// Folder/Disk cell, and ReadLabel prefers UDF to ISO 9660 as it says.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const VolumeDescriptor::ReadBytes read = VolumeDescriptor::FromMemory(BytesOf(data, size));
    const std::optional<std::string> udf = VolumeDescriptor::ReadUdfLabel(read);
    const std::optional<std::string> iso = VolumeDescriptor::ReadIso9660Label(read);
    const std::optional<std::string> label = VolumeDescriptor::ReadLabel(read);
    CheckLabel(udf);
    CheckLabel(iso);
    Require(label == (udf ? udf : iso), "UDF first, then ISO 9660");
    return 0;
}
