#include <gtest/gtest.h>

#include <string>

#include "catalog/RowLine.h"
#include "support/TableText.h"

namespace {

TEST(RowLineTest, JoinsSixCellsWithSingleTabs) {
    EXPECT_EQ(JoinRowLine(CatalogRow(RowCells{"a", "b", "c", "d", "e", "f"})), Tabs("a|b|c|d|e|f"));
    EXPECT_EQ(JoinRowLine(CatalogRow()), Tabs("|||||"));
    EXPECT_EQ(JoinRowLine(CatalogRow(RowCells{"a", "", "", "", "", ""})), Tabs("a|||||"));

    std::string out = "keep";
    AppendRowLine(CatalogRow(RowCells{"", "", "", "", "", "/p"}), out);
    EXPECT_EQ(out, Tabs("keep|||||/p"));
}

TEST(RowLineTest, ParsesLinesWithAnyNumberOfTabs) {
    struct Case {
        const char* line;
        RowCells cells;
    };
    const Case cases[] = {
        {"", {"", "", "", "", "", ""}},
        {"f", {"", "", "", "", "", "f"}},
        {"a|f", {"a", "", "", "", "", "f"}},
        {"a|b|f", {"a", "b", "", "", "", "f"}},
        {"a|b|c|f", {"a", "b", "c", "", "", "f"}},
        {"a|b|c|d|f", {"a", "b", "c", "d", "", "f"}},
        {"a|b|c|d|e|f", {"a", "b", "c", "d", "e", "f"}},
        {"a|b|c|d|e|x|y|f", {"a", "b", "c", "d", "e", "f"}},
        {"a|b|c|d|e|x|f", {"a", "b", "c", "d", "e", "f"}},
        {"|||||", {"", "", "", "", "", ""}},
        {"||||||", {"", "", "", "", "", ""}},
        {"a|", {"a", "", "", "", "", ""}},
        {"|f", {"", "", "", "", "", "f"}},
        {"artist name|track 1|C:|3 MB|2001|/m/a b.mp3",
         {"artist name", "track 1", "C:", "3 MB", "2001", "/m/a b.mp3"}},
    };
    for (const Case& c : cases) {
        const std::string line = Tabs(c.line);
        EXPECT_EQ(SplitRowLine(line), c.cells) << c.line;
        EXPECT_EQ(ParseRowLine(line), CatalogRow(c.cells)) << c.line;
    }
}

}  // namespace
