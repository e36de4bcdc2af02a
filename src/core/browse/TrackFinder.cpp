#include "browse/TrackFinder.h"

#include "browse/CatalogView.h"
#include "browse/SearchQuery.h"

int TrackFinder::Find(int currentRow, std::string_view text) {
    const int found = NextMatch(list_, currentRow, text);
    if (found < 0) {
        ui_.ShowError(kNotFoundMessage);
    }
    return found;
}

int TrackFinder::NextMatch(const CatalogView& list, int currentRow, std::string_view text) {
    const int count = list.RowCount();
    if (count == 0) {
        return -1;
    }
    const SearchQuery query(text);
    SearchQuery::Scratch scratch;
    const int start = currentRow >= 0 && currentRow < count ? currentRow + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (query.Matches(*list.RowRecord(row), scratch)) {
            return row;
        }
    }
    return -1;
}
