#include "browse/SortOrder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "browse/CellKeys.h"
#include "browse/TextFold.h"
#include "catalog/CatalogList.h"
#include "catalog/RowFields.h"

namespace {

constexpr std::size_t kPieceSize = sizeof(std::uint64_t);
// Rows read ahead: after a sort the rows' bytes lie all over memory, and waiting for each
// one in turn costs more than the sort itself.
constexpr int kPrefetchDistance = 16;

// One row's key. Text is compared one eight-byte piece at a time, folded and big end first
// in `piece`, so most comparisons are one integer comparison; ties with more text to come
// are sorted again by their next piece, read through `text`, which points into the store
// (unchanged during the sort), so the store's row table is never looked up at random.
struct Key {
    std::uint64_t piece = 0;
    const char* text = nullptr;
    std::uint32_t size = 0;
    int row = 0;
};

void SetPiece(Key& key, std::size_t from) {
    key.piece = 0;
    const std::size_t count = std::min<std::size_t>(key.size - from, kPieceSize);
    for (std::size_t i = 0; i < count; ++i) {
        key.piece |= std::uint64_t{FoldAscii(static_cast<unsigned char>(key.text[from + i]))}
                     << (8 * (kPieceSize - 1 - i));
    }
}

// Empty fields sort before every number, 0 included.
std::uint64_t NumberFieldKey(std::string_view cell) {
    return cell.empty() ? 0 : std::min(DigitsValue(cell), UINT64_MAX - 1) + 1;
}

class KeyedSort {
public:
    KeyedSort(const CatalogList& list, int column, bool ascending)
        : list_(list), column_(column), ascending_(ascending) {}

    // `rows` lists the store rows to sort; empty with `allRows` for every row of the store.
    std::vector<int> Run(std::span<const int> rows, bool allRows) {
        const bool numeric = column_ == kSize || column_ == kModified || IsNumberField(column_);
        const int count = allRows ? list_.RowCount() : static_cast<int>(rows.size());
        const auto storeRow = [&](int at) { return allRows ? at : rows[at]; };
        keys_.resize(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) {
            if (row + kPrefetchDistance < count) {
                if (const CatalogRow* ahead = list_.RowRecord(storeRow(row + kPrefetchDistance))) {
                    ahead->Prefetch();
                }
            }
            const std::string_view cell = list_.CellText(storeRow(row), column_);
            Key& key = keys_[static_cast<std::size_t>(row)];
            key.row = row;
            if (!numeric && HasNonAscii(cell)) {
                // Only texts past ASCII need a folded copy; it lives in `folded_` until the
                // sort ends, its place noted for when the copies stop moving.
                const std::size_t start = folded_.size();
                AppendFolded(cell, folded_);
                key.size = static_cast<std::uint32_t>(folded_.size() - start);
                foldedKeys_.emplace_back(row, start);
            } else if (!numeric) {
                key.text = cell.data();
                key.size = static_cast<std::uint32_t>(cell.size());
                SetPiece(key, 0);
            } else if (column_ == kSize) {
                key.piece = DigitsValue(cell);
            } else if (column_ != kModified) {
                key.piece = NumberFieldKey(cell);
            } else if (const auto minutes = ModifiedMinutes(cell)) {
                key.piece = static_cast<std::uint64_t>(*minutes) + 1;  // 0: not a date
            }
        }
        for (const auto& [row, start] : foldedKeys_) {
            Key& key = keys_[static_cast<std::size_t>(row)];
            key.text = folded_.data() + start;
            SetPiece(key, 0);
        }
        SortAll();
        std::vector<int> order(keys_.size());
        std::transform(keys_.begin(), keys_.end(), order.begin(),
                       [](const Key& key) { return key.row; });
        return order;
    }

private:
    using Iterator = std::vector<Key>::iterator;

    // Bytes left from `from` on, capped so that all texts going on past this piece tie: a
    // text that ends within the piece sorts before a longer one with the same bytes.
    static std::uint32_t Rest(const Key& key, std::size_t from) {
        return static_cast<std::uint32_t>(std::min<std::size_t>(key.size - from, kPieceSize + 1));
    }

    // Sorts by the first piece, then each run still tied with more text to come by its next
    // piece, and so on. Each byte is folded once; a cell is read again only while it ties.
    void SortAll() {
        struct Range {
            Iterator first, last;
            std::size_t from;
        };
        std::vector<Range> pending{{keys_.begin(), keys_.end(), 0}};
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            if (range.from > 0) {
                for (auto key = range.first; key != range.last; ++key) {
                    if (range.last - key > kPrefetchDistance) {
                        PrefetchMemory((key + kPrefetchDistance)->text + range.from);
                    }
                    SetPiece(*key, range.from);
                }
            }
            const auto differ = [&range](const Key& a, const Key& b) {
                return a.piece != b.piece || Rest(a, range.from) != Rest(b, range.from);
            };
            // Paths share long beginnings: a piece that all rows share needs no sort.
            if (std::adjacent_find(range.first, range.last, differ) != range.last) {
                Sort(range.first, range.last, range.from);
            }
            for (auto run = range.first; run != range.last;) {
                const auto runEnd = std::find_if(run + 1, range.last,
                                                 [&](const Key& key) { return differ(*run, key); });
                if (runEnd - run > 1 && Rest(*run, range.from) > kPieceSize) {
                    pending.push_back({run, runEnd, range.from + kPieceSize});
                }
                run = runEnd;
            }
        }
    }

    void Sort(Iterator first, Iterator last, std::size_t from) const {
        const auto less = [from](const Key& a, const Key& b) {
            return a.piece != b.piece ? a.piece < b.piece : Rest(a, from) < Rest(b, from);
        };
        if (ascending_) {
            std::stable_sort(first, last, less);
        } else {
            std::stable_sort(first, last,
                             [&less](const Key& a, const Key& b) { return less(b, a); });
        }
    }

    const CatalogList& list_;
    const int column_;
    const bool ascending_;
    std::vector<Key> keys_;
    std::string folded_;                                   // folded copies of texts past ASCII
    std::vector<std::pair<int, std::size_t>> foldedKeys_;  // key, start in folded_
};

}  // namespace

std::vector<int> SortOrder(const CatalogList& list, int column, bool ascending) {
    return KeyedSort(list, column, ascending).Run({}, true);
}

std::vector<int> SortOrder(const CatalogList& list, std::span<const int> rows, int column,
                           bool ascending) {
    return KeyedSort(list, column, ascending).Run(rows, false);
}

int CompareCells(int column, std::string_view a, std::string_view b) {
    const auto compare = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (column == kSize) {
        return compare(DigitsValue(a), DigitsValue(b));
    }
    if (IsNumberField(column)) {
        return compare(NumberFieldKey(a), NumberFieldKey(b));
    }
    if (column == kModified) {
        // Texts that are no date sort first, all alike.
        const auto minutes = [](std::string_view text) {
            const auto value = ModifiedMinutes(text);
            return value ? static_cast<std::uint64_t>(*value) + 1 : std::uint64_t{0};
        };
        return compare(minutes(a), minutes(b));
    }
    if (HasNonAscii(a) || HasNonAscii(b)) {
        const std::string x = Folded(a);
        const std::string y = Folded(b);
        const std::basic_string_view<unsigned char> ux(
            reinterpret_cast<const unsigned char*>(x.data()), x.size());
        const std::basic_string_view<unsigned char> uy(
            reinterpret_cast<const unsigned char*>(y.data()), y.size());
        return compare(ux, uy);
    }
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return compare(a.size(), b.size());
}
