#pragma once

#include <taglib/tiostream.h>

// A read-only view of another TagLib stream that caps the work a parser can do on it.
//
// TagLib's parsers read in three ways: a kilobyte at a time while they search bytes they do
// not know for something (a frame sync, "OggS", an ID3v2 tag before the first frame), short
// reads of the headers they walk (an Ogg page header and its segment table, an atom or
// metadata block header, a frame header), and long reads that fetch the body of what they
// found (a tag, a metadata block, a page). Each way draws on its own budget of bytes: a
// search through gigabytes of zeros stops after the search budget, a chain of tiny headers
// after the header budget, while a large cover picture still fits the body budget and the
// hundreds of page headers it spans never touch the search budget. A read never asks the
// stream below for more than the file still holds, so a tag that claims gigabytes
// allocates only what is there. A read from a spent budget comes back empty, which TagLib
// takes for the end of the file. Seeks are free.
class BoundedStream : public TagLib::IOStream {
public:
    // TagLib searches in reads of exactly this length (File::bufferSize); shorter reads are
    // headers, longer ones bodies.
    static constexpr unsigned long kSearchRead = 1024;
    // A header read costs at least this much, so a loop of tiny reads runs out too.
    static constexpr unsigned long kHeaderCharge = 16;

    struct Budgets {
        unsigned long search;
        unsigned long headers;
        unsigned long bodies;
    };

    BoundedStream(TagLib::IOStream& stream, Budgets budgets);

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
    Budgets left_;
    long length_ = -1;  // asked once: the stream below may seek to learn it
};
