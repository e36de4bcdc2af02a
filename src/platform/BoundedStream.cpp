#include "BoundedStream.h"

#include <algorithm>

BoundedStream::BoundedStream(TagLib::IOStream& stream, Budgets budgets)
    : stream_(stream), left_(budgets) {}

TagLib::FileName BoundedStream::name() const {
    return stream_.name();
}

TagLib::ByteVector BoundedStream::readBlock(unsigned long length) {
    const long position = stream_.tell();
    const long size = this->length();
    const bool header = length < kSearchRead;
    unsigned long& left = length == kSearchRead ? left_.search
                          : header              ? left_.headers
                                                : left_.bodies;
    if (left == 0 || length == 0 || position < 0 || position >= size) {
        return {};
    }
    const unsigned long granted =
        std::min({length, static_cast<unsigned long>(size - position), left});
    const unsigned long charge = header ? std::max(granted, kHeaderCharge) : granted;
    left -= std::min(left, charge);
    return stream_.readBlock(granted);
}

bool BoundedStream::isOpen() const {
    return stream_.isOpen();
}

void BoundedStream::seek(long offset, Position position) {
    stream_.seek(offset, position);
}

void BoundedStream::clear() {
    stream_.clear();
}

long BoundedStream::tell() const {
    return stream_.tell();
}

long BoundedStream::length() {
    if (length_ < 0) {
        length_ = std::max(stream_.length(), 0L);
    }
    return length_;
}

void BoundedStream::writeBlock(const TagLib::ByteVector&) {}

void BoundedStream::insert(const TagLib::ByteVector&, unsigned long, unsigned long) {}

void BoundedStream::removeBlock(unsigned long, unsigned long) {}

void BoundedStream::truncate(long) {}
