#pragma once

#include <functional>

#include "browse/RowLetterIndex.h"
#include "browse/SearchMemory.h"
#include "catalog/CatalogList.h"

// The search narrowing of a view: the test in force, what the letters of the store's rows
// say of it, and the rows recent queries found.
class ViewSearch {
public:
    using RowTest = std::function<bool(const CatalogRow&)>;

    explicit ViewSearch(CatalogList& store) : store_(store), letters_(store) {}

    bool active() const { return static_cast<bool>(matches_); }
    void Set(RowTest matches, SearchHint hint);
    void End() {
        matches_ = nullptr;
        hint_ = {};
    }

    // Whether the store row passes the search in force; true without one.
    bool Passes(int storeRow) const { return !active() || Passes(storeRow, matches_, hint_); }
    // Whether it passes `matches`, of which `hint` holds.
    bool Passes(int storeRow, const RowTest& matches, const SearchHint& hint) const;
    // Whether the letters alone decide the search in force, so its rows need not be read.
    bool lettersDecide() const { return hint_.lettersDecide; }

    SearchMemory& memory() { return memory_; }
    const SearchMemory& memory() const { return memory_; }

private:
    const CatalogList& store_;
    RowLetterIndex letters_;
    RowTest matches_;
    SearchHint hint_;
    SearchMemory memory_;
};
