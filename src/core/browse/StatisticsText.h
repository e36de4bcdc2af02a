#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How the statistics read for a person, the same in every window: whole numbers grouped by the
// user's separator, sizes in the unit that suits them, and charts short enough to read.

// "1,234,567" with `separator` between groups of three digits.
std::string GroupedNumber(std::uint64_t value, std::string_view separator);

// "512 bytes", then one decimal in steps of 1,024: "15.7 MB", "1,234.5 GB", up to PB. The
// decimal point is "." unless the separator is itself ".", when it is ",".
std::string ReadableSize(std::uint64_t bytes, std::string_view separator);

// A count, or "unknown" when no row told it (no album fields, no lengths).
std::string CountOrUnknown(std::uint64_t count, bool known, std::string_view separator);

// The unit a chart of sizes reads best in, for its largest value: "bytes", "KB" ... "PB", and
// the bytes of one unit.
struct SizeScale {
    std::string unit;
    std::uint64_t bytes = 1;
};
SizeScale ScaleFor(std::uint64_t largest);
// A value in that unit: whole for bytes, else with one decimal, grouped.
std::string ScaledText(std::uint64_t value, const SizeScale& scale, std::string_view separator);

struct ChartBar {
    std::string name;
    std::uint64_t value = 0;
    bool other = false;  // the sum of the groups left out
};

// At most `most` bars: past that, the first `most - 1` as they come and one "Other" bar that
// sums the rest, last.
constexpr std::size_t kMostBars = 15;
std::vector<ChartBar> TopBarsWithOther(std::vector<ChartBar> bars, std::size_t most = kMostBars);
