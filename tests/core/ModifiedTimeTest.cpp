#include "catalog/ModifiedTime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <tuple>

#include "browse/CellKeys.h"
#include "export/CsvWriter.h"

namespace {

struct Time {
    int year, month, day, hour, minute;
    auto Tuple() const { return std::tie(year, month, day, hour, minute); }
};

std::string Printed(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// Random times the program's form can carry, each written the ways a catalog may hold it:
// the scan's form with and without leading zeros or capitals, and ISO 8601 with a "T" or a
// space, with or without seconds. Every spelling sorts with its time, the CSV writes the
// program's form as ISO 8601 and keeps ISO 8601 as it is.
TEST(ModifiedTimeTest, EverySpellingOfATimeSortsAndWritesByOneRule) {
    std::mt19937 random(1969);
    std::pair<Time, std::int64_t> previous{};
    for (int n = 0; n < 3000; ++n) {
        const Time t{1969 + static_cast<int>(random() % 100), 1 + static_cast<int>(random() % 12),
                     1 + static_cast<int>(random() % 31), static_cast<int>(random() % 24),
                     static_cast<int>(random() % 60)};
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        const char* half =
            t.hour < 12 ? (random() % 2 ? "AM" : "am") : (random() % 2 ? "PM" : "pM");
        const std::string program = random() % 2
                                        ? Printed("%02d/%02d/%02d %02d:%02d %s", t.month, t.day,
                                                  t.year % 100, hour12, t.minute, half)
                                        : Printed("%d/%d/%02d %d:%02d %s", t.month, t.day,
                                                  t.year % 100, hour12, t.minute, half);
        const std::string iso =
            Printed("%04d-%02d-%02dT%02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
        const std::string isoSpaced = Printed("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month,
                                              t.day, t.hour, t.minute, n % 60);

        // The CSV's text says the parse found every part of the time.
        std::string scratch;
        EXPECT_EQ(CsvWriter::ModifiedField(program, scratch), iso) << program;
        EXPECT_EQ(CsvWriter::ModifiedField(isoSpaced, scratch), isoSpaced);
        const std::optional<std::int64_t> key = ModifiedMinutes(program);
        ASSERT_TRUE(key) << program;
        EXPECT_EQ(ModifiedMinutes(iso), key) << iso;
        EXPECT_EQ(ModifiedMinutes(isoSpaced), key) << isoSpaced;
        if (n > 0) {  // in the order of the times
            EXPECT_EQ(previous.first.Tuple() < t.Tuple(), previous.second < *key) << program;
            EXPECT_EQ(previous.first.Tuple() == t.Tuple(), previous.second == *key) << program;
        }
        previous = {t, *key};
    }

    // The two-digit years at their edges; a date alone is its midnight.
    EXPECT_EQ(ModifiedTime::Parse("12/31/68 11:59 PM")->year, 2068);
    EXPECT_EQ(ModifiedTime::Parse("01/01/69 12:00 AM")->year, 1969);
    EXPECT_EQ(ModifiedMinutes("2019-05-23"), ModifiedMinutes("05/23/19 12:00 AM"));

    // The program's form at its edges is ColumnSortTest's; these are ISO 8601's.
    for (const char* notATime : {"2019-5-23", "19-05-23", "2019-05-23T24:00", "2019-05-23T05",
                                 "2019-05-23 05:34:60", "2019-05-23T05:34Z", "2019-13-01T00:00",
                                 "2019-05-23x", "2019-05-23T05:34:5", "01/02/2003 04:05 PM"}) {
        EXPECT_FALSE(ModifiedTime::Parse(notATime)) << notATime;
        std::string scratch;
        EXPECT_EQ(CsvWriter::ModifiedField(notATime, scratch), notATime);
    }
}

}  // namespace
