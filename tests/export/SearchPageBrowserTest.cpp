// The searchable page in real headless Chromium, driven by puppeteer: random queries must find
// exactly the rows the program's search box finds, names with markup and accents must show as
// text, and the page must fold to a phone's width.
#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "ProgramPath.h"
#include "browse/CatalogView.h"
#include "browse/SearchQuery.h"
#include "export/ExportRows.h"
#include "export/ExportTestSupport.h"
#include "export/ListExport.h"
#include "export/SearchablePageWriter.h"
#include "support/TempFolder.h"

namespace {

// The lines the check script printed under `key`, in order.
std::vector<std::string> Facts(const std::string& output, const std::string& key) {
    std::vector<std::string> facts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(key + " ")) {
            facts.push_back(line.substr(key.size() + 1));
        }
    }
    return facts;
}

// Empty when the browser or its driver cannot be had; the reason goes to `why`.
std::string BrowserReady(std::string& why) {
    const std::string chromium = FindOnPath("chromium");
    if (chromium.empty() || FindOnPath("node").empty() || FindOnPath("npm").empty()) {
        why = "chromium, node or npm is not installed (scripts/install-deps installs them)";
        return {};
    }
    // The browser tests run side by side: one installs while the other waits, and only a
    // finished install counts.
    const std::string tools = PLUMET_BROWSER_TOOLS;
    const std::string installed = tools + "/installed";
    std::filesystem::create_directories(tools);
    OutputOf("flock '" + tools + "/lock' sh -c \"test -f '" + installed +
             "' || (npm install --no-audit --no-fund --loglevel=error --prefix '" + tools +
             "' puppeteer-core@24 && touch '" + installed + "')\" 2>&1");
    if (!std::filesystem::exists(installed)) {
        why = "puppeteer-core could not be installed with npm";
        return {};
    }
    return chromium;
}

std::string RunCheck(const std::string& chromium, const TempFolder& folder, const std::string& page,
                     const std::vector<std::string>& queries, const std::string& typed,
                     const std::string& throttle = "") {
    std::string json = "[";
    for (const std::string& query : queries) {
        json += json.size() > 1 ? "," : "";
        SearchablePageWriter::AppendJsonString(query, json);
    }
    const std::string queriesPath = (folder.path() / "queries.json").string();
    std::ofstream(queriesPath) << json << "]";
    const std::string home = folder.path().string();
    return OutputOf("HOME='" + home + "' XDG_CONFIG_HOME='" + home + "' XDG_CACHE_HOME='" + home +
                    "' PLUMET_BROWSER_TOOLS='" + PLUMET_BROWSER_TOOLS +
                    "' timeout 300 node '" PLUMET_EXPORT_FIXTURES "/search-page-check.mjs' '" +
                    chromium + "' '" + page + "' '" + queriesPath + "' '" + typed + "' '" + home +
                    "/profile' " + throttle + " 2>&1");
}

std::string WritePage(CatalogList& list, const std::string& path) {
    const CatalogView view(list);
    PosixFiles files;
    const Result written = files.ReplaceFile(path, [&](ByteSink& sink) {
        return ListExport::Write(ListExport::Format::SearchablePage, path, ExportRows(view), sink);
    });
    return written ? path : written.error();
}

// Words with accents, ligatures, case and markup; some rows hold them in Latin-1.
const std::vector<std::string> kWords = {"Dvořák", "Björk", "Straße", "Æther", "Œuvre", "Søren",
                                         "live", "New", "World", "<b>", "&", "Sons", "naïve", "ÉTÉ",
                                         "x\"y", "ĳssel", "Ǆ",
                                         // decomposed, other scripts
                                         "Dvor\u030Ca\u0301k", "Москва", "ΣΊΣΥΦΟΣ"};
const std::vector<std::string> kQueryWords = {
    "dvorak", "DVOŘÁK", "vor", "bjork", "BJÖRK", "strasse", "STRASSE", "aether", "Æ", "oeuvre",
    "soren", "ø", "live", "\"new world\"", "\"world new\"", "<b>", "&", "sons", "naive", "ete",
    "été", "x\"y", "ijssel", "dž", "\"s d\"", "zzz", "a",
    // other scripts, decomposed, a mark alone
    "МОСКВА", "москва", "Dvor\u030Ca\u0301k", "σισυφος", "ς", "\u0301"};

std::string Latin1(const std::string& utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if (byte < 0x80) {
            out += utf8[at];
        } else if (byte == 0xC2 || byte == 0xC3) {
            out += static_cast<char>(((byte & 0x03) << 6) | (utf8[++at] & 0x3F));
        } else {
            return utf8;  // not Latin-1: kept as UTF-8
        }
    }
    return out;
}

