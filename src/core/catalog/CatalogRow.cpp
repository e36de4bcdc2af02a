#include "catalog/CatalogRow.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "catalog/RowFields.h"

CatalogRow::CatalogRow(const RowCells& cells, std::string_view fields) {
    std::array<std::string_view, kTextCount> texts;
    std::size_t total = 0;
    for (int index = 0; index < kTextCount; ++index) {
        texts[index] = index < kColumnCount ? cells[index] : fields;
        total += texts[index].size();
    }
    if (total == 0) {
        return;
    }
    if (total >= kHasFields) {
        throw std::length_error("catalog row too long");
    }
    const int offsets = fields.empty() ? kColumnCount : kTextCount;
    const std::size_t headerSize = sizeof(Offset) * offsets;
    data_ = std::make_unique_for_overwrite<char[]>(headerSize + total);
    Offset ends[kTextCount];
    Offset end = 0;
    char* bytes = data_.get() + headerSize;
    for (int index = 0; index < kTextCount; ++index) {
        const std::string_view text = texts[index];
        if (!text.empty()) {
            std::memcpy(bytes + end, text.data(), text.size());
        }
        end += static_cast<Offset>(text.size());
        ends[index] = end;
    }
    if (!fields.empty()) {
        ends[kPath] |= kHasFields;
    }
    std::memcpy(data_.get(), ends, headerSize);
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

bool CatalogRow::HasFields() const {
    Offset pathEnd;
    std::memcpy(&pathEnd, data_.get() + sizeof(Offset) * kPath, sizeof(Offset));
    return (pathEnd & kHasFields) != 0;
}

std::size_t CatalogRow::HeaderSize() const {
    return sizeof(Offset) * (HasFields() ? kTextCount : kColumnCount);
}

CatalogRow::Offset CatalogRow::EndOf(int index) const {
    Offset end;
    std::memcpy(&end, data_.get() + sizeof(Offset) * index, sizeof(Offset));
    return end & ~kHasFields;
}

std::size_t CatalogRow::ByteSize() const {
    if (!data_) {
        return 0;
    }
    return HasFields() ? HeaderSize() + EndOf(kColumnCount) : HeaderSize() + EndOf(kPath);
}

std::string_view CatalogRow::Text(int index) const {
    if (!data_ || (index == kColumnCount && !HasFields())) {
        return {};
    }
    const Offset begin = index == 0 ? 0 : EndOf(index - 1);
    return std::string_view(data_.get() + HeaderSize() + begin, EndOf(index) - begin);
}

std::string_view CatalogRow::Cell(int column) const {
    if (column >= 0 && column < kColumnCount) {
        return Text(column);
    }
    if (column >= kColumnCount && column < kAllColumnCount) {
        return FieldValue(Fields(), static_cast<Column>(column));
    }
    return {};
}

RowCells CatalogRow::Cells() const {
    RowCells cells;
    for (int column = 0; column < kColumnCount; ++column) {
        cells[column] = Text(column);
    }
    return cells;
}

std::string_view CatalogRow::Fields() const {
    return Text(kColumnCount);
}

void CatalogRow::SetCell(int column, std::string_view text) {
    if (column >= kColumnCount && column < kAllColumnCount) {
        SetFields(WithFieldValue(Fields(), static_cast<Column>(column), text));
        return;
    }
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    RowCells cells = Cells();
    cells[column] = text;  // may point into our own buffer: the constructor copies first
    *this = CatalogRow(cells, Fields());
}

void CatalogRow::SetFields(std::string_view fields) {
    *this = CatalogRow(Cells(), fields);
}
