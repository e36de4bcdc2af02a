#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "catalog/CatalogRow.h"
#include "catalog/RowLine.h"

// Readable failure messages; found by argument-dependent lookup.
inline void PrintTo(const CatalogRow& row, std::ostream* out) {
    *out << testing::PrintToString(JoinRowLine(row));
}
