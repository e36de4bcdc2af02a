// Random rows full of quotes, commas, line breaks, tabs, formula signs and Latin-1 bytes, and
// Modified times in both forms a catalog holds, written as CSV and
// read back by Python's csv module (and by LibreOffice where installed): every cell must come
// back as the window shows it.
#include <gtest/gtest.h>
#include <stdio.h>

#include <array>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "ProgramPath.h"
#include "browse/CatalogView.h"
#include "export/ExportRows.h"
#include "export/ExportTestSupport.h"
#include "export/ExportText.h"
#include "export/ListExport.h"
#include "support/TempFolder.h"

namespace {

// Compares each record of CSV with a line of hex-encoded expected cells; prints what differs.
constexpr const char kCompare[] = R"py(
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8-sig") as f:
    got = list(csv.reader(f))
with open(sys.argv[2]) as f:
    want = [[bytes.fromhex(c).decode("utf-8") for c in line.split(" ")]
            for line in f.read().split("\n") if line]
columns = [int(c) for c in sys.argv[3].split(",")] if len(sys.argv) > 3 else None
if len(got) != len(want):
    print("rows", len(got), "expected", len(want)); sys.exit(1)
for n, (g, w) in enumerate(zip(got, want)):
    if columns:
        g, w = [g[c] for c in columns if c < len(g)], [w[c] for c in columns]
    if g != w:
        print("row", n, repr(g), "expected", repr(w)); sys.exit(1)
print("same")
)py";

std::string Hex(const std::string& text) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : text) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

class CsvReadBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(20241205);
        const std::vector<std::string> pieces = {
            "a",        "Z",    " ", "\"",           ",", "\r", "\n", "\t", "\"\"",
            "\xC3\xA9", "\xE9", "<", "\xE2\x82\xAC", "=", "+",  "-",  "@"};
        const auto text = [&](bool lineBreaks) {
            std::string cell;
            const int length = static_cast<int>(random() % 7);
            for (int i = 0; i < length; ++i) {
                std::string piece = pieces[random() % pieces.size()];
                if (!lineBreaks && piece.find_first_of("\r\n\t") != std::string::npos) {
                    piece = "b";
                }
                cell += piece;
            }
            return cell;
        };
        header_ = {"Artist", "Track", "In Folder/Disk", "Size",      "Modified",
                   "Path",   "Album", "Album Artist",   "Track No.", "Disc",
                   "Year",   "Genre", "Length",         "Bitrate"};
        expected_.push_back(header_);
        for (int n = 0; n < 300; ++n) {
            const unsigned bytes = random() % 5000000;
            const int month = 1 + static_cast<int>(random() % 12);
            const int hour = static_cast<int>(random() % 24);
            const int year = static_cast<int>(random() % 100);
            char modified[32];
            std::snprintf(modified, sizeof modified, "%02d/%02d/%02d %02d:%02d %s", month, 28, year,
                          hour % 12 == 0 ? 12 : hour % 12, 7, hour < 12 ? "AM" : "PM");
            char iso[32];
            std::snprintf(iso, sizeof iso, "%04d-%02d-28T%02d:07",
                          year < 69 ? 2000 + year : 1900 + year, month, hour);
            // A catalog imported from elsewhere holds ISO 8601 already; it is written as it is.
            if (n % 3 == 0) {
                std::snprintf(modified, sizeof modified, "%04d-%02d-28 %02d:07:%02d", 1950 + year,
                              month, hour, year % 60);
                std::snprintf(iso, sizeof iso, "%s", modified);
            }
            std::string size = std::to_string(bytes);
            for (int at = static_cast<int>(size.size()) - 3; at > 0; at -= 3) {
                size.insert(static_cast<std::size_t>(at), ",");
            }
            const std::array<std::string, 4> texts{text(true), text(true), text(true), text(true)};
            const RowCells cells{texts[0], texts[1], texts[2], size, modified, texts[3]};
            CatalogRow row(cells);
            std::vector<std::string> shown;
            for (int column = 0; column < kAllColumnCount; ++column) {
                if (column >= kColumnCount) {
                    row.SetCell(column, text(false));
                }
                std::string cell;
                AppendShownText(row.Cell(column), cell);
                // A cell a spreadsheet would run as a formula comes back with an apostrophe.
                if (!cell.empty() &&
                    std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos) {
                    cell.insert(0, "'");
                }
                shown.push_back(column == kSize       ? std::to_string(bytes)
                                : column == kModified ? std::string(iso)
                                                      : cell);
            }
            list_.AppendRows({row});
            expected_.push_back(shown);
        }
        const CatalogView view(list_);
        PosixFiles files;
        ASSERT_TRUE(files.ReplaceFile(csv_, [&](ByteSink& sink) {
            return ListExport::Write(ListExport::Format::Csv, csv_, ExportRows(view), sink);
        }));
        std::ofstream(script_) << kCompare;
        std::ofstream expected(expectedPath_);
        for (const std::vector<std::string>& row : expected_) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                expected << (i > 0 ? " " : "") << Hex(row[i]);
            }
            expected << "\n";
        }
    }

    std::string Compare(const std::string& csv, const std::string& columns = "") {
        return OutputOf("python3 '" + script_ + "' '" + csv + "' '" + expectedPath_ + "' " +
                        columns + " 2>&1");
    }

    TempFolder folder_{"plumet-csv"};
    std::string csv_ = (folder_.path() / "rows.csv").string();
    std::string script_ = (folder_.path() / "compare.py").string();
    std::string expectedPath_ = (folder_.path() / "expected.txt").string();
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> expected_;
    CatalogList list_;
};

TEST_F(CsvReadBackTest, PythonsCsvModuleReadsEveryCellBack) {
    if (FindOnPath("python3").empty()) {
        GTEST_SKIP() << "python3 is not installed";
    }
    EXPECT_EQ(ReadBytes(csv_).substr(0, 3), "\xEF\xBB\xBF");  // spreadsheets then read UTF-8
    EXPECT_EQ(Compare(csv_), "same\n");
}

TEST_F(CsvReadBackTest, LibreOfficeReadsTheTextColumnsBack) {
    const std::string office = FindOnPath("soffice");
    if (office.empty() || FindOnPath("python3").empty()) {
        GTEST_SKIP() << "LibreOffice is not installed; the file was not read by a spreadsheet";
    }
    // In: comma, quote, UTF-8, first line 1. Out: the same, every text cell quoted.
    const std::string out = (folder_.path() / "out").string();
    OutputOf("HOME='" + folder_.path().string() + "' timeout 300 '" + office +
             "' --headless --infilter=CSV:44,34,76,1 --convert-to "
             "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true' --outdir '" +
             out + "' '" + csv_ + "' 2>&1");
    EXPECT_EQ(Compare(out + "/rows.csv", "0,1,2,5"), "same\n");
}

}  // namespace
