#include "scan/RowDerivation.h"

#include <mutex>

#include "catalog/PathParts.h"
#include "catalog/TextTrim.h"

namespace {

constexpr std::string_view kNameSpaces = " \t\n\v\f\r";

std::string_view TrimLeading(std::string_view text) {
    return TrimStart(text, kNameSpaces);
}

std::string_view TrimTrailing(std::string_view text) {
    return TrimEnd(text, kNameSpaces);
}

std::string_view DropLeadingDash(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        return TrimLeading(text.substr(1));
    }
    return text;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where to cut so that the character holding byte `dropped` goes as a whole. Bytes that are
// not valid UTF-8 are cut where they stand.
std::size_t StartOfCharacter(std::string_view text, std::size_t dropped) {
    if (!IsContinuationByte(text[dropped])) {
        return dropped;
    }
    std::size_t lead = dropped;
    while (lead > 0 && dropped - lead < 3 && IsContinuationByte(text[lead])) {
        --lead;
    }
    const auto leadByte = static_cast<unsigned char>(text[lead]);
    const bool isLead = leadByte >= 0xC0 && leadByte <= 0xF7;
    return isLead ? lead : dropped;
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

// A drive's root too: the folder name of "D:\\" is "D:".
std::string_view WithoutClosingSlashes(std::string_view folder) {
    while (!folder.empty() && IsFolderSeparator(folder.back())) {
        folder.remove_suffix(1);
    }
    return folder;
}

}  // namespace

bool IsAllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

ArtistTrack SplitArtistTrack(std::string_view folderName, std::string_view fileName) {
    const auto lastDot = fileName.rfind('.');
    const std::string_view extension =
        lastDot == std::string_view::npos ? fileName : fileName.substr(lastDot);
    std::string_view base = fileName.substr(0, fileName.find(extension));
    base = DropLeadingDash(TrimLeading(base));

    ArtistTrack result;
    const auto dash = base.rfind('-');
    std::string_view track;
    if (dash == std::string_view::npos) {
        result.artist = base;
        track = base;
    } else {
        // The byte before the dash is the space of "Artist - Title".
        if (dash >= 2) {
            const std::size_t cut = StartOfCharacter(base, dash - 1);
            result.artist = TrimTrailing(base.substr(0, cut));
        }
        track = base.substr(dash + 1);
    }
    if (IsAllDigits(result.artist)) {
        result.artist = folderName;
    }
    result.track = DropLeadingDash(TrimLeading(track));
    return result;
}

std::string FormatSize(std::uint64_t bytes, std::string_view separator) {
    const std::string digits = std::to_string(bytes);
    if (digits.size() < 4) {
        return digits;
    }
    std::size_t head = digits.size() % 3;
    if (head == 0) {
        head = 3;
    }
    std::string out = digits.substr(0, head);
    for (std::size_t group = head; group < digits.size(); group += 3) {
        out += separator;
        out.append(digits, group, 3);
    }
    return out;
}

std::string FormatModified(const std::tm& local) {
    const int year = (local.tm_year + 1900) % 100;
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::string out;
    out.reserve(17);
    AppendTwoDigits(out, local.tm_mon + 1);
    out += '/';
    AppendTwoDigits(out, local.tm_mday);
    out += '/';
    AppendTwoDigits(out, year < 0 ? year + 100 : year);
    out += ' ';
    AppendTwoDigits(out, hour12);
    out += ':';
    AppendTwoDigits(out, local.tm_min);
    out += local.tm_hour < 12 ? " AM" : " PM";
    return out;
}

std::optional<std::tm> StandardLocalTime(std::int64_t secondsSinceEpoch) {
    const auto time = static_cast<std::time_t>(secondsSinceEpoch);
    // std::localtime returns a shared buffer.
    static std::mutex localtimeLock;
    const std::lock_guard<std::mutex> guard(localtimeLock);
    const std::tm* converted = std::localtime(&time);
    if (converted == nullptr) {
        return std::nullopt;
    }
    return *converted;
}

std::string ModifiedText(std::int64_t secondsSinceEpoch) {
    const std::optional<std::tm> local = StandardLocalTime(secondsSinceEpoch);
    return local ? FormatModified(*local) : std::string();
}

DerivedRow DeriveRow(std::string_view walkedFolder, std::string_view fileName, std::uint64_t size,
                     const std::optional<std::tm>& modified, std::string_view groupSeparator) {
    const std::string_view folder = WithoutClosingSlashes(walkedFolder);
    const std::string_view folderName = FileNameOf(folder);

    ArtistTrack names = SplitArtistTrack(folderName, fileName);
    DerivedRow row;
    row[kArtist] = std::move(names.artist);
    row[kTrack] = std::move(names.track);
    row[kFolderDisk] = walkedFolder;
    row[kSize] = FormatSize(size, groupSeparator);
    if (modified) {
        row[kModified] = FormatModified(*modified);
    }
    row[kPath] = FoundPath(walkedFolder, fileName);
    return row;
}

std::string FoundPath(std::string_view walkedFolder, std::string_view fileName) {
    if (walkedFolder.empty()) {
        return std::string(fileName);
    }
    return JoinPath(WithoutClosingSeparators(walkedFolder), fileName);
}
