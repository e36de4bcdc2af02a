#pragma once

#include <string_view>

#include "services.h"

class CatalogView;

// "Find a track": the next row the typed text finds, by the search box's rules (every word in
// some column, case and accents ignored).
class TrackFinder {
public:
    static constexpr const char* kNotFoundMessage = "Unable to find the folder";

    TrackFinder(const CatalogView& list, UserInterface& ui) : list_(list), ui_(ui) {}

    // Searches the rows after `currentRow` (-1 for none), then wraps to the top and ends with
    // `currentRow` itself. The row found, for the view to select and
    // scroll to; -1 after telling the user that no row matches.
    int Find(int currentRow, std::string_view text);
    // The same search without the message.
    static int NextMatch(const CatalogView& list, int currentRow, std::string_view text);

private:
    const CatalogView& list_;
    UserInterface& ui_;
};
