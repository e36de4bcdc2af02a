#include "catalog/CatalogFile.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/LineReader.h"
#include "catalog/RecordCodec.h"

namespace {
constexpr std::size_t kWriteChunk = 1 << 20;
constexpr std::size_t kCountSize = 4;
}  // namespace

Result CatalogFile::StoreCatalog(const CatalogList& list, ByteSink& sink) {
    const auto count = static_cast<std::uint32_t>(list.RowCount());
    std::string out;
    // Grown as rows come: a small catalog never asks for the whole chunk.
    out.reserve(std::min<std::size_t>(kWriteChunk + 4096, 4096 + 256 * list.RowCount()));
    for (std::size_t i = 0; i < kCountSize; ++i) {
        out += static_cast<char>((count >> (8 * i)) & 0xFF);
    }
    for (int row = 0; row < list.RowCount(); ++row) {
        RecordCodec::AppendRecordLine(*list.RowRecord(row), out);
        out += '\n';
        if (out.size() >= kWriteChunk) {
            if (Result written = sink.Write(out.data(), out.size()); !written) {
                return written;
            }
            out.clear();
        }
    }
    return sink.Write(out.data(), out.size());
}

CatalogFile::Contents CatalogFile::ReadCatalog(ByteSource& source) {
    LineReader reader(source);
    Contents contents;
    const std::string_view countBytes = reader.ReadBytes(kCountSize);
    const bool hasCount = countBytes.size() == kCountSize;
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < countBytes.size(); ++i) {
        count |= static_cast<std::uint32_t>(static_cast<unsigned char>(countBytes[i])) << (8 * i);
    }
    std::string scratch;
    try {
        std::string_view line;
        while (reader.NextLine(line)) {
            contents.rows.push_back(RecordCodec::DecodeRecordLine(line, scratch));
        }
        contents.status = reader.status();
    } catch (const std::bad_alloc&) {
        contents.status = Result::Failure("There is not enough memory to load the catalog.");
    } catch (const std::length_error&) {
        contents.status = Result::Failure("The catalog holds a line too long to load.");
    }
    // Lines, not rows: a CR inside a line of an older catalog splits it into two rows.
    contents.countMatches = !hasCount || reader.lineFeeds() == count;
    return contents;
}

Result CatalogFile::ForEachRow(ByteSource& source,
                               const std::function<void(const CatalogRow&)>& each) {
    LineReader reader(source);
    reader.ReadBytes(kCountSize);
    std::string scratch;
    try {
        std::string_view line;
        while (reader.NextLine(line)) {
            each(RecordCodec::DecodeRecordLine(line, scratch));
        }
    } catch (const std::bad_alloc&) {
        return Result::Failure("There is not enough memory to load the catalog.");
    } catch (const std::length_error&) {
        return Result::Failure("The catalog holds a line too long to load.");
    }
    return reader.status();
}

Result CatalogFile::LoadCatalog(CatalogList& list, ByteSource& source, bool clearFirst) {
    Contents contents = ReadCatalog(source);
    if (clearFirst) {
        list.ReplaceRows(std::move(contents.rows));
    } else {
        list.AppendRows(std::move(contents.rows));
    }
    return contents.status;
}
