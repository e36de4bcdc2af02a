#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

// Column numbers are fixed; every part of the program uses them as plain integers. The six
// cells of a row line come first; the fields a file's tags give follow them.
enum Column : int {
    kArtist = 0,
    kTrack = 1,
    kFolderDisk = 2,
    kSize = 3,
    kModified = 4,
    kPath = 5,
    kAlbum = 6,
    kAlbumArtist = 7,
    kTrackNumber = 8,
    kDisc = 9,
    kYear = 10,
    kGenre = 11,
    kLength = 12,   // whole seconds
    kBitrate = 13,  // kbit/s
};
// The cells of a row line.
inline constexpr int kColumnCount = 6;
// Every column, the fields included.
inline constexpr int kAllColumnCount = 14;

using RowCells = std::array<std::string_view, kColumnCount>;

// A hint to the processor that `address` will be read soon.
inline void PrefetchMemory(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// One catalog entry: six cells and the row's field pieces, held whole in a single buffer, so
// a million rows cost about a third of what separate strings would. The buffer starts with
// the end offsets of the six cells, then, only in a row with fields (marked by the top bit of
// Path's offset), the end offset of the fields text; their bytes follow. An empty row owns
// no buffer at all.
class CatalogRow {
public:
    CatalogRow() = default;
    // `fields` is a fields text as RowFields.h describes it.
    explicit CatalogRow(const RowCells& cells, std::string_view fields = {});
    CatalogRow(const CatalogRow& other);
    CatalogRow& operator=(const CatalogRow& other);
    CatalogRow(CatalogRow&&) noexcept = default;
    CatalogRow& operator=(CatalogRow&&) noexcept = default;

    // A cell, or for kAlbum to kBitrate that field's value; an empty view for a column
    // outside 0..13.
    std::string_view Cell(int column) const;
    // The six cells of the row line.
    RowCells Cells() const;
    // The row's field pieces, joined by tabs; empty when it has none.
    std::string_view Fields() const;
    // Starts fetching the row's bytes into the cache, ahead of a pass over many rows that
    // would otherwise wait on memory once per row.
    void Prefetch() const { PrefetchMemory(data_.get()); }
    // Replaces a cell, or sets a field (an empty text removes it).
    void SetCell(int column, std::string_view text);
    void SetFields(std::string_view fields);

    bool operator==(const CatalogRow& other) const {
        return Cells() == other.Cells() && Fields() == other.Fields();
    }

private:
    using Offset = std::uint32_t;
    static constexpr int kTextCount = kColumnCount + 1;  // the cells, then the fields text
    static constexpr Offset kHasFields = Offset{1} << 31;

    bool HasFields() const;
    std::size_t HeaderSize() const;
    std::string_view Text(int index) const;

    Offset EndOf(int index) const;
    std::size_t ByteSize() const;

    std::unique_ptr<char[]> data_;
};
