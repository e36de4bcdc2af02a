#include "export/CsvWriter.h"

#include <array>
#include <optional>

#include "browse/FieldDisplay.h"
#include "catalog/CatalogRow.h"
#include "catalog/ModifiedTime.h"
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

// Spreadsheets run a cell that begins so as a formula, some after skipping a leading tab or
// carriage return; an apostrophe first keeps it text, as spreadsheet-safety guides advise.
bool LooksLikeFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

}  // namespace

Result CsvWriter::Write(const ExportRows& rows, ByteSink& sink) {
    ChunkedOutput output(sink);
    std::string& out = output.text();
    out += kByteOrderMark;
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
    if (LooksLikeFormula(text)) {
        std::string guarded = "'";
        guarded += text;
        AppendPlainField(guarded, out);
        return;
    }
    AppendPlainField(text, out);
}

void CsvWriter::AppendPlainField(std::string_view text, std::string& out) {
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
    const std::optional<ModifiedTime> time = ModifiedTime::Parse(cell);
    if (!time || time->iso) {
        return cell;
    }
    scratch.clear();
    time->AppendIso(scratch);
    return scratch;
}
