#include "VolumeDescriptor.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#include "catalog/Utf8.h"

namespace {

constexpr std::uint64_t kSectorSize = 2048;
constexpr std::uint64_t kFirstDescriptorSector = 16;
// Real discs have a handful of descriptors; the limits only stop garbage from looping.
constexpr int kMaxIsoDescriptors = 64;
constexpr int kMaxRecognitionDescriptors = 32;
constexpr std::uint32_t kMaxSequenceBlocks = 64;

std::uint8_t Byte(std::string_view bytes, std::size_t at) {
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : 0;
}

std::uint16_t Little16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(Byte(bytes, at) | (Byte(bytes, at + 1) << 8));
}

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(Little16(bytes, at)) |
           (static_cast<std::uint32_t>(Little16(bytes, at + 2)) << 16);
}

// Big-endian UTF-16 units; a NUL ends the text, a lone surrogate becomes U+FFFD.
std::string Utf16BigEndianToUtf8(std::string_view bytes) {
    std::vector<std::uint32_t> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t unit = (Byte(bytes, i) << 8) | Byte(bytes, i + 1);
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            AppendUtf8(
                static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00)),
                out);
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            AppendUtf8(static_cast<char32_t>(0xFFFD), out);
        } else {
            AppendUtf8(static_cast<char32_t>(unit), out);
        }
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (c == '\0') {
            break;
        }
        AppendUtf8(static_cast<char32_t>(static_cast<std::uint8_t>(c)), out);
    }
    return out;
}

std::optional<std::string> NonEmptyTrimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.pop_back();
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

std::string ReadExactly(const VolumeDescriptor::ReadBytes& read, std::uint64_t offset,
                        std::size_t size) {
    std::string bytes = read(offset, size);
    if (bytes.size() != size) {
        return {};
    }
    return bytes;
}

// OSTA compressed unicode in a field whose last byte is the used length.
std::optional<std::string> DecodeDstring(std::string_view field) {
    if (field.size() < 2) {
        return std::nullopt;
    }
    const std::size_t used = Byte(field, field.size() - 1);
    if (used < 2 || used > field.size() - 1) {
        return std::nullopt;
    }
    const std::uint8_t compression = Byte(field, 0);
    const std::string_view characters = field.substr(1, used - 1);
    if (compression == 8) {
        return NonEmptyTrimmed(Latin1ToUtf8(characters));
    }
    if (compression == 16) {
        return NonEmptyTrimmed(Utf16BigEndianToUtf8(characters));
    }
    return std::nullopt;
}

struct Tag {
    std::uint16_t identifier = 0;
    std::uint32_t location = 0;
};

std::optional<Tag> ReadTag(std::string_view block) {
    if (block.size() < 16) {
        return std::nullopt;
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i != 4) {
            sum = static_cast<std::uint8_t>(sum + Byte(block, i));
        }
    }
    // An all-zero block sums to a valid checksum too, but has no descriptor in it.
    if (sum != Byte(block, 4) || Little16(block, 0) == 0) {
        return std::nullopt;
    }
    return Tag{Little16(block, 0), Little32(block, 12)};
}

bool HasUdfRecognition(const VolumeDescriptor::ReadBytes& read) {
    for (int i = 0; i < kMaxRecognitionDescriptors; ++i) {
        const std::string descriptor =
            ReadExactly(read, (kFirstDescriptorSector + i) * kSectorSize, 7);
        if (descriptor.empty()) {
            return false;
        }
        const std::string_view identifier = std::string_view(descriptor).substr(1, 5);
        if (identifier == "NSR02" || identifier == "NSR03") {
            return true;
        }
        // Sectors between descriptors of larger blocks read as zeros; anything else that is
        // not a known recognition descriptor ends the sequence.
        if (identifier != "BEA01" && identifier != "TEA01" && identifier != "CD001" &&
            identifier != "BOOT2" && identifier != "CDW02" &&
            identifier != std::string_view("\0\0\0\0\0", 5)) {
            return false;
        }
    }
    return false;
}

struct UdfSequence {
    std::uint64_t blockSize = 0;
    std::uint64_t location = 0;
    std::uint64_t blocks = 0;
};

