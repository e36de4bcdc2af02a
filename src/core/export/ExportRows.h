#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalog/CatalogRow.h"

class CatalogView;
class MountedSet;

// The rows an export writes: every row the view shows, or some of them, in the view's order.
class ExportRows {
public:
    explicit ExportRows(const CatalogView& view) : view_(view) {}
    // `viewRows` are rows as the view shows them, such as the selection.
    ExportRows(const CatalogView& view, std::vector<int> viewRows)
        : view_(view), viewRows_(std::move(viewRows)) {}

    // Paths are then told where each file's file system is mounted now.
    void SetMounted(const MountedSet* mounted) { mounted_ = mounted; }

    int Count() const;
    // An empty row for an index out of range.
    const CatalogRow& Row(int index) const;
    // Where the row's file is now: its Path, moved to where its disc is mounted.
    std::string PathOf(int index) const;

private:
    const CatalogView& view_;
    const MountedSet* mounted_ = nullptr;
    std::optional<std::vector<int>> viewRows_;
};
