// A .plm file from anywhere: any content loads, however the reads split it, and the rows
// it gives are stored and loaded back unchanged, under a count that matches them.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "catalog/CatalogFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    CatalogList whole;
    MemorySource source(bytes);
    Require(CatalogFile::LoadCatalog(whole, source, true).ok(), "any content loads");

    CatalogList pieces;
    pieces.InsertRow(0, "a row the load clears");
    MemorySource shortReads(bytes, 1 + size % 13);
    Require(CatalogFile::LoadCatalog(pieces, shortReads, true).ok(), "short reads load");
    Require(SameRows(whole, pieces), "short reads give the same rows");

    MemorySink sink;
    Require(CatalogFile::StoreCatalog(whole, sink).ok(), "the rows store");
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < 4 && i < sink.bytes.size(); ++i) {
        count |= static_cast<std::uint32_t>(static_cast<unsigned char>(sink.bytes[i])) << (8 * i);
    }
    Require(sink.bytes.size() >= 4 && count == static_cast<std::uint32_t>(whole.RowCount()),
            "a stored catalog starts with its row count");
    CatalogList again;
    MemorySource stored(sink.bytes);
    Require(CatalogFile::LoadCatalog(again, stored, true).ok(), "a stored catalog loads");
    Require(SameRows(whole, again), "stored rows load back unchanged");
    MemorySource storedAgain(sink.bytes);
    Require(CatalogFile::ReadCatalog(storedAgain).countMatches,
            "a stored catalog's count matches its lines");
    return 0;
}
