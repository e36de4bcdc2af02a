#pragma once

#include <string_view>

// The fixed parts of the searchable page: its style sheet and its script. The script reads
// the rows from the element "rows" (one JSON array, a row being its 14 cells, Length in
// seconds, then its folded search text when that is not simply its cells in lower case) and
// the fold table from the element "fold".
extern const std::string_view kSearchablePageStyle;
extern const std::string_view kSearchablePageScript;
