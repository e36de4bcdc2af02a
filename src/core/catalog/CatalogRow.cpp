#include "catalog/CatalogRow.h"

#include <cstring>
#include <stdexcept>

CatalogRow::CatalogRow(const RowCells& cells) {
    std::size_t total = 0;
    for (std::string_view cell : cells) {
        total += cell.size();
    }
    if (total == 0) {
        return;
    }
    if (total > UINT32_MAX - kHeaderSize) {
        throw std::length_error("catalog row too long");
    }
    data_ = std::make_unique_for_overwrite<char[]>(kHeaderSize + total);
    Offset ends[kColumnCount];
    Offset end = 0;
    char* text = data_.get() + kHeaderSize;
    for (int column = 0; column < kColumnCount; ++column) {
        const std::string_view cell = cells[column];
        if (!cell.empty()) {
            std::memcpy(text + end, cell.data(), cell.size());
        }
        end += static_cast<Offset>(cell.size());
        ends[column] = end;
    }
    std::memcpy(data_.get(), ends, kHeaderSize);
}

CatalogRow::CatalogRow(const CatalogRow& other) {
    if (other.data_) {
        const std::size_t size = other.ByteSize();
        data_ = std::make_unique_for_overwrite<char[]>(size);
        std::memcpy(data_.get(), other.data_.get(), size);
    }
}

CatalogRow& CatalogRow::operator=(const CatalogRow& other) {
    if (this != &other) {
        CatalogRow copy(other);
        data_ = std::move(copy.data_);
    }
    return *this;
}

CatalogRow::Offset CatalogRow::EndOf(int column) const {
    Offset end;
    std::memcpy(&end, data_.get() + sizeof(Offset) * column, sizeof(Offset));
    return end;
}

std::size_t CatalogRow::ByteSize() const {
    return data_ ? kHeaderSize + EndOf(kColumnCount - 1) : 0;
}

std::string_view CatalogRow::Cell(int column) const {
    if (!data_ || column < 0 || column >= kColumnCount) {
        return {};
    }
    const Offset begin = column == 0 ? 0 : EndOf(column - 1);
    return std::string_view(data_.get() + kHeaderSize + begin, EndOf(column) - begin);
}

RowCells CatalogRow::Cells() const {
    RowCells cells;
    for (int column = 0; column < kColumnCount; ++column) {
        cells[column] = Cell(column);
    }
    return cells;
}

void CatalogRow::SetCell(int column, std::string_view text) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    RowCells cells = Cells();
    cells[column] = text;  // may point into our own buffer: the constructor copies first
    *this = CatalogRow(cells);
}
