#include "export/HtmlPageWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "browse/CatalogView.h"
#include "export/ExportTestSupport.h"

namespace {

std::string Escaped(std::string_view text) {
    std::string out;
    HtmlPageWriter::AppendEscaped(text, out);
    return out;
}

TEST(HtmlPageWriterTest, ThreeRowsGiveTheExpectedPage) {
    CatalogList list;
    AppendRows(list,
               {{"ABBA", "Waterloo"}, {"", "Untitled Track"}, {"AC/DC & Friends", "It's <Live>"}});
    RecordingSink sink;
    ASSERT_TRUE(HtmlPageWriter(kWebsite).WritePage(CatalogView(list), sink));

    EXPECT_EQ(sink.Bytes(), ReadBytes(PLUMET_EXPORT_FIXTURES "/three-rows.html"));
    // The head, one write per row, the foot.
    ASSERT_EQ(sink.writes.size(), 5u);
    EXPECT_EQ(sink.writes[0], HtmlPageWriter::Head());
    for (int row = 1; row <= 3; ++row) {
        EXPECT_TRUE(sink.writes[row].ends_with("</tr>\r\n")) << row;
    }
    EXPECT_TRUE(sink.writes[4].ends_with("</body></html>"));
}

TEST(HtmlPageWriterTest, TheHeadDeclaresUtf8AndHasNoLineBreak) {
    const std::string head = HtmlPageWriter::Head();
    EXPECT_TRUE(head.starts_with("<html><head><meta charset=\"utf-8\"><title>My Mp3 File List"));
    EXPECT_TRUE(head.ends_with("<tr><th>Artist</th><th>Track</th></tr>"));
    EXPECT_EQ(head.find_first_of("\r\n"), std::string::npos);
    EXPECT_NE(head.find("tbl.rows[j].style.background= '#D6E7E9'"), std::string::npos);
}

TEST(HtmlPageWriterTest, AnEmptyListIsHeadAndFoot) {
    CatalogList list;
    RecordingSink sink;
    ASSERT_TRUE(HtmlPageWriter(kWebsite).WritePage(CatalogView(list), sink));
    EXPECT_EQ(sink.writes,
              (std::vector<std::string>{HtmlPageWriter::Head(), HtmlPageWriter(kWebsite).Foot()}));
}

TEST(HtmlPageWriterTest, OnlyArtistAndTrackReachThePage) {
    EXPECT_EQ(HtmlPageWriter::RowText("a", "b"), "<tr><td>a</td><td>b</td></tr>\r\n");
    CatalogList list;
    AppendRows(list, {{"a", "b"}});
    RecordingSink sink;
    ASSERT_TRUE(HtmlPageWriter(kWebsite).WritePage(CatalogView(list), sink));
    for (const char* other : {"DISC-1", "1,234", "04:05", "x.mp3"}) {
        EXPECT_EQ(sink.Bytes().find(other), std::string::npos) << other;
    }
}

TEST(HtmlPageWriterTest, TheFootLinksToTheProgramsPage) {
    EXPECT_EQ(HtmlPageWriter("file:///g.html").Foot(),
              "</table><h4 align=center>Created with <a href='file:///g.html'>Plumet</a></h4>"
              "</body></html>");
    EXPECT_NE(HtmlPageWriter("https://x/?a=1&b='2'").Foot().find("?a=1&amp;b=&#39;2&#39;'>"),
              std::string::npos);
}

TEST(HtmlPageWriterTest, AFailedWriteStopsThePage) {
    CatalogList list;
    AppendRows(list, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    RecordingSink sink;
    sink.failAt = 2;
    const Result written = HtmlPageWriter(kWebsite).WritePage(CatalogView(list), sink);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.error(), "the disk is gone");
    EXPECT_EQ(sink.writes.size(), 2u);
}

struct EscapeCase {
    const char* text;
    const char* page;
};

class HtmlEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(HtmlEscapeTest, CellTextIsSafeInThePage) {
    EXPECT_EQ(Escaped(GetParam().text), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, HtmlEscapeTest,
    ::testing::Values(EscapeCase{"AC/DC & Friends", "AC/DC &amp; Friends"},
                      EscapeCase{"<script>alert(1)</script>",
                                 "&lt;script&gt;alert(1)&lt;/script&gt;"},
                      EscapeCase{"<b>x</b> & y", "&lt;b&gt;x&lt;/b&gt; &amp; y"},
                      EscapeCase{"say \"hi\" it's", "say &quot;hi&quot; it&#39;s"},
                      EscapeCase{"&amp;", "&amp;amp;"}, EscapeCase{"", ""},
                      // UTF-8 as it is; anything else read as Latin-1, as the window shows it.
                      EscapeCase{"Mot\xC3\xB6rhead \xE2\x82\xAC \xF0\x9F\x8E\xB5",
                                 "Mot\xC3\xB6rhead \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
                      EscapeCase{"Mot\xF6rhead & co", "Mot\xC3\xB6rhead &amp; co"},
                      EscapeCase{"\xC0\xAF", "\xC3\x80\xC2\xAF"},              // overlong '/'
                      EscapeCase{"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate
                      EscapeCase{"cut \xE2\x82", "cut \xC3\xA2\xC2\x82"}));

}  // namespace
