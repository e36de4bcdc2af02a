#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "catalog/CatalogFile.h"
#include "catalog/LineReader.h"
#include "catalog/RecordCodec.h"
#include "catalog/RowLine.h"
#include "support/MemoryBytes.h"
#include "support/RowPrinting.h"
#include "support/TableText.h"

namespace {

constexpr std::size_t kWhole = MemorySource::kWhole;

std::string Masked(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c ^ 0xC5);
    }
    return text;
}

const std::string kHeader("\x01\x00\x00\x00", 4);

std::string Store(const CatalogList& list) {
    MemorySink sink;
    EXPECT_TRUE(CatalogFile::StoreCatalog(list, sink));
    return sink.bytes;
}

std::vector<CatalogRow> Rows(const CatalogList& list) {
    std::vector<CatalogRow> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        rows.push_back(*list.RowRecord(row));
    }
    return rows;
}

std::vector<CatalogRow> Load(const std::string& bytes, std::size_t chunk = kWhole) {
    CatalogList list;
    MemorySource source(bytes, chunk);
    EXPECT_TRUE(CatalogFile::LoadCatalog(list, source, true));
    return Rows(list);
}

bool CountMatches(const std::string& bytes, std::size_t chunk = kWhole) {
    MemorySource source(bytes, chunk);
    return CatalogFile::ReadCatalog(source).countMatches;
}

std::vector<std::string> Lines(const std::vector<CatalogRow>& rows) {
    std::vector<std::string> lines;
    for (const CatalogRow& row : rows) {
        lines.push_back(JoinRowLine(row));
    }
    return lines;
}

TEST(CatalogFileTest, WritesCountThenMaskedLines) {
    CatalogList list;
    EXPECT_EQ(Store(list), std::string(4, '\0'));

    list.InsertRow(0, "");
    EXPECT_EQ(Store(list), kHeader + std::string(5, '\xCC') + "\n");

    list.ReplaceRows({CatalogRow(RowCells{"a", "b", "c", "d", "e", "f"})});
    EXPECT_EQ(Store(list), kHeader + "\xA4\xCC\xA7\xCC\xA6\xCC\xA1\xCC\xA0\xCC\xA3\n");

    // UTF-8 text that avoids the escaped bytes is written exactly as older versions wrote it.
    list.ReplaceRows({ParseRowLine(Tabs("Ab|Cd|E:|1|2|/p")),
                      ParseRowLine(Tabs("Caf\xC3\xA9|\xE2\x82\xAC|||x|/q"))});
    EXPECT_EQ(Store(list), std::string("\x02\0\0\0", 4) + Masked(Tabs("Ab|Cd|E:|1|2|/p")) + "\n" +
                               Masked(Tabs("Caf\xC3\xA9|\xE2\x82\xAC|||x|/q")) + "\n");

    std::vector<CatalogRow> many(300);
    list.ReplaceRows(many);
    const std::string bytes = Store(list);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x2C\x01\x00\x00", 4));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 300);
}

TEST(CatalogFileTest, EscapesBytesThePlainFormCannotHold) {
    CatalogList list;
    list.ReplaceRows({CatalogRow(RowCells{"x\t\x7F\xC5\xC8\xCFy", "", "", "", "", ""})});
    EXPECT_EQ(Store(list), kHeader + "\xBD\xBA\x4C\xBA\x3A\xBA\x80\xBA\x8D\xBA\x8A\xBC" +
                               std::string(5, '\xCC') + "\n");

    // Escapes from other writers: any byte after 0x7F is taken XOR 0x80, and a 0x7F that
    // ends a cell stands for itself.
    EXPECT_EQ(Lines(Load(kHeader + Masked(Tabs("\x7F\x41|z\x7F|\x7F")))),
              (std::vector<std::string>{Tabs("\xC1|z\x7F||||\x7F")}));
}

