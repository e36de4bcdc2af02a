#pragma once

#include <functional>
#include <vector>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"
#include "catalog/CatalogList.h"
#include "catalog/CatalogRow.h"

// The catalog file (.plm): a 4-byte little-endian row count, then one record line per row,
// each followed by a line feed.
class CatalogFile {
public:
    // A stream read whole, before any of its rows goes into a list.
    struct Contents {
        std::vector<CatalogRow> rows;
        // The count equals the number of lines ended by a line feed, as in every catalog
        // Plumet writes; also true for a stream too short to hold a count.
        bool countMatches = true;
        // On a read error the rows read before it are kept.
        Result status = Result::Ok();
    };

    static Result StoreCatalog(const CatalogList& list, ByteSink& sink);
    // Any content reads: the count only says whether the stream looks like a catalog.
    static Contents ReadCatalog(ByteSource& source);
    // Reads the stream row by row, handing each to `each` without keeping it, for a pass
    // over catalogs too many to hold at once. The rows read before an error have been handed.
    static Result ForEachRow(ByteSource& source,
                             const std::function<void(const CatalogRow&)>& each);
    // Appends the rows of the stream to the list, after clearing it when `clearFirst`. Any
    // content loads; on a read error the rows read before it stay and the error is returned.
    static Result LoadCatalog(CatalogList& list, ByteSource& source, bool clearFirst);
};
