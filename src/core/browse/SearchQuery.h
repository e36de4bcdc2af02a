#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/CatalogRow.h"

// What the search box and `plumet-cli search` look for: words separated by spaces and
// "quoted phrases" (a quote left open runs to the end), each folded as TextFold.h folds. A
// row matches when every word and every phrase occurs within one searched column of it
// (Artist, Track, In Folder/Disk, Path and the fields); an empty query matches every row.
class SearchQuery {
public:
    // What matching reuses from row to row, so that a pass over many rows allocates nothing
    // once its buffers have grown.
    class Scratch {
    private:
        friend class SearchQuery;
        std::string folded;
        std::vector<unsigned char> found;
    };

    SearchQuery() = default;
    explicit SearchQuery(std::string_view text);

    bool empty() const { return terms_.empty(); }
    // The folded words and phrases, in the order typed, without repeats.
    const std::vector<std::string>& terms() const { return terms_; }

    // The rows of the list that match, in its order; or those among these store rows, in
    // the order given (a view to narrow further).
    std::vector<int> MatchingRows(const CatalogList& list) const;
    std::vector<int> MatchingRows(const CatalogList& list, std::span<const int> storeRows) const;

    bool Matches(const CatalogRow& row) const;
    bool Matches(const CatalogRow& row, Scratch& scratch) const;
    // The same test over texts already in searchable form: each either pure ASCII (its case
    // is ignored) or folded. For callers that keep the folded forms of their cells.
    bool MatchesTexts(std::span<const std::string_view> texts, Scratch& scratch) const;

    // Whether every row this query matches is also matched by `wider`, so that a view
    // narrowed by `wider` can be narrowed further instead of searched again.
    bool Narrows(const SearchQuery& wider) const;

    // Whether the folded `term` occurs in a pure-ASCII text, its case ignored.
    static bool OccursInAscii(std::string_view text, std::string_view term);

private:
    // Marks the terms found in one cell; true once every term is found.
    bool Check(std::string_view cell, Scratch& scratch, std::size_t& left) const;
    bool CheckSearchable(std::string_view text, bool ascii, Scratch& scratch,
                         std::size_t& left) const;

    std::vector<std::string> terms_;
    std::vector<bool> termHasNonAscii_;
};
