#pragma once

#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"

// The record line of the catalog file: the row line with every byte XORed with a mask.
// Cell bytes the plain form cannot hold (NUL and the mask, which mask to the byte that ends a
// line's text, the bytes that mask to line ends, the tab, and the escape byte itself) are
// written as the escape byte and the byte XOR 0x80.
class RecordCodec {
public:
    static constexpr unsigned char kMask = 0xC5;
    static constexpr unsigned char kEscape = 0x7F;

    // Appends the row's record line, without its line feed.
    static void AppendRecordLine(const CatalogRow& row, std::string& out);
    // Decodes one raw line as read from the file. `scratch` is reused between calls.
    static CatalogRow DecodeRecordLine(std::string_view raw, std::string& scratch);

    // The row line as plain text, one line a row, for tools that read lines: the same
    // escape, unmasked, for the bytes that would end the line or split a cell there (NUL,
    // tab, line feed, carriage return) and for the escape byte. With `withFields` the
    // field pieces stand between Modified and Path.
    static void AppendTextLine(const CatalogRow& row, std::string& out, bool withFields);
    static CatalogRow ParseTextLine(std::string_view line, std::string& scratch);
};
