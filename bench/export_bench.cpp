// The exports of a big catalog against Save of the same catalog, in the same run: CSV and the
// playlist of a million rows, and the searchable page of a hundred thousand.
// Usage: export_bench [--rows N] [--page-rows N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include <unistd.h>

#include "CatalogGenerator.h"
#include "PosixFiles.h"
#include "browse/CatalogView.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "export/ExportRows.h"
#include "export/ListExport.h"

namespace {

using Clock = std::chrono::steady_clock;

// The best of three runs, in seconds: the least disturbed by the rest of the machine.
double BestOfThree(const std::function<Result()>& run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point start = Clock::now();
        if (Result done = run(); !done) {
            std::fprintf(stderr, "export_bench: %s\n", done.error().c_str());
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t rowCount = 1000000;
    int pageRows = 100000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--rows") {
            rowCount = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (option == "--page-rows") {
            pageRows = std::atoi(argv[i + 1]);
        }
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("plumet-export-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string catalog = (folder / "big.plm").string();
    GeneratedCatalog generated;
    if (!GenerateCatalog(catalog, rowCount, 1, generated, true, true)) {
        std::fprintf(stderr, "export_bench: cannot write %s\n", catalog.c_str());
        return 1;
    }
    PosixFiles files;
    CatalogList list;
    Files::OpenedFile opened;
    if (Result loaded = files.OpenForReading(catalog, opened);
        !loaded || !CatalogFile::LoadCatalog(list, *opened.source, false)) {
        std::fprintf(stderr, "export_bench: cannot read %s\n", catalog.c_str());
        return 1;
    }
    const CatalogView view(list);
    const ExportRows rows(view);
    const auto timeWrite = [&](const std::string& name,
                               const std::function<Result(ByteSink&)>& write) {
        const std::string path = (folder / name).string();
        const double seconds = BestOfThree([&] { return files.ReplaceFile(path, write); });
        return std::make_pair(seconds, std::filesystem::file_size(path));
    };
    const auto exportTo = [&](ListExport::Format format, const std::string& name,
                              const ExportRows& which) {
        const std::string path = (folder / name).string();
        return timeWrite(name, [&, path](ByteSink& sink) {
            return ListExport::Write(format, path, which, sink);
        });
    };

    const auto save = timeWrite(
        "saved.plm", [&](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
    const auto csv = exportTo(ListExport::Format::Csv, "rows.csv", rows);
    const auto playlist = exportTo(ListExport::Format::Playlist, "rows.m3u8", rows);
    std::vector<int> first(std::min<std::size_t>(pageRows, list.RowCount()));
    std::iota(first.begin(), first.end(), 0);
    const auto page =
        exportTo(ListExport::Format::SearchablePage, "rows.html", ExportRows(view, first));

    std::printf("%llu rows with tags; best of three, written to disk and flushed\n",
                static_cast<unsigned long long>(list.RowCount()));
    std::printf("  save      %7.3f s  %6.1f MB\n", save.first, save.second / 1e6);
    std::printf("  csv       %7.3f s  %6.1f MB  %.2fx save (goal: at most 2x)\n", csv.first,
                csv.second / 1e6, csv.first / save.first);
    std::printf("  playlist  %7.3f s  %6.1f MB  %.2fx save (goal: at most 2x)\n", playlist.first,
                playlist.second / 1e6, playlist.first / save.first);
    std::printf("  page of %zu rows  %7.3f s  %6.1f MB (goal: at most 1 s)\n", first.size(),
                page.first, page.second / 1e6);
    std::filesystem::remove_all(folder);
    return 0;
}
