#pragma once

class CatalogList;

// Rows a filter keeps out of the store while it is in force. The document saves them with
// the rest and brings them back before it replaces or adds rows, so no row is ever lost.
class HiddenRows {
public:
    virtual ~HiddenRows() = default;
    // The whole catalog while rows are hidden; nullptr when the store shows every row.
    virtual const CatalogList* AllRows() const = 0;
    // Puts every hidden row back in its saved order and ends the filter.
    virtual void EndFilter() = 0;
};
