#pragma once

#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"

// A row line is the six cells of a row in column order, joined by single tabs, with the
// row's field pieces between Modified and Path.

std::string JoinRowLine(const CatalogRow& row);
void AppendRowLine(const CatalogRow& row, std::string& out);
// The six cells alone, as a reader that drops the field pieces sees them.
void AppendRowCells(const CatalogRow& row, std::string& out);

// Artist is the text before the first tab, Track to Modified the texts between the first
// five tabs, Path the text after the last tab. A line without a tab is all Path. Of the
// pieces between the fifth and the last tab of a longer line, those of the form "name=value"
// are the row's fields; the others are dropped.
CatalogRow ParseRowLine(std::string_view line);

// The cells of a line as ParseRowLine assigns them, without copying; `middle`, when given,
// receives the text between the fifth and the last tab (empty when there is none).
RowCells SplitRowLine(std::string_view line, std::string_view* middle = nullptr);

// Calls `piece` for each tab-separated piece of a middle text, the empty ones included (a
// middle that ends in a tab ends with an empty piece); an empty middle holds none.
template <typename PieceCall>
void ForEachMiddlePiece(std::string_view middle, PieceCall piece) {
    if (middle.empty()) {
        return;
    }
    for (;;) {
        const std::size_t tab = middle.find('\t');
        piece(middle.substr(0, tab));
        if (tab == std::string_view::npos) {
            return;
        }
        middle.remove_prefix(tab + 1);
    }
}
