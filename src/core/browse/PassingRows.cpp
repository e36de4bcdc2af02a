#include "browse/PassingRows.h"

#include <algorithm>
#include <thread>

#include "browse/SplitWork.h"
#include "catalog/CatalogList.h"

std::vector<int> PassingRows(const CatalogList& store, const std::vector<int>* among, bool prefetch,
                             const std::function<bool(int storeRow)>& test) {
    // After a sort the rows' bytes lie all over memory: fetch ahead rather than wait on each.
    constexpr int kPrefetchDistance = 16;
    const auto storeRow = [among](int at) {
        return among ? (*among)[static_cast<std::size_t>(at)] : at;
    };
    const auto passingIn = [&](int first, int last, std::vector<int>& rows) {
        for (int at = first; at < last; ++at) {
            if (prefetch && at + kPrefetchDistance < last) {
                store.RowRecord(storeRow(at + kPrefetchDistance))->Prefetch();
            }
            if (test(storeRow(at))) {
                rows.push_back(storeRow(at));
            }
        }
    };
    constexpr int kRowsPerThread = 100'000;
    const int count = among ? static_cast<int>(among->size()) : store.RowCount();
    std::vector<std::vector<int>> parts(std::max(1U, std::thread::hardware_concurrency()));
    const int used = SplitWork(count, kRowsPerThread, [&](int first, int last, int part) {
        passingIn(first, last, parts[static_cast<std::size_t>(part)]);
    });
    std::vector<int> rows = std::move(parts[0]);
    for (int part = 1; part < used; ++part) {
        rows.insert(rows.end(), parts[static_cast<std::size_t>(part)].begin(),
                    parts[static_cast<std::size_t>(part)].end());
    }
    return rows;
}
