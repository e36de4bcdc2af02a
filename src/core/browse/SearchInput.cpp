#include "browse/SearchInput.h"

#include "browse/CatalogView.h"
#include "browse/RowLetterIndex.h"

void SearchInput::Apply(const std::string& typed) {
    SearchQuery query(typed);
    if (query.empty()) {
        inForce_.reset();
        view_.EndSearch();
        return;
    }
    // A query that only grew keeps no row the last one hid: the rows shown are enough.
    const bool within = inForce_ && view_.searching() && query.Narrows(*inForce_);
    inForce_ = query;
    const SearchHint hint = RowLetterIndex::HintFor(query);
    view_.Search(
        [query = std::move(query)](const CatalogRow& row) {
            thread_local SearchQuery::Scratch scratch;
            return query.Matches(row, scratch);
        },
        within, typed, hint);
}

bool SearchInput::SearchEndedByView() {
    if (view_.searching() || !inForce_) {
        return false;
    }
    inForce_.reset();
    return true;
}
