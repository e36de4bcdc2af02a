#include "browse/StatisticsText.h"

#include <array>

#include "scan/RowDerivation.h"

namespace {

constexpr std::array<const char*, 6> kUnits{"bytes", "KB", "MB", "GB", "TB", "PB"};

std::string_view DecimalPoint(std::string_view separator) {
    return separator == "." ? "," : ".";
}

// Tenths of `value` units of `unitBytes`, rounded half up, without passing through a double
// (which would lose the last digits of the largest sizes).
std::uint64_t Tenths(std::uint64_t value, std::uint64_t unitBytes) {
    const std::uint64_t whole = value / unitBytes;
    const std::uint64_t rest = value % unitBytes;
    // rest * 10 cannot overflow: unitBytes is at most 2^50.
    return whole * 10 + (rest * 10 + unitBytes / 2) / unitBytes;
}

std::string TenthsText(std::uint64_t tenths, std::string_view separator) {
    return GroupedNumber(tenths / 10, separator) + std::string(DecimalPoint(separator)) +
           static_cast<char>('0' + tenths % 10);
}

}  // namespace

std::string GroupedNumber(std::uint64_t value, std::string_view separator) {
    return FormatSize(value, separator);
}

std::string ReadableSize(std::uint64_t bytes, std::string_view separator) {
    if (bytes < 1024) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    std::size_t unit = 1;
    std::uint64_t unitBytes = 1024;
    // 1,023.96 KB would read "1,024.0 KB": move up once it rounds to 1,024.
    while (unit + 1 < kUnits.size() && Tenths(bytes, unitBytes) >= 10240) {
        unitBytes *= 1024;
        ++unit;
    }
    return TenthsText(Tenths(bytes, unitBytes), separator) + ' ' + kUnits[unit];
}

std::string CountOrUnknown(std::uint64_t count, bool known, std::string_view separator) {
    return known ? GroupedNumber(count, separator) : std::string("unknown");
}

SizeScale ScaleFor(std::uint64_t largest) {
    std::size_t unit = 0;
    std::uint64_t unitBytes = 1;
    while (unit + 1 < kUnits.size() && largest / unitBytes >= 1024) {
        unitBytes *= 1024;
        ++unit;
    }
    return {kUnits[unit], unitBytes};
}

std::string ScaledText(std::uint64_t value, const SizeScale& scale, std::string_view separator) {
    if (scale.bytes <= 1) {
        return GroupedNumber(value, separator);
    }
    return TenthsText(Tenths(value, scale.bytes), separator);
}

std::vector<ChartBar> TopBarsWithOther(std::vector<ChartBar> bars, std::size_t most) {
    if (most == 0 || bars.size() <= most) {
        return bars;
    }
    ChartBar other{"Other", 0, true};
    for (std::size_t i = most - 1; i < bars.size(); ++i) {
        other.value =
            bars[i].value > UINT64_MAX - other.value ? UINT64_MAX : other.value + bars[i].value;
    }
    bars.resize(most - 1);
    bars.push_back(std::move(other));
    return bars;
}
