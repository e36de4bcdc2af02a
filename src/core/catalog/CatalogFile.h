#pragma once

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"
#include "catalog/CatalogList.h"

// The catalog file (.plm): a 4-byte little-endian row count, then one record line per row,
// each followed by a line feed.
class CatalogFile {
public:
    static Result StoreCatalog(const CatalogList& list, ByteSink& sink);
    // Appends the rows of the stream to the list, after clearing it when `clearFirst`. Any
    // content loads; on a read error the rows read before it stay and the error is returned.
    static Result LoadCatalog(CatalogList& list, ByteSource& source, bool clearFirst);
};
