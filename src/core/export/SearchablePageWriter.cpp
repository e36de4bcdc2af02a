#include "export/SearchablePageWriter.h"

#include <array>
#include <cstdio>

#include "browse/FieldDisplay.h"
#include "browse/TextFold.h"
#include "catalog/CatalogRow.h"
#include "catalog/Utf8.h"
#include "export/ExportRows.h"
#include "export/ExportText.h"
#include "export/HtmlPageWriter.h"
#include "export/SearchablePageText.h"

namespace {

// The columns the search box looks in, in the order the page joins them.
constexpr std::array<int, 12> kSearched{kArtist, kTrack,       kFolderDisk,  kPath,
                                        kAlbum,  kAlbumArtist, kTrackNumber, kDisc,
                                        kYear,   kGenre,       kLength,      kBitrate};

}  // namespace

Result SearchablePageWriter::Write(const ExportRows& rows, ByteSink& sink) const {
    ChunkedOutput output(sink);
    std::string& out = output.text();
    out = Head();
    out += "<script type=\"application/json\" id=\"fold\">";
    out += FoldTable();
    out += "</script>\n<script type=\"application/json\" id=\"rows\">[";
    for (int index = 0; index < rows.Count(); ++index) {
        if (index > 0) {
            out += ",\n";
        }
        AppendRowData(rows.Row(index), out);
        if (Result written = output.Ready(); !written) {
            return written;
        }
    }
    out += "]</script>\n<script>";
    out += kSearchablePageScript;
    out += "</script>\n</body>\n</html>\n";
    return output.Finish();
}

std::string SearchablePageWriter::Head() const {
    std::string head =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    HtmlPageWriter::AppendEscaped(title_, head);
    head += "</title>\n<style>";
    head += kSearchablePageStyle;
    head += "</style>\n</head>\n<body>\n<header><h1>";
    HtmlPageWriter::AppendEscaped(title_, head);
    head +=
        "</h1><input id=\"q\" type=\"search\" placeholder=\"Search\" aria-label=\"Search\" "
        "autocomplete=\"off\" autofocus> <span id=\"count\"></span></header>\n"
        "<div class=\"list\"><table id=\"list\"><thead><tr>";
    for (int column = 0; column < kAllColumnCount; ++column) {
        head += "<th>";
        HtmlPageWriter::AppendEscaped(ColumnTitle(column), head);
        head += "</th>";
    }
    head += "</tr></thead><tbody></tbody></table></div>\n";
    head += "<button id=\"more\" type=\"button\" hidden>Show more</button>\n";
    return head;
}

void SearchablePageWriter::AppendRowData(const CatalogRow& row, std::string& out) {
    const std::array<std::string_view, kAllColumnCount> texts = RowTexts(row);
    bool plain = true;
    for (const int column : kSearched) {
        plain = plain && !HasNonAscii(texts[column]);
    }
    // Trailing empty cells are left out of a plain row: the page reads them as empty.
    int cells = kAllColumnCount;
    while (plain && cells > 0 && texts[cells - 1].empty()) {
        --cells;
    }
    out += '[';
    for (int column = 0; column < cells; ++column) {
        if (column > 0) {
            out += ',';
        }
        AppendJsonString(texts[column], out);
    }
    if (!plain) {
        std::string key;
        for (const int column : kSearched) {
            if (column != kSearched.front()) {
                key += '\t';
            }
            AppendFolded(texts[column], key);
        }
        out += ',';
        AppendJsonString(key, out);
    }
    out += ']';
}

void SearchablePageWriter::AppendJsonString(std::string_view text, std::string& out) {
    std::string shown;
    AppendShownText(text, shown);
    out += '"';
    for (std::size_t at = 0; at < shown.size(); ++at) {
        const char c = shown[at];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";  // every folded row holds eleven
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte == 0xE2 && at + 2 < shown.size() &&
                   static_cast<unsigned char>(shown[at + 1]) == 0x80 &&
                   (static_cast<unsigned char>(shown[at + 2]) & 0xFE) == 0xA8) {
            // The line and paragraph separators end a line in older script parsers.
            out += static_cast<unsigned char>(shown[at + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            at += 2;
        } else {
            out += c;
        }
    }
    out += '"';
}

// The page decomposes the query and drops its marks itself; the table holds what else the
// program's folding does, character by character: case, the plain Latin letters, and the
// few marks that fold to a letter.
std::string SearchablePageWriter::FoldTable() {
    static const std::string kTable = [] {
        constexpr char32_t kEnd = 0x20000;  // past it no character folds
        std::string table = "{";
        std::string character;
        std::string decomposed;
        for (char32_t code = 0x80; code < kEnd; ++code) {
            if (code >= 0xD800 && code <= 0xDFFF) {
                continue;
            }
            character.clear();
            AppendUtf8(code, character);
            decomposed.clear();
            AppendCanonical(character, decomposed);
            const std::string folded = Folded(character);
            const std::string_view unchanged =
                IsCombiningMark(code) ? std::string_view() : std::string_view(character);
            if (decomposed != character || folded == unchanged) {
                continue;
            }
            if (table.size() > 1) {
                table += ',';
            }
            AppendJsonString(character, table);
            table += ':';
            AppendJsonString(folded, table);
        }
        table += '}';
        return table;
    }();
    return kTable;
}
