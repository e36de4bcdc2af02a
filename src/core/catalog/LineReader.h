#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSource.h"

// Splits a byte stream into lines. A line ends at LF, or at CR; the byte after a CR is read
// too and, unless it is LF, kept as the line's last byte. A last line without an end counts
// when it holds at least one byte. Lines have no length limit.
class LineReader {
public:
    explicit LineReader(ByteSource& source, std::size_t bufferSize = 1 << 20);

    // Reads the next `size` raw bytes, fewer at the end of the stream.
    std::string_view ReadBytes(std::size_t size);
    // False at the end of the stream or on a read error (see status()). The view stays valid
    // until the next call.
    bool NextLine(std::string_view& line);
    const Result& status() const { return status_; }
    // The lines returned so far that ended at a line feed, CR LF included: the lines a
    // catalog's row count counts.
    std::uint64_t lineFeeds() const { return lineFeeds_; }

private:
    bool Fill();
    bool ReadByteAfterCarriageReturn(std::string_view lineSoFar, std::string_view& line);

    ByteSource& source_;
    // Left unfilled until read into: zeroing a megabyte per small file would cost more than
    // reading it.
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::string carry_;
    Result status_ = Result::Ok();
    std::uint64_t lineFeeds_ = 0;
};
