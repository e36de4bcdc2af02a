#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "browse/SearchQuery.h"
#include "catalog/CatalogList.h"
#include "catalog/CatalogListener.h"

// Which letters and digits each store row's searched texts hold, folded as the search folds
// them, one bit each: a row can only match a query whose letters it holds all of, and for a
// query of one letter or digit the bits are the answer. Kept in step with the store, so a
// search need not read the rows it rules out.
struct SearchHint;

class RowLetterIndex : private CatalogListener {
public:
    using Mask = std::uint64_t;

    explicit RowLetterIndex(CatalogList& store);
    ~RowLetterIndex() override;
    RowLetterIndex(const RowLetterIndex&) = delete;
    RowLetterIndex& operator=(const RowLetterIndex&) = delete;

    Mask Of(int storeRow) const { return masks_[static_cast<std::size_t>(storeRow)]; }

    // The letters of Artist, Track, In Folder/Disk, Path and the fields.
    static Mask OfRow(const CatalogRow& row);
    // The letters of a text already folded.
    static Mask OfFolded(std::string_view folded);
    // A folded term of one letter or digit, which the bits alone decide.
    static bool Decides(std::string_view folded);
    // What the bits say of the rows a query finds.
    static SearchHint HintFor(const SearchQuery& query);

private:
    void RowsAboutToBeInserted(int, int) override {}
    void RowsInserted(int first, int last) override;
    void RowsAboutToBeRemoved(int, int) override {}
    void RowsRemoved(int first, int last) override;
    void ManyRowsAboutToBeRemoved(std::span<const int>) override {}
    void ManyRowsRemoved(std::span<const int> ascendingRows) override;
    void ManyRowsAboutToBeInserted() override {}
    void ManyRowsInserted(std::span<const int> ascendingRows) override;
    void AboutToReset() override {}
    void Reset() override;
    void LayoutAboutToChange() override {}
    void LayoutChanged(std::span<const int> newRowOfOld) override;
    void CellsChanged(int row, int firstColumn, int lastColumn) override;

    std::vector<Mask> MasksOf(std::span<const int> rows) const;

    CatalogList& store_;
    std::vector<Mask> masks_;
};

// Letters every row a search finds holds, and whether they alone decide what it finds.
struct SearchHint {
    RowLetterIndex::Mask letters = 0;
    bool lettersDecide = false;
};
