#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "Result.h"
#include "catalog/ByteSink.h"

class CatalogRow;
class ExportRows;

// The rows as one web page that needs nothing else: every column, and a search box that
// narrows the rows as the user types, by the search box's own rules. The rows travel as one
// JSON array and only a window of the matching rows is drawn, so a phone keeps up with a
// hundred thousand of them.
class SearchablePageWriter {
public:
    explicit SearchablePageWriter(std::string title) : title_(std::move(title)) {}

    Result Write(const ExportRows& rows, ByteSink& sink) const;

    // One row's JSON array (see SearchablePageText.h).
    static void AppendRowData(const CatalogRow& row, std::string& out);
    // A JSON string that is safe inside a script element: "<", ">" and "&" as \u escapes.
    static void AppendJsonString(std::string_view text, std::string& out);
    // Each character that folds otherwise than a decomposed query does in the page by itself,
    // as a JSON object of its folded form.
    static std::string FoldTable();

private:
    std::string Head() const;

    std::string title_;
};
