#include "browse/SearchQuery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "browse/TextFold.h"
#include "catalog/RowFields.h"
#include "catalog/RowLine.h"

namespace {

constexpr std::array<int, 12> kSearched{kArtist, kTrack,       kFolderDisk,  kPath,
                                        kAlbum,  kAlbumArtist, kTrackNumber, kDisc,
                                        kYear,   kGenre,       kLength,      kBitrate};

// Pieces of cell text: ASCII in both cases, Latin letters with accents in UTF-8, a letter
// that does not fold, and spaces.
const std::vector<std::string> kUtf8Pieces{"a", "B", "e", "o", "R", "s", " ", "x", "1",
                                           "É", "é", "ø", "Ø", "ř", "ß", "Æ", "Ω", "-"};
// The same letters as Latin-1 bytes, for cells written by a Windows program.
const std::vector<std::string> kLatin1Pieces{
    "a", "B", "e", "o", "R", "s", " ", "\xC9", "\xE9", "\xF8", "\xD8", "\xDF", "\xC6", "\xC3\xA9"};

std::string RandomText(std::mt19937& random, int maxPieces) {
    const std::vector<std::string>& pieces = random() % 4 == 0 ? kLatin1Pieces : kUtf8Pieces;
    std::string text;
    for (int i = static_cast<int>(random() % (maxPieces + 1)); i > 0; --i) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

CatalogRow RandomSearchRow(std::mt19937& random) {
    std::array<std::string, kColumnCount> cells;
    for (std::string& cell : cells) {
        cell = random() % 5 == 0 ? "" : RandomText(random, 14);
    }
    std::string fields;
    for (int column = kColumnCount; column < kAllColumnCount; ++column) {
        if (random() % 3 == 0) {
            AppendFieldPiece(std::string(FieldName(column)) + "=" + RandomText(random, 5), fields);
        }
    }
    // A field given twice has the first value; a piece this build does not know is kept
    // but not searched.
    if (random() % 4 == 0) {
        AppendFieldPiece("album=" + RandomText(random, 5), fields);
    }
    if (random() % 4 == 0) {
        AppendFieldPiece("mood=" + RandomText(random, 5), fields);
    }
    return CatalogRow(RowCells{cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]}, fields);
}

// A word or phrase to look for: often cut from a row, sometimes made up.
std::string RandomTerm(std::mt19937& random, const std::vector<CatalogRow>& rows, bool phrase) {
    std::string term;
    if (random() % 3 == 0) {
        term = RandomText(random, 3);
    } else if (random() % 4 == 0) {
        // Across the end of one cell and the start of the next, where no term may match.
        const CatalogRow& row = rows[random() % rows.size()];
        const int column = static_cast<int>(random() % (kColumnCount - 1));
        const std::string end = Folded(row.Cell(column));
        term = end.substr(end.size() - std::min<std::size_t>(end.size(), 1 + random() % 3)) +
               Folded(row.Cell(column + 1)).substr(0, 1 + random() % 3);
    } else {
        const CatalogRow& row = rows[random() % rows.size()];
        const std::string cell = Folded(row.Cell(kSearched[random() % kSearched.size()]));
        const std::size_t start = cell.empty() ? 0 : random() % cell.size();
        term = cell.substr(start, 1 + random() % 4);
        for (char& c : term) {
            c = random() % 2 == 0 && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        }
    }
    if (!phrase) {
        term = term.substr(0, term.find(' '));
    }
    return term;
}

// The searched cells of a row, folded.
std::vector<std::string> FoldedCells(const CatalogRow& row) {
    std::vector<std::string> cells;
    for (const int column : kSearched) {
        cells.push_back(Folded(row.Cell(column)));
    }
    return cells;
}

// The rule, as plainly as it can be put.
bool ModelMatches(const std::vector<std::string>& cells, const std::vector<std::string>& terms) {
    return std::all_of(terms.begin(), terms.end(), [&cells](const std::string& term) {
        return std::any_of(cells.begin(), cells.end(), [&term](const std::string& cell) {
            return cell.find(term) != std::string::npos;
        });
    });
}

}  // namespace

