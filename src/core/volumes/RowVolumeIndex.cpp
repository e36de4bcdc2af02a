#include "volumes/RowVolumeIndex.h"

#include "browse/CatalogView.h"
#include "browse/SplitWork.h"
#include "catalog/RowVectors.h"
#include "volumes/VolumePieces.h"

RowVolumeIndex::RowVolumeIndex(CatalogList& store) : store_(store), away_(1, 0) {
    store_.AddListener(this, CatalogList::Hears::First);
    Reset();
}

RowVolumeIndex::~RowVolumeIndex() {
    store_.RemoveListener(this);
}

bool RowVolumeIndex::SetMounted(MountedSet mounted) {
    mounted_ = std::move(mounted);
    const std::vector<char> before = away_;
    MarkAway();
    if (away_ == before) {
        return false;
    }
    CountAway();
    return true;
}

bool RowVolumeIndex::IsAway(int storeRow) const {
    if (storeRow < 0 || static_cast<std::size_t>(storeRow) >= numbers_.size()) {
        return false;
    }
    return away_[numbers_[static_cast<std::size_t>(storeRow)]] != 0;
}

int RowVolumeIndex::AwayCount(const CatalogView& view) const {
    if (awayRows_ == 0) {
        return 0;
    }
    if (!view.narrowed()) {
        return awayRows_;
    }
    int count = 0;
    for (int row = 0; row < view.RowCount(); ++row) {
        count += IsAway(view.StoreRow(row)) ? 1 : 0;
    }
    return count;
}

RowVolumeIndex::Number RowVolumeIndex::NumberOf(const CatalogRow& row) {
    return NumberOfId(RowVolume(row));
}

RowVolumeIndex::Number RowVolumeIndex::NumberOfId(std::string_view id) {
    if (id.empty()) {
        return 0;
    }
    if (lastNumber_ != 0 && ids_[lastNumber_ - 1] == id) {
        return lastNumber_;
    }
    const auto [found, added] =
        numberOfId_.try_emplace(std::string(id), static_cast<Number>(ids_.size() + 1));
    if (added) {
        ids_.emplace_back(id);
        away_.push_back(mounted_.Find(id) == nullptr ? 1 : 0);
    }
    lastNumber_ = found->second;
    return lastNumber_;
}

void RowVolumeIndex::MarkAway() {
    for (std::size_t number = 1; number < away_.size(); ++number) {
        away_[number] = mounted_.Find(ids_[number - 1]) == nullptr ? 1 : 0;
    }
}

void RowVolumeIndex::CountAway() {
    awayRows_ = 0;
    for (const Number number : numbers_) {
        awayRows_ += away_[number];
    }
}

void RowVolumeIndex::RowsInserted(int first, int last) {
    std::vector<Number> added;
    added.reserve(static_cast<std::size_t>(last - first + 1));
    for (int row = first; row <= last; ++row) {
        added.push_back(NumberOf(*store_.RowRecord(row)));
        awayRows_ += away_[added.back()];
    }
    numbers_.insert(numbers_.begin() + first, added.begin(), added.end());
}

void RowVolumeIndex::RowsRemoved(int first, int last) {
    for (int row = first; row <= last; ++row) {
        awayRows_ -= away_[numbers_[static_cast<std::size_t>(row)]];
    }
    numbers_.erase(numbers_.begin() + first, numbers_.begin() + last + 1);
}

void RowVolumeIndex::ManyRowsRemoved(std::span<const int> ascendingRows) {
    EraseRows(numbers_, ascendingRows);
    CountAway();
}

void RowVolumeIndex::ManyRowsInserted(std::span<const int> ascendingRows) {
    InsertRows(numbers_, ascendingRows,
               [this](int row) { return NumberOf(*store_.RowRecord(row)); });
    CountAway();
}

void RowVolumeIndex::Reset() {
    // The file systems of a catalog are few, so the names are kept for the program's run.
    // Finding each row's name is most of the work, and is shared among the cores.
    const int count = store_.RowCount();
    std::vector<std::string_view> ids(static_cast<std::size_t>(count));
    constexpr int kRowsPerThread = 100'000;
    SplitWork(count, kRowsPerThread, [this, &ids](int first, int last, int) {
        constexpr int kAhead = 8;  // each row is a buffer of its own: fetch ahead of the pass
        for (int row = first; row < last; ++row) {
            if (row + kAhead < last) {
                store_.RowRecord(row + kAhead)->Prefetch();
            }
            ids[static_cast<std::size_t>(row)] = RowVolume(*store_.RowRecord(row));
        }
    });
    numbers_.resize(ids.size());
    for (std::size_t row = 0; row < ids.size(); ++row) {
        numbers_[row] = NumberOfId(ids[row]);
    }
    CountAway();
}

void RowVolumeIndex::LayoutChanged(std::span<const int> newRowOfOld) {
    MoveRows(numbers_, newRowOfOld);
}

void RowVolumeIndex::CellsChanged(int row, int, int) {
    Number& number = numbers_[static_cast<std::size_t>(row)];
    awayRows_ -= away_[number];
    number = NumberOf(*store_.RowRecord(row));
    awayRows_ += away_[number];
}