// The count (1 here) matches when it equals the lines ended by LF; a lone CR splits a row
// but ends no counted line.
TEST(CatalogFileTest, LoadsWhateverLinesFollowTheCount) {
    struct Case {
        std::string body;  // raw bytes after the count
        std::vector<std::string> rows;
        bool countMatches;
    };
    const std::string empty = Tabs("|||||");
    const Case cases[] = {
        {"", {}, false},
        {"\n", {empty}, true},
        {"\n\n", {empty, empty}, false},
        {"\r\n", {empty}, true},
        {"\r", {empty}, false},
        {Masked("a"), {Tabs("|||||a")}, false},
        {Masked("a") + "\r", {Tabs("|||||a")}, false},
        {Masked("a") + "\r\n" + Masked("b") + "\n", {Tabs("|||||a"), Tabs("|||||b")}, false},
        // The byte after a CR is the last byte of the line the CR ended.
        {Masked("ab") + "\r" + Masked("cd") + "\n", {Tabs("|||||abc"), Tabs("|||||d")}, true},
        {Masked("a") + "\r\r" + Masked("b") + "\n", {Tabs("|||||a\xC8"), Tabs("|||||b")}, true},
        {"\r" + Masked("x") + "\n", {Tabs("|||||x"), empty}, true},
        {Masked(Tabs("a|b|c|d|e|x|y|f")) + "\n", {Tabs("a|b|c|d|e|f")}, true},
        {Masked(Tabs("a|b|c|d|f")), {Tabs("a|b|c|d||f")}, false},
        // A decoded NUL ends the line's text.
        {Masked("ab") + "\xC5" + Masked(Tabs("c|d")) + "\n" + Masked("z"),
         {Tabs("|||||ab"), Tabs("|||||z")},
         true},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {kWhole, std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
            EXPECT_EQ(Lines(Load(kHeader + c.body, chunk)), c.rows)
                << testing::PrintToString(c.body) << " chunk " << chunk;
            EXPECT_EQ(CountMatches(kHeader + c.body, chunk), c.countMatches)
                << testing::PrintToString(c.body) << " chunk " << chunk;
        }
    }

    const std::string tenRows("\x0A\0\0\0", 4);
    EXPECT_EQ(Load(tenRows + "\n\n\n").size(), 3u);
    EXPECT_FALSE(CountMatches(tenRows + "\n\n\n"));
    // Short files hold no lines, even when the count bytes look like line ends; only a
    // whole count can disagree.
    for (std::size_t size = 0; size <= 4; ++size) {
        EXPECT_TRUE(Load(std::string("\n\r\n\r").substr(0, size)).empty()) << size;
        EXPECT_EQ(CountMatches(std::string("\n\r\n\r").substr(0, size)), size < 4) << size;
    }
}

TEST(CatalogFileTest, LineReaderSplitsLinesAcrossRefills) {
    const std::string bytes = "HEADabcdef\r\nghijklmnopqrstu\rXvw\r\rY\n\nlast";
    const std::vector<std::string> expected{"abcdef", "ghijklmnopqrstuX", "vw\r", "Y", "", "last"};
    // Every buffer size puts a CR exactly at the end of a buffer somewhere.
    for (std::size_t bufferSize = 1; bufferSize <= 12; ++bufferSize) {
        for (std::size_t chunk : {kWhole, std::size_t{3}}) {
            MemorySource source(bytes, chunk);
            LineReader reader(source, bufferSize);
            EXPECT_EQ(reader.ReadBytes(4), "HEAD");
            std::vector<std::string> lines;
            std::string_view line;
            while (reader.NextLine(line)) {
                lines.emplace_back(line);
            }
            EXPECT_TRUE(reader.status());
            EXPECT_EQ(lines, expected) << "buffer " << bufferSize << " chunk " << chunk;
        }
    }
}

TEST(CatalogFileTest, RoundTripsAreLossless) {
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte += static_cast<char>(byte);
    }
    std::string reversed(everyByte.rbegin(), everyByte.rend());
    std::vector<CatalogRow> rows{
        CatalogRow(RowCells{everyByte, reversed, everyByte, reversed, everyByte, reversed}),
        CatalogRow(RowCells{"\t", "a\tb", "\t\t", "\x7F", "\x7F\x7F", "end\x7F"}),
        CatalogRow(RowCells{"", "", "", "", "", std::string(4000, 'p')}),
        CatalogRow(),
        CatalogRow(RowCells{"\r\n", "\n", "\r", "\xC5\xC8\xCF", "\x89\xFF", "/\xC5\xA1"}),
    };
    CatalogList list;
    list.ReplaceRows(rows);
    const std::string bytes = Store(list);
    EXPECT_EQ(Load(bytes), rows);
    EXPECT_EQ(Load(bytes, 3), rows);
    EXPECT_TRUE(CountMatches(bytes));

    // Lines many times longer than the reader's buffer.
    MemorySource source(bytes);
    LineReader reader(source, 7);
    reader.ReadBytes(4);
    std::vector<CatalogRow> decoded;
    std::string scratch;
    std::string_view line;
    while (reader.NextLine(line)) {
        decoded.push_back(RecordCodec::DecodeRecordLine(line, scratch));
    }
    EXPECT_EQ(decoded, rows);

    // Longer than the default buffer, and past the size at which the writer flushes.
    list.ReplaceRows({CatalogRow(RowCells{"a", "", "", "", "", std::string(3 << 20, '\xC5')}),
                      CatalogRow(RowCells{"b", "", "", "", "", "c"})});
    MemorySink sink;
    EXPECT_TRUE(CatalogFile::StoreCatalog(list, sink));
    EXPECT_GT(sink.writes, 1);
    EXPECT_EQ(Load(sink.bytes, 100000), Rows(list));
}

