#pragma once

#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"

class ExportRows;

// The rows as comma-separated values for spreadsheets and scripts (RFC 4180): a header row of
// every column's title, then one record per row, each ending in CR LF, all in UTF-8. Size is
// a plain count of bytes and Modified an ISO 8601 local time, so that both sort and compute.
class CsvWriter {
public:
    static Result Write(const ExportRows& rows, ByteSink& sink);

    // One field, quoted when it holds a quote, a comma, a line break or a tab.
    static void AppendField(std::string_view text, std::string& out);
    // "1,234,567" as "1234567"; a cell with no digits, or too many, stays as it is.
    static std::string_view SizeField(std::string_view cell, std::string& scratch);
    // "03/05/24 02:07 PM" as "2024-03-05T14:07" (years 69 to 99 are 1969 to 1999, the rest
    // 2000 to 2068); a cell of any other form stays as it is.
    static std::string_view ModifiedField(std::string_view cell, std::string& scratch);
};
