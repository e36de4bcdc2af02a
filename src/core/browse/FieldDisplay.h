#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a field's stored value reads for a person, in the list and in the pages written from
// it. Length is stored as whole seconds and shows as a clock; the other fields show as stored.

// "m:ss", or "h:mm:ss" from an hour up; a value that is not a whole number of seconds shows
// as it stands, so nothing a catalog holds is hidden.
std::string LengthText(std::string_view seconds);

// The bytes a Size cell counts: its digits, whatever separators group them ("1,234,567" and
// "1.234.567" alike); nothing when the number does not fit in 64 bits.
std::optional<std::uint64_t> SizeBytes(std::string_view cell);

// A number of bytes for a person: "512 bytes", then with one decimal in steps of 1,024,
// "1.2 KB", "3.4 MB", "1.2 GB", "5.0 TB" up to "PB".
std::string SizeText(std::uint64_t bytes);

// A total time: "h:mm:ss", and from a day up "N days h:mm:ss" ("1 day 0:00:00").
std::string DurationText(std::uint64_t seconds);

// A column's title as the list's header shows it: "Artist" to "Bitrate"; empty for a column
// outside 0..13.
std::string_view ColumnTitle(int column);

// A column's starting width in pixels at 96 dots per inch.
int ColumnStartWidth(int column);

// A cell as the list shows it: Length as a clock, the rest as stored.
std::string ShownCellText(int column, std::string_view cell);

// The tip of a row whose disc is not connected, naming the disc's label.
std::string AwayRowTip(std::string_view label);
