#include "browse/TrackFinder.h"

#include <string>

#include "browse/CatalogView.h"
#include "browse/CellKeys.h"

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
    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    }
    const int start = currentRow >= 0 && currentRow < count ? currentRow + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        for (const int column : {kArtist, kTrack, kPath}) {
            if (ContainsFolded(list.CellText(row, column), folded)) {
                return row;
            }
        }
    }
    return -1;
}
