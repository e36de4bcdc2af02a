#pragma once

#include <functional>
#include <vector>

class CatalogList;

// The store rows of `among` (every store row when null) that pass `test`, in that order. Many
// rows are shared among the cores, so `test` may run on several threads at once; it may only
// read the store, which nothing changes meanwhile. With `prefetch`, rows' bytes are fetched
// ahead, for tests that read them.
std::vector<int> PassingRows(const CatalogList& store, const std::vector<int>* among, bool prefetch,
                             const std::function<bool(int storeRow)>& test);
