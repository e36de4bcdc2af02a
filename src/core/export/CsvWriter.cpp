#include "export/CsvWriter.h"

#include <array>
#include <charconv>
#include <optional>

#include "browse/FieldDisplay.h"
#include "catalog/CatalogRow.h"
#include "export/ExportRows.h"
#include "export/ExportText.h"

namespace {

constexpr unsigned char kQuoted = 1;    // a byte that makes the field quoted
constexpr unsigned char kNonAscii = 2;  // a byte that may need converting

// One table lookup a byte: most fields are short plain ASCII and need neither.
constexpr std::array<unsigned char, 256> kByteKinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (const unsigned char c : {'"', ',', '\r', '\n', '\t'}) {
        kinds[c] = kQuoted;
    }
    for (int c = 0x80; c < 0x100; ++c) {
        kinds[c] = kNonAscii;
    }
    return kinds;
}();

// The number of two digits at `at`, or nothing.
std::optional<int> TwoDigits(std::string_view text, std::size_t at) {
    const char high = text[at];
    const char low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') {
        return std::nullopt;
    }
    return (high - '0') * 10 + (low - '0');
}

void AppendPadded(int value, int width, std::string& out) {
    char digits[8];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    out.append(static_cast<std::size_t>(width - (end - digits)), '0');
    out.append(digits, end);
}

}  // namespace

Result CsvWriter::Write(const ExportRows& rows, ByteSink& sink) {
    ChunkedOutput output(sink);
    std::string& out = output.text();
    for (int column = 0; column < kAllColumnCount; ++column) {
        out += column == 0 ? "" : ",";
        AppendField(ColumnTitle(column), out);
    }
    out += "\r\n";
    std::string scratch;
    for (int index = 0; index < rows.Count(); ++index) {
        const std::array<std::string_view, kAllColumnCount> texts = RowTexts(rows.Row(index));
        for (int column = 0; column < kAllColumnCount; ++column) {
            std::string_view text = texts[column];
            if (column == kSize) {
                text = SizeField(text, scratch);
            } else if (column == kModified) {
                text = ModifiedField(text, scratch);
            }
            if (column > 0) {
                out += ',';
            }
            AppendField(text, out);
        }
        out += "\r\n";
        if (Result written = output.Ready(); !written) {
            return written;
        }
    }
    return output.Finish();
}

void CsvWriter::AppendField(std::string_view text, std::string& out) {
    unsigned kinds = 0;
    for (const char c : text) {
        kinds |= kByteKinds[static_cast<unsigned char>(c)];
    }
    if (kinds == 0) {
        out += text;
        return;
    }
    if ((kinds & kQuoted) == 0) {
        AppendShownText(text, out);
        return;
    }
    std::string shown;
    AppendShownText(text, shown);
    out += '"';
    for (const char c : shown) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

std::string_view CsvWriter::SizeField(std::string_view cell, std::string& scratch) {
    const std::optional<std::uint64_t> bytes = SizeBytes(cell);
    if (!bytes || cell.find_first_of("0123456789") == std::string_view::npos) {
        return cell;
    }
    scratch = std::to_string(*bytes);
    return scratch;
}

std::string_view CsvWriter::ModifiedField(std::string_view cell, std::string& scratch) {
    // "MM/DD/YY HH:MM AM"
    if (cell.size() != 17 || cell[2] != '/' || cell[5] != '/' || cell[8] != ' ' ||
        cell[11] != ':' || cell[14] != ' ' || cell[16] != 'M' ||
        (cell[15] != 'A' && cell[15] != 'P')) {
        return cell;
    }
    const std::optional<int> month = TwoDigits(cell, 0);
    const std::optional<int> day = TwoDigits(cell, 3);
    const std::optional<int> year = TwoDigits(cell, 6);
    const std::optional<int> hour12 = TwoDigits(cell, 9);
    const std::optional<int> minute = TwoDigits(cell, 12);
    if (!month || !day || !year || !hour12 || !minute || *month < 1 || *month > 12 || *day < 1 ||
        *day > 31 || *hour12 < 1 || *hour12 > 12 || *minute > 59) {
        return cell;
    }
    const int hour = *hour12 % 12 + (cell[15] == 'P' ? 12 : 0);
    scratch.clear();
    AppendPadded(*year < 69 ? 2000 + *year : 1900 + *year, 4, scratch);
    scratch += '-';
    AppendPadded(*month, 2, scratch);
    scratch += '-';
    AppendPadded(*day, 2, scratch);
    scratch += 'T';
    AppendPadded(hour, 2, scratch);
    scratch += ':';
    AppendPadded(*minute, 2, scratch);
    return scratch;
}
