#include "catalog/LineReader.h"

#include <cstring>

namespace {
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
}  // namespace

LineReader::LineReader(ByteSource& source, std::size_t bufferSize)
    : source_(source),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSize)),
      bufferSize_(bufferSize) {}

bool LineReader::Fill() {
    begin_ = 0;
    end_ = 0;
    if (!status_) {
        return false;
    }
    std::size_t count = 0;
    status_ = source_.Read(buffer_.get(), bufferSize_, count);
    end_ = status_ ? count : 0;
    return end_ > 0;
}

std::string_view LineReader::ReadBytes(std::size_t size) {
    carry_.clear();
    while (carry_.size() < size && (begin_ < end_ || Fill())) {
        const std::size_t take = std::min(size - carry_.size(), end_ - begin_);
        carry_.append(buffer_.get() + begin_, take);
        begin_ += take;
    }
    return carry_;
}

bool LineReader::NextLine(std::string_view& line) {
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !Fill()) {
            if (!status_ || carry_.empty()) {
                return false;
            }
            line = carry_;
            return true;
        }
        const char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const auto* lineFeed = static_cast<const char*>(std::memchr(start, kLineFeed, available));
        const std::size_t searched = lineFeed ? lineFeed - start : available;
        const auto* carriageReturn =
            static_cast<const char*>(std::memchr(start, kCarriageReturn, searched));
        const char* stop = carriageReturn ? carriageReturn : lineFeed;
        if (!stop) {
            carry_.append(start, available);
            begin_ = end_;
            continue;
        }
        std::string_view piece(start, stop - start);
        begin_ += piece.size() + 1;
        if (!carry_.empty()) {
            carry_.append(piece);
            piece = carry_;
        }
        if (stop == carriageReturn) {
            return ReadByteAfterCarriageReturn(piece, line);
        }
        ++lineFeeds_;
        line = piece;
        return true;
    }
}

bool LineReader::ReadByteAfterCarriageReturn(std::string_view lineSoFar, std::string_view& line) {
    if (begin_ == end_) {
        // The buffer is about to be refilled: keep the line's bytes first.
        if (lineSoFar.data() != carry_.data()) {
            carry_.assign(lineSoFar);
        }
        lineSoFar = carry_;
        if (!Fill()) {
            line = lineSoFar;
            return static_cast<bool>(status_);
        }
    }
    const char next = buffer_[begin_++];
    if (next == kLineFeed) {
        ++lineFeeds_;
        line = lineSoFar;
        return true;
    }
    if (lineSoFar.data() == carry_.data()) {
        carry_ += next;
        line = carry_;
        return true;
    }
    // The piece and the byte after it are neighbours in the buffer, CR between them.
    carry_.assign(lineSoFar);
    carry_ += next;
    line = carry_;
    return true;
}
