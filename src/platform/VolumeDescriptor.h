#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The label and the identity of a disc, read from its volume descriptors: UDF, Joliet or
// plain ISO 9660. Every function works on a reader, so a device, an image file and a memory buffer
// are read the same way, and every length read from the disc is checked before use.
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

    // The UUID libblkid gives the disc, so a disc named by udev and one read here get the same
    // identity: UDF's when the disc has a UDF volume, else ISO 9660's.
    static std::optional<std::string> ReadId(const ReadBytes& read);
    // The volume's modification date, or its creation date when that is unset, as
    // "YYYY-MM-DD-HH-MM-SS-CC".
    static std::optional<std::string> ReadIso9660Id(const ReadBytes& read);
    // From the first 16 bytes of the volume set identifier: lowercase hexadecimal digits.
    static std::optional<std::string> ReadUdfId(const ReadBytes& read);

    static ReadBytes FromMemory(std::string_view bytes);
    // Reads through an open file descriptor, which must outlive the reader.
    static ReadBytes FromDescriptor(int fd);
};
