#pragma once

#include <optional>
#include <string>

#include "browse/SearchQuery.h"

class CatalogView;

// What a window's search box does with the text typed in it: the rows shown narrow as the
// user types, and a query that only grew searches only the rows already shown.
class SearchInput {
public:
    explicit SearchInput(CatalogView& view) : view_(view) {}

    void Apply(const std::string& typed);
    // After the view was reset: true when the search in force ended with it, as a catalog
    // opened or started anew ends it, and the box should empty itself.
    bool SearchEndedByView();

private:
    CatalogView& view_;
    std::optional<SearchQuery> inForce_;
};
