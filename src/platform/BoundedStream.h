#pragma once

#include <taglib/tiostream.h>

// A read-only view of another TagLib stream that caps the work a parser can do on it.
//
// TagLib's parsers do two kinds of reads: short ones while they look for something (a frame
// sync, "OggS", "MAC ", an atom header), at most a kilobyte each, and longer ones that fetch
// the body of what they found (a tag, a metadata block, a page). Each kind draws on its own
// budget of bytes: a search through gigabytes of zeros for a header that never comes stops
// after the small search budget, while a large cover picture still fits the body budget.
// A read never asks the stream below for more than the file still holds, so a tag that
// claims gigabytes allocates only what is there. A read from a spent budget comes back
// empty, which TagLib takes for the end of the file. Seeks are free.
class BoundedStream : public TagLib::IOStream {
public:
    // Reads up to this length are searches; TagLib searches a kilobyte at a time.
    static constexpr unsigned long kSearchRead = 1024;
    // A search read costs at least this much, so a loop of tiny reads runs out too.
    static constexpr unsigned long kSearchCharge = 16;

    BoundedStream(TagLib::IOStream& stream, unsigned long searchBudget, unsigned long bodyBudget);

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    bool readOnly() const override { return true; }
    bool isOpen() const override;
    void seek(long offset, Position position = Beginning) override;
    void clear() override;
    long tell() const override;
    long length() override;

    // Reading only: these change nothing.
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    void truncate(long length) override;

private:
    TagLib::IOStream& stream_;
    unsigned long searchLeft_;
    unsigned long bodyLeft_;
    long length_ = -1;  // asked once: the stream below may seek to learn it
};
