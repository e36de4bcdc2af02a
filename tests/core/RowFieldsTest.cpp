#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "catalog/CatalogFile.h"
#include "catalog/RecordCodec.h"
#include "catalog/RowFields.h"
#include "catalog/RowLine.h"
#include "support/MemoryBytes.h"

namespace {

std::string Unmasked(std::string_view raw) {
    std::string text(raw);
    for (char& c : text) {
        c = static_cast<char>(c ^ RecordCodec::kMask);
    }
    return text;
}

// How every earlier build read a record line: six cells, the pieces before Path dropped.
RowCells OldReaderCells(const std::string& line, std::vector<std::string>& storage) {
    const RowCells split = SplitRowLine(line);
    RowCells cells;
    storage.assign(kColumnCount, {});
    for (int column = 0; column < kColumnCount; ++column) {
        for (std::size_t i = 0; i < split[column].size(); ++i) {
            const auto byte = static_cast<unsigned char>(split[column][i]);
            if (byte == RecordCodec::kEscape && i + 1 < split[column].size()) {
                storage[column] += static_cast<char>(split[column][++i] ^ 0x80);
            } else {
                storage[column] += static_cast<char>(byte);
            }
        }
        cells[column] = storage[column];
    }
    return cells;
}

// How every earlier build wrote a row, before masking: escaped cells joined by tabs.
std::string OldWriterLine(const RowCells& cells) {
    std::string line;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            line += '\t';
        }
        for (const char c : cells[column]) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == 0x00 || byte == 0x09 || byte == 0x7F || byte == 0xC5 || byte == 0xC8 ||
                byte == 0xCF) {
                line += static_cast<char>(RecordCodec::kEscape);
                line += static_cast<char>(byte ^ 0x80);
            } else {
                line += c;
            }
        }
    }
    return line;
}

}  // namespace

// Random rows with random fields, set and cleared in any order, next to unknown pieces:
// each field reads back as last set, known pieces stay in column order and unknown ones in
// theirs, the file keeps them all, an old reader sees the same six cells, and a row without
// fields is written exactly as before.
TEST(RowFieldsTest, FieldsTravelWhereOlderReadersDropThem) {
    std::mt19937 random(1414);
    const std::string alphabet("aZ =\t\n\r\x7F\xC5\xC8\xCF\xC3\xA9\x01", 15);
    const auto text = [&](std::size_t most) {
        std::string value(random() % (most + 1), ' ');
        for (char& c : value) {
            c = alphabet[random() % alphabet.size()];
        }
        return value;
    };
    const std::vector<std::string> unknownNames{"volume", "mount", "x-1", "edited"};

    CatalogList list;
    std::vector<CatalogRow> expected;
    std::vector<std::map<int, std::string>> models;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> cells(kColumnCount);
        for (std::string& cell : cells) {
            cell = text(6);
        }
        CatalogRow row(RowCells{cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]});
        std::map<int, std::string> model;
        std::vector<std::string> unknown;
        for (int step = random() % 12; step > 0; --step) {
            if (random() % 4 == 0) {
                // A newer build's piece, written after what is there.
                const std::string piece =
                    unknownNames[random() % unknownNames.size()] + "=" + text(4);
                std::string fields(row.Fields());
                AppendFieldPiece(piece, fields);
                row.SetFields(fields);
                unknown.push_back(piece);
                std::replace(unknown.back().begin(), unknown.back().end(), '\t', ' ');
                continue;
            }
            const int column = kColumnCount + random() % (kAllColumnCount - kColumnCount);
            std::string value = random() % 4 == 0 ? std::string() : text(5);
            row.SetCell(column, value);
            for (char& c : value) {
                c = c == '\t' || c == '\n' || c == '\r' || c == '\0' ? ' ' : c;
            }
            if (value.empty()) {
                model.erase(column);
            } else {
                model[column] = value;
            }
        }
        for (int column = kColumnCount; column < kAllColumnCount; ++column) {
            EXPECT_EQ(row.Cell(column), model.count(column) ? model[column] : "") << round;
        }
        int lastKnown = -1;
        std::vector<std::string> unknownSeen;
        ForEachMiddlePiece(row.Fields(), [&](std::string_view piece) {
            const std::string_view name = piece.substr(0, piece.find('='));
            if (const std::optional<Column> known = FieldColumn(name)) {
                EXPECT_GT(*known, lastKnown) << round << " " << row.Fields();
                lastKnown = *known;
            } else {
                unknownSeen.emplace_back(piece);
            }
        });
        EXPECT_EQ(unknownSeen, unknown) << round;
        expected.push_back(row);
        models.push_back(model);
    }
    list.ReplaceRows(expected);

    MemorySink sink;
    ASSERT_TRUE(CatalogFile::StoreCatalog(list, sink));
    MemorySource source(sink.bytes);
    const CatalogFile::Contents contents = CatalogFile::ReadCatalog(source);
    EXPECT_EQ(contents.rows, expected);

    std::size_t at = 4;
    for (const CatalogRow& row : expected) {
        const std::size_t end = sink.bytes.find('\n', at);
        const std::string line = Unmasked(std::string_view(sink.bytes).substr(at, end - at));
        std::vector<std::string> storage;
        EXPECT_EQ(OldReaderCells(line, storage), row.Cells()) << line;
        if (row.Fields().empty()) {
            EXPECT_EQ(line, OldWriterLine(row.Cells()));
        }
        at = end + 1;
    }
}

TEST(RowFieldsTest, RowLinesKeepOnlyPiecesOfTheFieldForm) {
    const CatalogRow row =
        ParseRowLine("a\tb\tc\td\te\tlegacy\talbum=X=Y\tfuture=1\t=no\tNo=caps\tyear=\t/p");
    EXPECT_EQ(row.Cells(), (RowCells{"a", "b", "c", "d", "e", "/p"}));
    EXPECT_EQ(row.Fields(), "album=X=Y\tfuture=1\tyear=");
    EXPECT_EQ(row.Cell(kAlbum), "X=Y");
    EXPECT_EQ(JoinRowLine(row), "a\tb\tc\td\te\talbum=X=Y\tfuture=1\tyear=\t/p");
    std::string cells;
    AppendRowCells(row, cells);
    EXPECT_EQ(cells, "a\tb\tc\td\te\t/p");
}
