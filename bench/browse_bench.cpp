// Sorts a catalog of a million rows in the program's list view (offscreen) by Artist and by
// Size, filters it to one folder and back, and times GNU sort on the same rows as text in
// the same run; then searches the rows for one word against `grep -c -i -F` over the dump
// of the catalog, and finds its duplicates by Artist and Track, alone and from the command to
// the view showing the groups. --ascii leaves out the accented and other-script names
// that one artist in eight has:   browse_bench [--rows N] [--ascii]

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
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
#include "browse/CatalogFilter.h"
#include "browse/ColumnSort.h"
#include "browse/DuplicateGroups.h"
#include "browse/SearchQuery.h"
#include "browse/TextFold.h"
#include "catalog/CatalogFile.h"
#include "catalog/RowLine.h"

extern char** environ;

namespace {

constexpr std::uint32_t kVariant = 20210314;
constexpr int kRuns = 3;

class SilentUserInterface : public UserInterface {
public:
    SaveAnswer AskYesNoCancel(const std::string&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> ChooseStartFolder(const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> EditVolumeLabel(const std::string&, const std::string&) override {
        return {};
    }
    void Beep() override {}
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "browse_bench: %s\n", message.c_str());
    std::exit(1);
}

// `prepare` runs before each timed run, outside the time.
double BestOf(
    const std::function<void()>& work, const std::function<void()>& prepare = [] {}) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        prepare();
        best = std::min(best, Seconds(work));
    }
    return best;
}

// GNU sort folding case on the first field, stable, in the C locale, as the list sorts.
void RunGnuSort(const std::string& rowLines) {
    std::vector<std::string> words{"sort",  "-s", "-f",        "-t",    "\t",
                                   "-k1,1", "-o", "/dev/null", rowLines};
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    std::vector<std::string> environment{"LC_ALL=C"};
    std::vector<char*> variables{environment[0].data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "sort", nullptr, nullptr, arguments.data(), variables.data()) != 0) {
        Fail("cannot start sort");
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Fail("sort failed");
    }
}

