#pragma once

#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"

// A row line is the six cells of a row in column order, joined by single tabs.

std::string JoinRowLine(const CatalogRow& row);
void AppendRowLine(const CatalogRow& row, std::string& out);

// Artist is the text before the first tab, Track to Modified the texts between the first
// five tabs, Path the text after the last tab. A line without a tab is all Path; the pieces
// between the fifth and the last tab of a longer line are dropped.
CatalogRow ParseRowLine(std::string_view line);

// The pieces of a line as ParseRowLine assigns them, without copying.
RowCells SplitRowLine(std::string_view line);