TEST(SearchPageBrowserTest, ChromiumFindsWhatTheSearchBoxFindsAndShowsNamesAsText) {
    std::string why;
    const std::string chromium = BrowserReady(why);
    if (chromium.empty()) {
        GTEST_SKIP() << why << "; the page was not checked in a browser";
    }
    std::mt19937 random(77);
    const auto words = [&](int most) {
        std::string text;
        for (int n = 1 + static_cast<int>(random() % most); n > 0; --n) {
            text += (text.empty() ? "" : " ") + kWords[random() % kWords.size()];
        }
        return random() % 5 == 0 ? Latin1(text) : text;
    };
    CatalogList list;
    list.AppendRows({CatalogRow(RowCells{"<b>Dvořák</b> & Sons", "Largo", "CD1", "1,234",
                                         "01/02/03 04:05 PM", "/m/largo.mp3"},
                                "length=3725"),
                     CatalogRow(RowCells{"Bj\xF6rk \xC6ther", "unique1", "", "", "", "/m/j"})});
    for (int n = 0; n < 400; ++n) {
        CatalogRow row(RowCells{words(3), words(3), words(2), "1", "", "/m/" + words(2)});
        row.SetCell(kAlbum, random() % 2 ? words(2) : "");
        row.SetCell(kLength, std::to_string(random() % 4000));
        list.AppendRows({row});
    }
    std::vector<std::string> queries = {"", "   ", "\"", "\"new"};
    for (int n = 0; n < 60; ++n) {
        std::string query;
        for (int terms = 1 + static_cast<int>(random() % 3); terms > 0; --terms) {
            query += (query.empty() ? "" : " ") + kQueryWords[random() % kQueryWords.size()];
        }
        queries.push_back(query);
    }
    TempFolder folder("plumet-search-page");
    const std::string page = WritePage(list, (folder.path() / "music.html").string());

    const std::string output = RunCheck(chromium, folder, page, queries, "DVORAK &");
    const std::vector<std::string> counts = Facts(output, "count");
    const std::vector<std::string> shown = Facts(output, "shown");
    ASSERT_EQ(counts.size(), queries.size()) << output;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const std::size_t found = SearchQuery(queries[i]).MatchingRows(list).size();
        EXPECT_EQ(counts[i], std::to_string(found)) << "query [" << queries[i] << "]";
        EXPECT_EQ(shown[i], std::to_string(std::min<std::size_t>(found, 200)));
    }
    const std::size_t typed = SearchQuery("DVORAK &").MatchingRows(list).size();
    EXPECT_EQ(Facts(output, "typed"), std::vector<std::string>{std::to_string(typed)});
    // Markup stays text, the clock shows the length, and a Latin-1 name reads as the window
    // shows it.
    EXPECT_EQ(Facts(output, "first"),
              std::vector<std::string>{"<b>Dvořák</b> & Sons\tLargo\tCD1\t1,234\t01/02/03 "
                                       "04:05 PM\t/m/largo.mp3\t\t\t\t\t\t\t1:02:05\t"});
    EXPECT_EQ(Facts(output, "markup"), std::vector<std::string>{"0"});
    EXPECT_EQ(Facts(output, "narrow"), std::vector<std::string>{"none"});
    EXPECT_EQ(Facts(output, "wide"), std::vector<std::string>{"table-header-group"});

    const std::string latin = RunCheck(chromium, folder, page, {}, "unique1");
    EXPECT_EQ(Facts(latin, "first"),
              std::vector<std::string>{"Björk Æther\tunique1\t\t\t\t/m/j\t\t\t\t\t\t\t\t"})
        << latin;
}

// Prints the time; asserts only that the search found its rows.
TEST(SearchPageBrowserTest, ASearchOverAHundredThousandRowsIsTimed) {
    std::string why;
    const std::string chromium = BrowserReady(why);
    if (chromium.empty()) {
        GTEST_SKIP() << why << "; the page was not checked in a browser";
    }
    std::mt19937 random(5);
    CatalogList list;
    std::vector<CatalogRow> rows;
    for (int n = 0; n < 100000; ++n) {
        const std::string word = kWords[random() % kWords.size()];
        CatalogRow row(RowCells{
            "Artist " + std::to_string(n % 997) + " " + word, "Track " + std::to_string(n),
            "CD" + std::to_string(n % 50), "4,321,000", "03/05/24 02:07 PM",
            "/music/Artist " + std::to_string(n % 997) + "/Track " + std::to_string(n) + ".mp3"});
        row.SetCell(kAlbum, "Album " + std::to_string(n % 5000));
        row.SetCell(kLength, std::to_string(120 + n % 300));
        rows.push_back(std::move(row));
    }
    list.AppendRows(std::move(rows));
    TempFolder folder("plumet-search-page");
    const std::string page = WritePage(list, (folder.path() / "big.html").string());
    const std::vector<std::string> queries = {"dvorak", "track 12345", "\"artist 99\""};
    for (const std::string throttle : {"", "4"}) {
        const std::string output = RunCheck(chromium, folder, page, queries, "a", throttle);
        const std::vector<std::string> counts = Facts(output, "count");
        ASSERT_EQ(counts.size(), queries.size()) << output;
        for (std::size_t i = 0; i < queries.size(); ++i) {
            EXPECT_EQ(counts[i], std::to_string(SearchQuery(queries[i]).MatchingRows(list).size()));
        }
        const std::vector<std::string> times = Facts(output, "search");
        std::printf("searchable page, 100,000 rows%s: loaded in %s ms; searches %s, %s, %s ms\n",
                    throttle.empty() ? "" : ", CPU slowed 4x", Facts(output, "loaded")[0].c_str(),
                    times[0].c_str(), times[1].c_str(), times[2].c_str());
    }
}

}  // namespace
