#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The date and time a Modified cell holds, read once for every use (sorting, the CSV), in
// either form a catalog may carry: the program's own "MM/DD/YY hh:mm AM" as the scan writes
// it (one-digit month, day and hour and a lower-case "am" taken too), or ISO 8601 as a CSV
// or another program writes it ("2026-12-10T05:34", "2019-05-23 00:00:00", "2019-05-23").
struct ModifiedTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;  // 0 to 23
    int minute = 0;
    bool iso = false;  // read from ISO 8601 rather than the program's form

    // Two-digit years 69 to 99 are 1969 to 1999, 00 to 68 are 2000 to 2068; 12 AM is midnight.
    // Nothing for any other text.
    static std::optional<ModifiedTime> Parse(std::string_view text);

    // Minutes in chronological order; not a calendar count (every month has 31 days here).
    std::int64_t OrderMinutes() const;
    // "2024-03-05T14:07".
    void AppendIso(std::string& out) const;
};
