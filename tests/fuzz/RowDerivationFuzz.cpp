// A file name as the scan finds it on a disc, and the folder it was found in: the row keeps
// both whole, and Artist and Track never cut a UTF-8 character of the name.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "FuzzSupport.h"
#include "scan/RowDerivation.h"

namespace {

// Lead and continuation bytes only; enough to see a character cut in two.
bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80       ? 1
                                   : lead >> 5 == 6  ? 2
                                   : lead >> 4 == 14 ? 3
                                   : lead >> 3 == 30 ? 4
                                                     : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    // A NUL stands between the folder and the name, as neither can hold one.
    const std::size_t nul = bytes.find('\0');
    const std::string_view folder =
        nul == std::string_view::npos ? "/media/cdrom" : bytes.substr(0, nul);
    const std::string_view name = nul == std::string_view::npos ? bytes : bytes.substr(nul + 1);
    std::tm modified{};
    modified.tm_year = static_cast<int>(size % 300);
    modified.tm_hour = static_cast<int>(size % 24);
    const DerivedRow row = DeriveRow(folder, name, size * 1000003, modified, "\xC2\xA0");
    Require(row[kFolderDisk] == folder, "the folder is kept whole");
    Require(row[kPath].ends_with(name), "the path ends with the name");
    Require(row[kModified].size() == 17, "the time has its fixed width");
    if (IsValidUtf8(name) && IsValidUtf8(folder)) {
        Require(IsValidUtf8(row[kArtist]) && IsValidUtf8(row[kTrack]),
                "names of valid UTF-8 give valid UTF-8 cells");
    }
    return 0;
}
