// The bytes of /proc/<pid>/comm or cmdline, as LinuxProcesses matches them against the
// player's name: the base name is the end of the first word, never a path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "LinuxProcesses.h"

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    const std::string_view comm = LinuxProcesses::CommName(bytes);
    Require(comm.size() + 1 >= bytes.size(), "comm loses at most its line end");
    Require(LinuxProcesses::NameMatches(comm, Upper(comm)), "case does not count");

    const std::string_view base = LinuxProcesses::ProgramBaseName(bytes);
    const std::string_view first = bytes.substr(0, bytes.find('\0'));
    Require(base.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos,
            "a base name holds no separator");
    Require(first.ends_with(base), "a base name ends the first word");
    Require(LinuxProcesses::NameMatches(base, "winamp.exe") == (Upper(base) == "WINAMP.EXE"),
            "names match without regard to ASCII case only");
    return 0;
}
