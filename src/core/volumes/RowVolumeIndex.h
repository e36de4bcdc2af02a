#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/CatalogListener.h"
#include "volumes/MountedSet.h"

class CatalogView;

// Which file system each store row lives on, as a small number kept in step with the store,
// and which of those file systems are away: painting a row or counting the rows shown that
// are not connected then reads no row's fields.
class RowVolumeIndex : private CatalogListener {
public:
    explicit RowVolumeIndex(CatalogList& store);
    ~RowVolumeIndex() override;
    RowVolumeIndex(const RowVolumeIndex&) = delete;
    RowVolumeIndex& operator=(const RowVolumeIndex&) = delete;

    // The file systems mounted now. True when a row came or went.
    bool SetMounted(MountedSet mounted);
    const MountedSet& mounted() const { return mounted_; }

    // The row names a file system that is not mounted now.
    bool IsAway(int storeRow) const;
    // How many of the rows the view shows are away.
    int AwayCount(const CatalogView& view) const;
    // Whether any row is away.
    bool AnyAway() const { return awayRows_ > 0; }

private:
    using Number = std::uint32_t;  // 0: the row names no file system

    Number NumberOf(const CatalogRow& row);
    Number NumberOfId(std::string_view id);
    void MarkAway();
    void CountAway();

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

    CatalogList& store_;
    MountedSet mounted_;
    std::vector<Number> numbers_;   // per store row
    std::vector<std::string> ids_;  // per number - 1
    std::unordered_map<std::string, Number> numberOfId_;
    std::vector<char> away_;  // per number; number 0 is never away
    Number lastNumber_ = 0;   // rows come in runs of one file system
    int awayRows_ = 0;
};
