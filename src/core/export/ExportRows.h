#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "catalog/CatalogRow.h"

class CatalogView;

// The rows an export writes: every row the view shows, or some of them, in the view's order.
class ExportRows {
public:
    explicit ExportRows(const CatalogView& view) : view_(view) {}
    // `viewRows` are rows as the view shows them, such as the selection.
    ExportRows(const CatalogView& view, std::vector<int> viewRows)
        : view_(view), viewRows_(std::move(viewRows)) {}

    int Count() const;
    // An empty row for an index out of range.
    const CatalogRow& Row(int index) const;

private:
    const CatalogView& view_;
    std::optional<std::vector<int>> viewRows_;
};
