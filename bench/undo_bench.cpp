// Undo of large removals in the program's list view (offscreen), from the command to the
// view painting its first page again: every row of a million, 177,000 rows scattered through
// them, and the rows a search shows. Also how much memory the removed rows keep while they
// wait to be put back:   undo_bench [--rows N]

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "CPlumetView.h"
#include "CatalogGenerator.h"
#include "CatalogModel.h"
#include "PosixFiles.h"
#include "browse/CatalogView.h"
#include "browse/RowLetterIndex.h"
#include "browse/SearchQuery.h"
#include "catalog/CatalogFile.h"
#include "catalog/UndoHistory.h"

namespace {

constexpr std::uint32_t kVariant = 20210314;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "undo_bench: %s\n", message.c_str());
    std::exit(1);
}

// The resident memory of this process, in MB.
double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t rows = 1'000'000;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::strtoull(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: undo_bench [--rows N]\n");
            return 2;
        }
    }
    char folderTemplate[] = "/tmp/plumet-undo-bench-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        Fail("no temporary folder");
    }
    const std::string folder = folderTemplate;
    const std::string catalogPath = folder + "/catalog.plm";
    GeneratedCatalog generated;
    if (Result made = GenerateCatalog(catalogPath, rows, kVariant, generated, true, true); !made) {
        Fail(made.error());
    }

    QApplication application(argc, argv);
    CatalogList list;
    UndoHistory history(list);
    const RowLetterIndex letters(list);
    CatalogView shown(list);
    CatalogModel model(shown);
    PosixFiles files;
    Files::OpenedFile opened;
    if (Result read = files.OpenForReading(catalogPath, opened); !read) {
        Fail(read.error());
    }
    if (Result loaded = CatalogFile::LoadCatalog(list, *opened.source, true); !loaded) {
        Fail(loaded.error());
    }
    CPlumetView view(model);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    const auto repainted = [&](const std::function<void()>& work) {
        return Seconds([&] {
            work();
            view.viewport()->repaint();
        });
    };
    const auto undo = [&] { (void)history.Undo(); };
    const auto redo = [&] { (void)history.Redo(); };

    // Every row.
    std::vector<int> all(static_cast<std::size_t>(list.RowCount()));
    for (std::size_t row = 0; row < all.size(); ++row) {
        all[row] = static_cast<int>(row);
    }
    const double before = ResidentMegabytes();
    const double removeAll = repainted([&] { list.RemoveRows(all); });
    const double heldAll = ResidentMegabytes() - before;
    const double undoAll = repainted(undo);
    const double redoAll = repainted(redo);
    const double undoAllAgain = repainted(undo);

    // 177,000 rows scattered evenly, one in every five or six.
    const int total = list.RowCount();
    const int scatteredCount = std::min(177'000, total);
    std::vector<int> scattered;
    for (int index = 0; index < scatteredCount; ++index) {
        scattered.push_back(
            static_cast<int>(static_cast<long long>(index) * total / scatteredCount));
    }
    const double removeScattered = repainted([&] { list.RemoveRows(scattered); });
    const double undoScattered = repainted(undo);
    const double redoScattered = repainted(redo);
    const double undoScatteredAgain = repainted(undo);

    // Select All and Delete under a search, then Undo: the search stays.
    const SearchQuery query("a");
    shown.Search(
        [&query](const CatalogRow& row) {
            thread_local SearchQuery::Scratch scratch;
            return query.Matches(row, scratch);
        },
        false, {}, RowLetterIndex::HintFor(query));
    const int searched = shown.RowCount();
    std::vector<int> shownRows(static_cast<std::size_t>(searched));
    for (std::size_t row = 0; row < shownRows.size(); ++row) {
        shownRows[row] = static_cast<int>(row);
    }
    const double removeSearched = repainted([&] { shown.RemoveRows(RowSelection(shownRows)); });
    const double undoSearched = repainted(undo);
    const bool searchKept = shown.RowCount() == searched;

    std::printf("rows: %d\n", total);
    std::printf("remove every row:                 %.3f s; the rows held take %.0f MB\n", removeAll,
                heldAll);
    std::printf("undo of removing every row:       %.3f s  (again %.3f s; goal under 1 s)\n",
                undoAll, undoAllAgain);
    std::printf("redo of removing every row:       %.3f s\n", redoAll);
    std::printf("remove %d scattered rows:     %.3f s\n", scatteredCount, removeScattered);
    std::printf("undo of the scattered removal:    %.3f s  (again %.3f s; goal under 1 s)\n",
                undoScattered, undoScatteredAgain);
    std::printf("redo of the scattered removal:    %.3f s\n", redoScattered);
    std::printf("remove the %d rows a search shows: %.3f s\n", searched, removeSearched);
    std::printf("undo under the search:            %.3f s  (%s)\n", undoSearched,
                searchKept ? "the search shows them again" : "ROWS SHOWN DIFFER");
    std::filesystem::remove_all(folder);
    return 0;
}