// `grep -c -i -F word file` in the C locale; returns the count it prints.
long RunGrepCount(const std::string& word, const std::string& file) {
    int output[2];
    if (::pipe(output) != 0) {
        Fail("no pipe");
    }
    std::vector<std::string> words{"grep", "-c", "-i", "-F", word, file};
    std::vector<char*> arguments;
    for (std::string& each : words) {
        arguments.push_back(each.data());
    }
    arguments.push_back(nullptr);
    std::vector<std::string> environment{"LC_ALL=C"};
    std::vector<char*> variables{environment[0].data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    pid_t child = 0;
    const int spawned =
        posix_spawnp(&child, "grep", &actions, nullptr, arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        Fail("cannot start grep");
    }
    std::string text;
    char buffer[64];
    for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        Fail("grep failed");
    }
    return std::strtol(text.c_str(), nullptr, 10);
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t rows = 1'000'000;
    bool accented = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::string(argv[i]) == "--ascii") {
            accented = false;
        } else {
            std::fprintf(stderr, "usage: browse_bench [--rows N] [--ascii]\n");
            return 2;
        }
    }
    char folderTemplate[] = "/tmp/plumet-browse-bench-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        Fail("no temporary folder");
    }
    const std::string folder = folderTemplate;
    const std::string catalogPath = folder + "/catalog.plm";
    const std::string linesPath = folder + "/rows.txt";
    const std::string dumpPath = folder + "/dump.txt";
    GeneratedCatalog generated;
    if (Result made = GenerateCatalog(catalogPath, rows, kVariant, generated, false, accented);
        !made) {
        Fail(made.error());
    }

    QApplication application(argc, argv);
    CatalogList list;
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
    {
        std::ofstream lines(linesPath, std::ios::binary);
        for (int row = 0; row < list.RowCount(); ++row) {
            lines << JoinRowLine(*list.RowRecord(row)) << '\n';
        }
        // What `plumet-cli dump` prints.
        std::ofstream dump(dumpPath, std::ios::binary);
        std::string text;
        for (int row = 0; row < list.RowCount(); ++row) {
            AppendRowCells(*list.RowRecord(row), text);
            text += '\n';
        }
        dump << text;
    }
    CPlumetView view(model);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();

    // Every sort starts from the catalog's own order, with a first (ascending) click.
    std::vector<CatalogRow> generatedOrder;
    for (int row = 0; row < list.RowCount(); ++row) {
        generatedOrder.push_back(*list.RowRecord(row));
    }
    const auto restore = [&] { list.ReplaceRows(generatedOrder); };
    SilentUserInterface ui;
    CatalogFilter filter(shown, ui);
    // Click to repaint: the sort, then the view painting its new first page.
    const auto click = [&](int column) {
        ColumnSort sort(shown);
        sort.OnColumnClick(column);
        view.viewport()->repaint();
    };
    const double gnuSort = BestOf([&] { RunGnuSort(linesPath); });
    const double artistSort = BestOf([&] { click(kArtist); }, restore);
    const bool artistsInOrder = [&] {
        for (int row = 1; row < list.RowCount(); ++row) {
            if (Folded(list.CellText(row - 1, kArtist)) > Folded(list.CellText(row, kArtist))) {
                return false;
            }
        }
        return true;
    }();
    const double sizeSort = BestOf([&] { click(kSize); }, restore);
    restore();
    const RowSelection firstRow({0});
    const double filterRoundTrip = BestOf([&] {
        filter.ToggleFilter(kFolderDisk, firstRow);
        view.viewport()->repaint();
        filter.ToggleFilter(kFolderDisk, firstRow);
        view.viewport()->repaint();
    });

    std::printf("rows: %d (%llu distinct artists, %s)\n", list.RowCount(),
                static_cast<unsigned long long>(generated.distinctArtists),
                accented ? "one in eight past ASCII" : "ASCII only");
    std::printf("GNU sort -s -f -k1,1 (C locale):  %.3f s\n", gnuSort);
    std::printf("Artist sort, click to repaint:    %.3f s  (%.2fx GNU sort; goal at most 0.5x)\n",
                artistSort, artistSort / gnuSort);
    std::printf("Artist order checked:             %s\n", artistsInOrder ? "yes" : "NOT SORTED");
    std::printf("Size sort, click to repaint:      %.3f s\n", sizeSort);
    std::printf("filter to one folder and back:    %.3f s  (goal: under one Artist sort)\n",
                filterRoundTrip);

    // Searching and duplicates, on the store in the generated order.
    restore();
    constexpr const char* kWord = "velvet";
    long grepCount = 0;
    const double grepTime = BestOf([&] { grepCount = RunGrepCount(kWord, dumpPath); });
    const SearchQuery query(kWord);
    long searchCount = 0;
    const double searchTime =
        BestOf([&] { searchCount = static_cast<long>(query.MatchingRows(list).size()); });
    // The same as the window does it: the view, every core, the letter index, the repaint.
    const SearchHint hint = RowLetterIndex::HintFor(query);
    int viewSearchCount = 0;
    const double viewSearchTime = BestOf(
        [&] {
            shown.Search(
                [&query](const CatalogRow& row) {
                    thread_local SearchQuery::Scratch scratch;
                    return query.Matches(row, scratch);
                },
                false, {}, hint);
            view.viewport()->repaint();
            viewSearchCount = shown.RowCount();
        },
        [&] {
            shown.EndSearch();
            view.viewport()->repaint();
        });
    shown.EndSearch();
    // The letters of every row, as an opened catalog has them worked out on every core.
    const double letterIndexTime = BestOf([&] { const RowLetterIndex index(list); });
    DuplicateGroups duplicates;
    const double duplicatesTime =
        BestOf([&] { duplicates = DuplicateGroups::Find(list, DuplicateKind::ArtistTrack); });

    // Command to repaint: the groups found and shown, the view painting its first page.
    const double duplicatesShown = BestOf(
        [&] {
            const DuplicateGroups groups = DuplicateGroups::Find(list, DuplicateKind::ArtistTrack);
            shown.ShowGroups(groups.rows(), groups.GroupOfEachRow());
            view.viewport()->repaint();
        },
        [&] {
            shown.ShowAll();
            view.viewport()->repaint();
        });
    const int rowsShown = shown.RowCount();
    const int groupsShown = shown.GroupsShown();
    shown.ShowAll();

    std::printf("grep -c -i -F %s (C locale):   %.3f s  (%ld lines)\n", kWord, grepTime, grepCount);
    std::printf("search \"%s\", one core:         %.3f s  (%.2fx grep; %ld rows)\n", kWord,
                searchTime, searchTime / grepTime, searchCount);
    std::printf("search \"%s\" in the window:     %.3f s  (%.2fx grep; goal at most 1x; %d rows)\n",
                kWord, viewSearchTime, viewSearchTime / grepTime, viewSearchCount);
    std::printf("letter index of every row:        %.3f s\n", letterIndexTime);
    std::printf("duplicates by Artist and Track:   %.3f s  (%zu rows in %d groups; goal 0.5 s)\n",
                duplicatesTime, duplicates.rows().size(), duplicates.GroupCount());
    std::printf("duplicates, command to repaint:   %.3f s  (%d rows in %d groups; goal 0.5 s)\n",
                duplicatesShown, rowsShown, groupsShown);
    std::filesystem::remove_all(folder);
    return 0;
}