TEST(SearchQueryTest, MatchesAsEveryFoldedWordAndPhraseFoundWithinOneColumn) {
    std::mt19937 random(15);
    std::vector<CatalogRow> rows;
    std::vector<std::vector<std::string>> folded;
    for (int i = 0; i < 300; ++i) {
        rows.push_back(RandomSearchRow(random));
        folded.push_back(FoldedCells(rows.back()));
    }
    // The forms a window would keep: ASCII cells as they are, the others folded.
    std::vector<std::vector<std::string_view>> forms;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        forms.emplace_back();
        for (std::size_t i = 0; i < kSearched.size(); ++i) {
            const std::string_view cell = rows[at].Cell(kSearched[i]);
            forms.back().push_back(HasNonAscii(cell) ? std::string_view(folded[at][i]) : cell);
        }
    }
    CatalogList list;
    list.AppendRows(rows);
    std::vector<int> backwards;
    for (int row = list.RowCount() - 1; row >= 0; --row) {
        backwards.push_back(row);
    }
    SearchQuery::Scratch scratch;
    std::vector<SearchQuery> queries;
    std::vector<std::vector<bool>> matched;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        std::vector<std::string> terms;
        for (int i = static_cast<int>(random() % 4); i > 0; --i) {
            const bool phrase = random() % 3 == 0;
            const std::string term = RandomTerm(random, rows, phrase);
            text += std::string(random() % 3, ' ');
            text += phrase ? "\"" + term + "\"" : term;
            text += ' ';
            if (!term.empty()) {
                terms.push_back(Folded(term));
            }
        }
        if (random() % 8 == 0) {  // a quote left open runs to the end
            const std::string term = RandomTerm(random, rows, true);
            text += "\"" + term;
            if (!term.empty()) {
                terms.push_back(Folded(term));
            }
        }
        const SearchQuery query(text);
        EXPECT_EQ(query.empty(), terms.empty()) << text;
        std::vector<bool> rowsMatched;
        for (std::size_t at = 0; at < rows.size(); ++at) {
            const CatalogRow& row = rows[at];
            const bool expected = ModelMatches(folded[at], terms);
            ASSERT_EQ(query.Matches(row, scratch), expected) << text << " / " << JoinRowLine(row);
            EXPECT_EQ(query.Matches(row), expected);
            EXPECT_EQ(query.MatchesTexts(forms[at], scratch), expected) << text;
            rowsMatched.push_back(expected);
        }
        // A pass over a list, or over some of its rows in a view's order.
        std::vector<int> expectedRows;
        for (std::size_t at = 0; at < rows.size(); ++at) {
            if (rowsMatched[at]) {
                expectedRows.push_back(static_cast<int>(at));
            }
        }
        EXPECT_EQ(query.MatchingRows(list), expectedRows);
        std::reverse(expectedRows.begin(), expectedRows.end());
        EXPECT_EQ(query.MatchingRows(list, backwards), expectedRows);
        queries.push_back(query);
        matched.push_back(std::move(rowsMatched));
    }
    // A query that narrows another never matches a row the other does not.
    int narrowings = 0;
    for (std::size_t a = 0; a < queries.size(); ++a) {
        for (std::size_t b = 0; b < queries.size(); ++b) {
            if (queries[a].Narrows(queries[b])) {
                ++narrowings;
                for (std::size_t row = 0; row < rows.size(); ++row) {
                    if (matched[a][row] && !matched[b][row]) {
                        FAIL() << queries[a].terms().size() << " " << a << " " << b;
                    }
                }
            }
        }
    }
    EXPECT_GT(narrowings, static_cast<int>(queries.size()));

    // The rules in plain cases: words anywhere, a phrase within one column, an open quote.
    const CatalogRow dvorak(
        RowCells{"Antonín Dvořák", "Symphony No. 9", "Disc 1", "", "", "/music/new world.flac"},
        "genre=Classical");
    EXPECT_TRUE(SearchQuery("dvorak SYMPHONY classical").Matches(dvorak));
    EXPECT_TRUE(SearchQuery("\"antonin dvorak\" \"new world").Matches(dvorak));
    EXPECT_FALSE(SearchQuery("\"dvorak symphony\"").Matches(dvorak));
    EXPECT_FALSE(SearchQuery("dvorak jazz").Matches(dvorak));
    EXPECT_TRUE(SearchQuery("  \"\" ").Matches(dvorak));
    const CatalogRow adjacent(RowCells{"Abcdefgh", "IJK", "", "", "", ""});
    EXPECT_FALSE(SearchQuery("hi").Matches(adjacent));
    EXPECT_TRUE(SearchQuery("GH ij").Matches(adjacent));
    EXPECT_EQ(SearchQuery("a \"b c\" a").terms(), (std::vector<std::string>{"a", "b c"}));
}
