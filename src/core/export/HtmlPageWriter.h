#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "Result.h"
#include "catalog/ByteSink.h"

class CatalogView;

// The exported page: the Artist and Track cells of every row in a two-column table, every
// second data row shaded by a small script, and a credit line that links to the program's
// web page.
class HtmlPageWriter {
public:
    explicit HtmlPageWriter(std::string programWebsite) : website_(std::move(programWebsite)) {}

    // The head in one write, one write per row, the foot in one write; stops at the first
    // write that fails.
    Result WritePage(const CatalogView& list, ByteSink& sink) const;

    static std::string Head();
    // One table row, ending in the page's only line break.
    static std::string RowText(std::string_view artist, std::string_view track);
    // Without a line break at the end.
    std::string Foot() const;

    // The text with & < > " ' as entities, so names can neither break the markup nor run
    // as script. The page is UTF-8; a text that is not (a catalog written on Windows) is
    // read as Latin-1, as the window shows it.
    static void AppendEscaped(std::string_view text, std::string& out);

private:
    std::string website_;
};