// The main volume descriptor sequence, as the anchor at block 256 points to it.
std::optional<UdfSequence> FindUdfSequence(const VolumeDescriptor::ReadBytes& read) {
    if (!HasUdfRecognition(read)) {
        return std::nullopt;
    }
    constexpr std::array<std::uint64_t, 4> kBlockSizes = {2048, 512, 1024, 4096};
    constexpr std::uint32_t kAnchorBlock = 256;
    for (const std::uint64_t blockSize : kBlockSizes) {
        const std::string anchor = ReadExactly(read, kAnchorBlock * blockSize, 32);
        const std::optional<Tag> anchorTag = ReadTag(anchor);
        if (!anchorTag || anchorTag->identifier != 2 || anchorTag->location != kAnchorBlock) {
            continue;
        }
        const std::uint32_t length = Little32(anchor, 16);
        const std::uint64_t blocks = std::min<std::uint64_t>(
            (static_cast<std::uint64_t>(length) + blockSize - 1) / blockSize, kMaxSequenceBlocks);
        return UdfSequence{blockSize, Little32(anchor, 20), blocks};
    }
    return std::nullopt;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// libblkid's rule: the first 16 bytes of the identifier in UTF-8 (whole characters only),
// kept as they are when all are hexadecimal digits, else partly or wholly written in hex.
std::optional<std::string> IdFromVolumeSet(std::string_view field) {
    std::size_t used = Byte(field, field.size() - 1);
    if (used > 0) {
        --used;
    }
    used = std::min(used, field.size() - 2);
    const std::string_view characters = field.substr(1, used);
    std::string text;
    if (Byte(field, 0) == 8) {
        text = Latin1ToUtf8(characters);
    } else if (Byte(field, 0) == 16) {
        text = Utf16BigEndianToUtf8(characters);
    } else {
        return std::nullopt;
    }
    std::size_t length = std::min<std::size_t>(text.size(), 16);
    while (length < text.size() && (static_cast<std::uint8_t>(text[length]) & 0xC0) == 0x80) {
        --length;  // a character that does not fit whole is left out
    }
    if (length < 8) {
        return std::nullopt;
    }
    std::string bytes = text.substr(0, length);
    bytes.resize(16, '\0');
    const std::size_t hexDigits = static_cast<std::size_t>(
        std::find_if_not(bytes.begin(), bytes.end(), IsHexDigit) - bytes.begin());
    const auto hex = [&](std::size_t from, std::size_t to) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string out;
        for (std::size_t i = from; i < to; ++i) {
            const auto byte = static_cast<std::uint8_t>(bytes[i]);
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0xF];
        }
        return out;
    };
    const auto lower = [&](std::size_t count) {
        std::string out = bytes.substr(0, count);
        std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
        return out;
    };
    if (hexDigits < 8) {
        return hex(0, 8);
    }
    if (hexDigits < 16) {
        return lower(8) + hex(8, 12);
    }
    return lower(16);
}

}  // namespace

std::optional<std::string> VolumeDescriptor::ReadLabel(const ReadBytes& read) {
    if (std::optional<std::string> udf = ReadUdfLabel(read)) {
        return udf;
    }
    return ReadIso9660Label(read);
}

std::optional<std::string> VolumeDescriptor::ReadIso9660Label(const ReadBytes& read) {
    std::optional<std::string> primary;
    std::optional<std::string> joliet;
    for (int i = 0; i < kMaxIsoDescriptors; ++i) {
        const std::string descriptor =
            ReadExactly(read, (kFirstDescriptorSector + i) * kSectorSize, 120);
        if (descriptor.empty() || descriptor.compare(1, 5, "CD001") != 0) {
            break;
        }
        const std::uint8_t type = Byte(descriptor, 0);
        const std::string_view identifier = std::string_view(descriptor).substr(40, 32);
        if (type == 255) {
            break;
        }
        if (type == 1 && !primary) {
            primary = NonEmptyTrimmed(std::string(identifier.substr(0, identifier.find('\0'))));
        } else if (type == 2 && !joliet) {
            const std::string_view escape = std::string_view(descriptor).substr(88, 3);
            if (escape == "%/@" || escape == "%/C" || escape == "%/E") {
                joliet = NonEmptyTrimmed(Utf16BigEndianToUtf8(identifier));
            }
        }
    }
    return joliet ? joliet : primary;
}

