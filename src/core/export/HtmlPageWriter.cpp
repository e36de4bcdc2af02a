#include "export/HtmlPageWriter.h"

#include "browse/CatalogView.h"

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

// The length of the UTF-8 sequence at `at`, or 0 when none starts there (overlong forms,
// surrogates and code points past U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

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
    const bool utf8 = IsUtf8(text);
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
