#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The label of a disc, read from its volume descriptors: UDF, Joliet or plain ISO 9660.
// Every function works on a reader, so a device, an image file and a memory buffer are read
// the same way, and every length read from the disc is checked before use.
class VolumeDescriptor {
public:
    // The bytes at [offset, offset + size); fewer (or none) past the end or on a read error.
    using ReadBytes = std::function<std::string(std::uint64_t offset, std::size_t size)>;

    // UDF first: a bridge disc's ISO 9660 name is often a shortened copy of it.
    static std::optional<std::string> ReadLabel(const ReadBytes& read);
    // Joliet when present, as it keeps case and long names; else the primary descriptor.
    static std::optional<std::string> ReadIso9660Label(const ReadBytes& read);
    // The logical volume identifier when present, else the primary volume identifier.
    static std::optional<std::string> ReadUdfLabel(const ReadBytes& read);

    static ReadBytes FromMemory(std::string_view bytes);
};