std::optional<std::string> VolumeDescriptor::ReadUdfLabel(const ReadBytes& read) {
    const std::optional<UdfSequence> sequence = FindUdfSequence(read);
    if (!sequence) {
        return std::nullopt;
    }
    std::optional<std::string> volume;
    std::optional<std::string> logical;
    for (std::uint64_t i = 0; i < sequence->blocks && !logical; ++i) {
        const std::string block =
            ReadExactly(read, (sequence->location + i) * sequence->blockSize, 212);
        const std::optional<Tag> tag = ReadTag(block);
        if (!tag) {
            continue;  // an unrecorded block inside the extent
        }
        if (tag->identifier == 8) {
            break;
        }
        if (tag->identifier == 1 && !volume) {
            volume = DecodeDstring(std::string_view(block).substr(24, 32));
        } else if (tag->identifier == 6) {
            logical = DecodeDstring(std::string_view(block).substr(84, 128));
        }
    }
    return logical ? logical : volume;
}

std::optional<std::string> VolumeDescriptor::ReadId(const ReadBytes& read) {
    // libblkid takes a disc with a UDF volume for UDF, even when it has no identity there.
    if (FindUdfSequence(read)) {
        return ReadUdfId(read);
    }
    return ReadIso9660Id(read);
}

std::optional<std::string> VolumeDescriptor::ReadIso9660Id(const ReadBytes& read) {
    constexpr std::size_t kCreated = 813;
    constexpr std::size_t kModified = 830;
    constexpr std::size_t kDateSize = 17;  // 16 digits and the zone offset
    const std::string descriptor =
        ReadExactly(read, kFirstDescriptorSector * kSectorSize, kModified + kDateSize);
    if (descriptor.empty() || descriptor.compare(1, 5, "CD001") != 0) {
        return std::nullopt;
    }
    const auto isUnset = [&](std::size_t at) {
        return descriptor.compare(at, 16, "0000000000000000") == 0 &&
               Byte(descriptor, at + 16) == 0;
    };
    const std::size_t at = isUnset(kModified) ? kCreated : kModified;
    if (isUnset(at)) {
        return std::nullopt;
    }
    const std::string_view date = std::string_view(descriptor).substr(at, 16);
    if (!std::all_of(date.begin(), date.end(), [](char c) { return c >= ' ' && c <= '~'; })) {
        return std::nullopt;
    }
    // Year, month, day, hour, minute, second, hundredths.
    std::string id(date.substr(0, 4));
    for (std::size_t at = 4; at < date.size(); at += 2) {
        id += '-';
        id += date.substr(at, 2);
    }
    return id;
}

std::optional<std::string> VolumeDescriptor::ReadUdfId(const ReadBytes& read) {
    const std::optional<UdfSequence> sequence = FindUdfSequence(read);
    if (!sequence) {
        return std::nullopt;
    }
    constexpr std::size_t kVolumeSet = 72;
    constexpr std::size_t kVolumeSetSize = 128;
    for (std::uint64_t i = 0; i < sequence->blocks; ++i) {
        const std::uint64_t location = sequence->location + i;
        const std::string block =
            ReadExactly(read, location * sequence->blockSize, kVolumeSet + kVolumeSetSize);
        // As libblkid walks the sequence: the first block that is not the descriptor
        // recorded for its place ends it.
        const std::uint16_t identifier = Little16(block, 0);
        if (block.empty() || identifier == 0 || Little32(block, 12) != location ||
            identifier == 8) {
            break;
        }
        if (identifier == 1) {
            if (std::optional<std::string> id =
                    IdFromVolumeSet(std::string_view(block).substr(kVolumeSet, kVolumeSetSize))) {
                return id;
            }
        }
    }
    return std::nullopt;
}

VolumeDescriptor::ReadBytes VolumeDescriptor::FromMemory(std::string_view bytes) {
    return [bytes](std::uint64_t offset, std::size_t size) {
        if (offset >= bytes.size()) {
            return std::string();
        }
        return std::string(bytes.substr(static_cast<std::size_t>(offset), size));
    };
}

VolumeDescriptor::ReadBytes VolumeDescriptor::FromDescriptor(int fd) {
    return [fd](std::uint64_t offset, std::size_t size) {
        std::string bytes(size, '\0');
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got =
                ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
        return bytes;
    };
}
