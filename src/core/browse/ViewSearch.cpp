#include "browse/ViewSearch.h"

void ViewSearch::Set(RowTest matches, SearchHint hint) {
    matches_ = std::move(matches);
    hint_ = hint;
}

bool ViewSearch::Passes(int storeRow, const RowTest& matches, const SearchHint& hint) const {
    // Most rows lack a letter of the query: their bits rule them out unread.
    const RowLetterIndex::Mask held = letters_.Of(storeRow);
    if ((held & hint.letters) != hint.letters) {
        return false;
    }
    return hint.lettersDecide || matches(*store_.RowRecord(storeRow));
}
