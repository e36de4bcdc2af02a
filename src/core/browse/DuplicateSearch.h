#pragma once

#include <functional>

#include "browse/DuplicateGroups.h"

class CatalogList;
class CatalogView;
class UserInterface;

// Find Duplicates as every window runs it, once the user chose how rows match.
namespace DuplicateSearch {

// Whether any row has a Length, so rows can be matched by it too.
bool LengthsKnown(const CatalogList& store);
// Shows the store's groups of `kind` in the view, or tells the user there are none.
// `showBusy` is called with true while the rows are compared and false after; may be empty.
void Show(CatalogView& view, DuplicateKind kind, UserInterface& ui,
          const std::function<void(bool)>& showBusy = {});

}  // namespace DuplicateSearch
