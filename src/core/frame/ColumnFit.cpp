#include "frame/ColumnFit.h"

#include <algorithm>
#include <cstdint>

namespace ColumnFit {

std::vector<int> Widths(int available, std::span<const Want> columns, int filler) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    std::int64_t preferred = 0;
    std::int64_t slack = 0;
    for (const Want& want : columns) {
        const int minimum = std::max(0, want.minimum);
        const int wanted = std::max(minimum, want.preferred);
        widths.push_back(wanted);
        preferred += wanted;
        slack += wanted - minimum;
    }
    if (widths.empty()) {
        return widths;
    }
    if (preferred <= available) {
        if (filler >= 0 && filler < static_cast<int>(widths.size())) {
            widths[static_cast<std::size_t>(filler)] += static_cast<int>(available - preferred);
        }
        return widths;
    }
    const std::int64_t excess = std::min(preferred - available, slack);
    if (excess == slack) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            widths[i] = std::max(0, columns[i].minimum);
        }
        return widths;
    }
    // Rounded down each, so what is still to take goes one pixel at a time to the columns
    // that can give it, from the first.
    std::int64_t taken = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const std::int64_t room = widths[i] - std::max(0, columns[i].minimum);
        const std::int64_t take = room * excess / slack;
        widths[i] -= static_cast<int>(take);
        taken += take;
    }
    for (std::size_t i = 0; taken < excess; i = (i + 1) % widths.size()) {
        if (widths[i] > std::max(0, columns[i].minimum)) {
            --widths[i];
            ++taken;
        }
    }
    return widths;
}

}  // namespace ColumnFit