TEST(CatalogFileTest, MergeAppendsAndOpenReplaces) {
    CatalogList file;
    file.ReplaceRows({ParseRowLine("x"), ParseRowLine("y"), ParseRowLine("z")});
    const std::string bytes = Store(file);

    CatalogList list;
    for (int i = 0; i < 5; ++i) {
        list.InsertRow(i, std::to_string(i));
    }
    MemorySource merge(bytes);
    EXPECT_TRUE(CatalogFile::LoadCatalog(list, merge, false));
    ASSERT_EQ(list.RowCount(), 8);
    EXPECT_EQ(list.CellText(4, kArtist), "4");
    EXPECT_EQ(list.CellText(5, kPath), "x");
    EXPECT_EQ(list.CellText(6, kPath), "y");
    EXPECT_EQ(list.CellText(7, kPath), "z");

    MemorySource open(bytes);
    EXPECT_TRUE(CatalogFile::LoadCatalog(list, open, true));
    EXPECT_EQ(Rows(list), Rows(file));
}

TEST(CatalogFileTest, ReportsReadAndWriteFailures) {
    CatalogList file;
    file.ReplaceRows({ParseRowLine("one"), ParseRowLine("two"), ParseRowLine("three")});
    const std::string bytes = Store(file);

    // Fail inside the third line: the two whole lines before it stay.
    CatalogList list;
    list.InsertRow(0, "old");
    MemorySource source(bytes, 4, bytes.size() - 3);
    const Result loaded = CatalogFile::LoadCatalog(list, source, true);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(loaded.error(), "read failed");
    EXPECT_EQ(Rows(list), (std::vector<CatalogRow>{ParseRowLine("one"), ParseRowLine("two")}));

    MemorySource atCount(bytes, kWhole, 2);
    EXPECT_FALSE(CatalogFile::LoadCatalog(list, atCount, false));
    EXPECT_EQ(list.RowCount(), 2);

    MemorySink failing(0);
    const Result stored = CatalogFile::StoreCatalog(file, failing);
    EXPECT_FALSE(stored);
    EXPECT_EQ(stored.error(), "write failed");

    // A failed flush mid-way stops the writing.
    file.ReplaceRows(std::vector<CatalogRow>(
        3, CatalogRow(RowCells{"", "", "", "", "", std::string(700000, 'p')})));
    MemorySink failsFirst(0);
    EXPECT_FALSE(CatalogFile::StoreCatalog(file, failsFirst));
    EXPECT_EQ(failsFirst.writes, 1);
}

TEST(CatalogFileTest, AnyByteStreamLoads) {
    // Bytes that matter to the reader come up often: line ends, mask, escape, masked tab.
    const unsigned char interesting[] = {0x0A, 0x0D, 0xC5, 0xBA, 0xCC, 0x7F, 0x00, 0x80};
    std::mt19937 random(20240607);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 200, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() % 2 ? interesting[random() % sizeof(interesting)]
                                               : random() % 256);
        }
        const std::vector<CatalogRow> rows = Load(bytes);
        EXPECT_EQ(Load(bytes, 1 + random() % 7), rows) << round;

        // What loaded saves and loads back the same, unless an escape produced a NUL.
        const bool hasNul = std::any_of(rows.begin(), rows.end(), [](const CatalogRow& row) {
            return JoinRowLine(row).find('\0') != std::string::npos;
        });
        if (!hasNul) {
            CatalogList list;
            list.ReplaceRows(rows);
            EXPECT_EQ(Load(Store(list)), rows) << round;
        }
    }
}

}  // namespace
