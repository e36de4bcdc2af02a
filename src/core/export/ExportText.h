#pragma once

#include <array>
#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/CatalogRow.h"

// Appends the text as UTF-8 the way the window shows it: valid UTF-8 as it is, anything else
// (a catalog written on Windows) read as Latin-1.
void AppendShownText(std::string_view text, std::string& out);

// Every column's text of a row, as row.Cell gives it, its fields read in one pass.
std::array<std::string_view, kAllColumnCount> RowTexts(const CatalogRow& row);

// Gathers a file's text and hands it to a sink in large writes, so a million rows cost a few
// hundred writes rather than a million.
class ChunkedOutput {
public:
    explicit ChunkedOutput(ByteSink& sink) : sink_(sink) {}

    std::string& text() { return text_; }
    // Writes what has gathered once it is a chunk or more.
    Result Ready();
    // Writes the rest.
    Result Finish();

private:
    ByteSink& sink_;
    std::string text_;
};
