#include "browse/RowLetterIndex.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>

#include "browse/SplitWork.h"
#include "browse/TextFold.h"
#include "catalog/RowFields.h"
#include "catalog/RowVectors.h"

namespace {

constexpr int BitOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return c - 'a';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= '0' && c <= '9') {
        return 26 + (c - '0');
    }
    return -1;
}

constexpr std::array<RowLetterIndex::Mask, 256> kBitOfByte = [] {
    std::array<RowLetterIndex::Mask, 256> bits{};
    for (int c = 0; c < 256; ++c) {
        if (const int bit = BitOf(static_cast<unsigned char>(c)); bit >= 0) {
            bits[static_cast<std::size_t>(c)] = RowLetterIndex::Mask{1} << bit;
        }
    }
    return bits;
}();

RowLetterIndex::Mask LettersOf(std::string_view text, std::string& scratch) {
    if (HasNonAscii(text)) {
        scratch.clear();
        AppendFolded(text, scratch);
        text = scratch;
    }
    RowLetterIndex::Mask mask = 0;
    for (const char c : text) {
        mask |= kBitOfByte[static_cast<unsigned char>(c)];
    }
    return mask;
}

}  // namespace

RowLetterIndex::RowLetterIndex(CatalogList& store) : store_(store) {
    store_.AddListener(this, CatalogList::Hears::First);
    Reset();
}

RowLetterIndex::~RowLetterIndex() {
    store_.RemoveListener(this);
}

RowLetterIndex::Mask RowLetterIndex::OfRow(const CatalogRow& row) {
    std::string scratch;
    Mask mask = 0;
    for (const int column : {kArtist, kTrack, kFolderDisk, kPath}) {
        mask |= LettersOf(row.Cell(column), scratch);
    }
    // One pass over the fields text: the first piece of each known field, as a cell reads it.
    ForEachFieldValue(row.Fields(), [&](Column, std::string_view value) {
        mask |= LettersOf(value, scratch);
        return false;
    });
    return mask;
}

RowLetterIndex::Mask RowLetterIndex::OfFolded(std::string_view folded) {
    std::string scratch;
    return LettersOf(folded, scratch);
}

bool RowLetterIndex::Decides(std::string_view folded) {
    return folded.size() == 1 && BitOf(static_cast<unsigned char>(folded[0])) >= 0;
}

SearchHint RowLetterIndex::HintFor(const SearchQuery& query) {
    SearchHint hint;
    for (const std::string& term : query.terms()) {
        hint.letters |= OfFolded(term);
    }
    hint.lettersDecide = query.terms().size() == 1 && Decides(query.terms().front());
    return hint;
}

// The letters of many rows at once (an undo puts back a million) are shared among the cores.
std::vector<RowLetterIndex::Mask> RowLetterIndex::MasksOf(std::span<const int> rows) const {
    std::vector<Mask> masks(rows.size());
    constexpr int kRowsPerThread = 100'000;
    SplitWork(static_cast<int>(rows.size()), kRowsPerThread, [&](int first, int last, int) {
        for (int at = first; at < last; ++at) {
            masks[static_cast<std::size_t>(at)] = OfRow(*store_.RowRecord(rows[at]));
        }
    });
    return masks;
}

void RowLetterIndex::RowsInserted(int first, int last) {
    std::vector<int> rows(static_cast<std::size_t>(last - first + 1));
    std::iota(rows.begin(), rows.end(), first);
    const std::vector<Mask> added = MasksOf(rows);
    masks_.insert(masks_.begin() + first, added.begin(), added.end());
}

void RowLetterIndex::RowsRemoved(int first, int last) {
    masks_.erase(masks_.begin() + first, masks_.begin() + last + 1);
}

void RowLetterIndex::ManyRowsRemoved(std::span<const int> ascendingRows) {
    EraseRows(masks_, ascendingRows);
}

void RowLetterIndex::ManyRowsInserted(std::span<const int> ascendingRows) {
    const std::vector<Mask> added = MasksOf(ascendingRows);
    std::size_t next = 0;
    InsertRows(masks_, ascendingRows, [&added, &next](int) { return added[next++]; });
}

void RowLetterIndex::Reset() {
    // A catalog opened: every row's letters, on every core.
    const int count = store_.RowCount();
    masks_.assign(static_cast<std::size_t>(count), 0);
    constexpr int kRowsPerThread = 100'000;
    SplitWork(count, kRowsPerThread, [this](int first, int last, int) {
        for (int row = first; row < last; ++row) {
            masks_[static_cast<std::size_t>(row)] = OfRow(*store_.RowRecord(row));
        }
    });
}

void RowLetterIndex::LayoutChanged(std::span<const int> newRowOfOld) {
    MoveRows(masks_, newRowOfOld);
}

void RowLetterIndex::CellsChanged(int row, int, int) {
    masks_[static_cast<std::size_t>(row)] = OfRow(*store_.RowRecord(row));
}
