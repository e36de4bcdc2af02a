#include "export/HtmlPageWriter.h"

#include "browse/CatalogView.h"
#include "browse/TextFold.h"
#include "catalog/Utf8.h"

namespace {

constexpr const char* kHeadParts[] = {
    "<html><head><meta charset=\"utf-8\"><title>My Mp3 File List</title><script> function "
    "applyColors(){tbl =document.getElementById('mp3list');for (j=1;j<tbl.rows.length;j++)"
    "if(j%2==0) tbl.rows[j].style.background= '#D6E7E9'; } window.onload=applyColors;"
    "</script>",
    "<style type='text/css'>body, div, p, strong, td{color:000;font-size:0.9em;"
    "font-weight:normal;text-decoration:none;",
    "font-weight:normal;font-style:normal;font-family:Verdana,trebuchet ms,arial,verdana,"
    "sans-serif;}</style>",
    "<body><table id='mp3list' width='80%' align='center' cellpadding='4' cellspacing='2'><tr>",
    "<th>Artist</th>",
    "<th>Track</th>",
    "</tr>",
};

}  // namespace

Result HtmlPageWriter::WritePage(const CatalogView& list, ByteSink& sink) const {
    const std::string head = Head();
    if (Result written = sink.Write(head.data(), head.size()); !written) {
        return written;
    }
    for (int row = 0; row < list.RowCount(); ++row) {
        const std::string text = RowText(list.CellText(row, kArtist), list.CellText(row, kTrack));
        if (Result written = sink.Write(text.data(), text.size()); !written) {
            return written;
        }
    }
    const std::string foot = Foot();
    return sink.Write(foot.data(), foot.size());
}

std::string HtmlPageWriter::Head() {
    std::string head;
    for (const char* part : kHeadParts) {
        head += part;
    }
    return head;
}

std::string HtmlPageWriter::RowText(std::string_view artist, std::string_view track) {
    std::string text = "<tr><td>";
    AppendEscaped(artist, text);
    text += "</td><td>";
    AppendEscaped(track, text);
    text += "</td></tr>\r\n";
    return text;
}

std::string HtmlPageWriter::Foot() const {
    std::string foot = "</table><h4 align=center>Created with <a href='";
    AppendEscaped(website_, foot);
    foot += "'>Plumet</a></h4></body></html>";
    return foot;
}

void HtmlPageWriter::AppendEscaped(std::string_view text, std::string& out) {
    const bool utf8 = IsValidUtf8(text);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (utf8 || byte < 0x80) {
                    out += c;
                } else {
                    out += static_cast<char>(0xC0 | (byte >> 6));
                    out += static_cast<char>(0x80 | (byte & 0x3F));
                }
        }
    }
}
