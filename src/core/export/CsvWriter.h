#pragma once

#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"

class ExportRows;

// The rows as comma-separated values for spreadsheets and scripts (RFC 4180): a header row of
// every column's title, then one record per row, each ending in CR LF, all in UTF-8 after a
// byte order mark, without which spreadsheets take the bytes for their own code page. Size is
// a plain count of bytes and Modified an ISO 8601 local time, so that both sort and compute.
class CsvWriter {
public:
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

    static Result Write(const ExportRows& rows, ByteSink& sink);

    // One field, quoted when it holds a quote, a comma, a line break or a tab, and with an
    // apostrophe first when it begins with "=", "+", "-", "@", a tab or a carriage return,
    // which a spreadsheet would run as a formula.
    static void AppendField(std::string_view text, std::string& out);
    // "1,234,567" as "1234567"; a cell with no digits, or too many, stays as it is.
    static std::string_view SizeField(std::string_view cell, std::string& scratch);
    // "03/05/24 02:07 PM" as "2024-03-05T14:07" (see ModifiedTime); a cell already in ISO
    // 8601 or of any other form stays as it is.
    static std::string_view ModifiedField(std::string_view cell, std::string& scratch);

private:
    static void AppendPlainField(std::string_view text, std::string& out);
};
