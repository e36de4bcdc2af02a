// A real browser opens an exported page: the shading script must run, and names that look
// like markup must stay text.
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "ProgramPath.h"
#include "browse/CatalogView.h"
#include "export/ExportTestSupport.h"
#include "export/HtmlExport.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace {

struct DomRow {
    std::string tag;      // the opening <tr ...> tag
    std::string content;  // what lies between it and </tr>
};

// The rows of the table mp3list as the browser serialised them, header row first.
std::vector<DomRow> TableRows(const std::string& dom) {
    std::vector<DomRow> rows;
    const std::size_t table = dom.find("<table id=\"mp3list\"");
    const std::size_t end = dom.find("</table>", table);
    if (table == std::string::npos || end == std::string::npos) {
        return rows;
    }
    for (std::size_t at = dom.find("<tr", table); at != std::string::npos && at < end;
         at = dom.find("<tr", at + 1)) {
        const std::size_t tagEnd = dom.find('>', at);
        const std::size_t rowEnd = dom.find("</tr>", tagEnd);
        rows.push_back(
            {dom.substr(at, tagEnd + 1 - at), dom.substr(tagEnd + 1, rowEnd - tagEnd - 1)});
    }
    return rows;
}

bool IsShaded(std::string tag) {
    std::transform(tag.begin(), tag.end(), tag.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tag.find("background: rgb(214, 231, 233)") != std::string::npos ||
           tag.find("#d6e7e9") != std::string::npos;
}

TEST(BrowserCheckTest, ChromiumShadesEverySecondRowAndShowsNamesAsText) {
    const std::string chromium = FindOnPath("chromium");
    if (chromium.empty()) {
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps installs it); the "
                        "page was not checked in a browser";
    }
    TempFolder folder("plumet-browser");
    CatalogList list;
    AppendRows(list,
               {{"One", "1"}, {"Two", "2"}, {"<b>x</b> & y", "3"}, {"Four", "4"}, {"Five", "5"}});
    PosixFiles files;
    RecordingShell shell;
    ScriptedUserInterface ui;
    const std::string catalog = (folder.path() / "music.plm").string();
    ASSERT_EQ(
        HtmlExport::OnExportToHtml(catalog, CatalogView(list), {files, shell, ui, kWebsite, {}}),
        HtmlExport::Outcome::Opened);
    const std::string page = (folder.path() / "music.html").string();

    // As root Chromium runs only without its sandbox.
    const std::string dom =
        OutputOf("timeout 120 '" + chromium + "' --headless --no-sandbox --disable-gpu " +
                 "--user-data-dir='" + (folder.path() / "profile").string() + "' --dump-dom '" +
                 page + "' 2>/dev/null");
    const std::vector<DomRow> rows = TableRows(dom);
    ASSERT_EQ(rows.size(), 6u) << "the browser gave no table:\n" << dom;
    EXPECT_NE(rows[0].content.find("<th>Artist</th>"), std::string::npos);
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(IsShaded(rows[row].tag), row % 2 == 0) << "row " << row << ": " << rows[row].tag;
        if (row % 2 == 1) {
            EXPECT_EQ(rows[row].tag, "<tr>") << "row " << row;
        }
    }
    // The name is text in the document, not a bold element.
    EXPECT_NE(rows[3].content.find("<td>&lt;b&gt;x&lt;/b&gt; &amp; y</td>"), std::string::npos)
        << rows[3].content;
    EXPECT_EQ(dom.find("<b>"), std::string::npos);
}

}  // namespace
