// The WindowPos setting, as the settings file holds it: what parses formats to text that
// parses to the same placement.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "frame/WindowPlacement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<WindowPlacement> placement =
        WindowPlacement::Parse(std::string(BytesOf(data, size)));
    if (placement) {
        Require(WindowPlacement::Parse(placement->Format()) == placement,
                "a formatted placement parses back");
        placement->ForSaving(true);
    }
    return 0;
}
