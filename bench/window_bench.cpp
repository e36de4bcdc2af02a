// A catalog of a million rows through the whole window (offscreen), step by step as a user
// takes them: open it from the command line, sort by Artist both ways, filter on a folder and
// back, the statistics (counted alone, then Tools > Statistics to its first paint), Ctrl+End,
// two searches typed key by key with Statistics open (and the time its count then takes to
// follow) and again with it closed, Save As. Prints each step's time and the peak memory after
// it, and as references in the same run, the time `cp` takes to copy the file and flush it,
// and the catalog file's size. --ascii leaves out the names past ASCII that one artist in eight
// has:   window_bench [--rows N] [--fields] [--ascii]

#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <vector>

#include "BenchClock.h"
#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CStatisticsDlg.h"
#include "CatalogGenerator.h"
#include "CatalogModel.h"
#include "browse/CatalogStatistics.h"
#include "commands/CommandId.h"
#include "support/BigCatalogSession.h"

namespace {

constexpr std::uint32_t kVariant = 20210314;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "window_bench: %s\n", message.c_str());
    std::exit(1);
}

// The most resident memory the process has had, in MiB.
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
    }
    return 0;
}

// Types the query into the search box one key at a time, then deletes it the same way,
// each key timed to the repaint of the list; prints the median and the worst.
void TypeSearch(CMainFrame& frame, const std::string& query) {
    auto* box = frame.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    if (box == nullptr) {
        Fail("no search box");
    }
    std::vector<double> keys;
    const auto press = [&](Qt::Key key, char text) {
        keys.push_back(Seconds([&] {
            if (text != 0) {
                QTest::keyClicks(box, QString(QChar(text)));
            } else {
                QTest::keyClick(box, key);
            }
            QApplication::processEvents();  // timers due, as between a user's keys
            frame.view().viewport()->repaint();
        }));
    };
    for (const char c : query) {
        press(Qt::Key_unknown, c);
    }
    const int found = frame.view().model()->rowCount();
    for (std::size_t i = 0; i < query.size(); ++i) {
        press(Qt::Key_Backspace, 0);
    }
    std::vector<double> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    const std::string name = "search \"" + query + "\" as typed";
    std::printf("%-34s %8.1f ms median, %.1f ms worst of %zu keys (goal 30 / 100); %d found\n",
                name.c_str(), sorted[sorted.size() / 2] * 1e3, sorted.back() * 1e3, sorted.size(),
                found);
}

// Until the window shows the count of the rows shown now.
void WaitForCount(CStatisticsDlg& window) {
    while (window.IsCounting()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

void Step(const char* name, const std::function<void()>& work) {
    const double seconds = Seconds(work);
    std::printf("%-34s %8.3f s   peak %7.1f MiB\n", name, seconds, PeakMiB());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t rows = 1'000'000;
    bool withFields = false;
    bool accented = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::string(argv[i]) == "--fields") {
            withFields = true;
        } else if (std::string(argv[i]) == "--ascii") {
            accented = false;
        } else {
            std::fprintf(stderr, "usage: window_bench [--rows N] [--fields] [--ascii]\n");
            return 2;
        }
    }
    char folderTemplate[] = "/tmp/plumet-window-bench-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        Fail("no temporary folder");
    }
    const std::filesystem::path folder = folderTemplate;
    const std::string catalogPath = folder / "catalog.plm";
    const std::string savedPath = folder / "saved.plm";
    GeneratedCatalog generated;
    if (Result made = GenerateCatalog(catalogPath, rows, kVariant, generated, withFields, accented);
        !made) {
        Fail(made.error());
    }
    // The test home keeps the benchmark away from the user's settings.
    const std::string home = folder / "home";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);

    QApplication application(argc, argv);
    CPlumetApp::SetApplicationNames();
    std::printf("%llu rows%s%s, %.1f MiB catalog file, peak before the window %.1f MiB\n",
                static_cast<unsigned long long>(generated.rows),
                withFields ? " with field pieces" : "", accented ? "" : ", ASCII only",
                generated.fileBytes / 1048576.0, PeakMiB());
    const std::string copy = "cp " + catalogPath + " " + folder.string() + "/copy.plm && sync " +
                             folder.string() + "/copy.plm";
    std::printf("%-34s %8.3f s\n", "reference: cp and sync of the file", Seconds([&] {
                    if (std::system(copy.c_str()) != 0) {
                        Fail("cp failed");
                    }
                }));

    BigCatalogSession session;
    int shown = 0;
    Step("open from the command line", [&] {
        if (!session.Open(catalogPath)) {
            Fail("cannot open the catalog");
        }
    });
    Step("sort by Artist (ascending)", [&] { session.ClickHeader(kArtist); });
    Step("sort by Artist (descending)", [&] { session.ClickHeader(kArtist); });
    Step("filter on one folder", [&] { shown = session.FilterOnFolderOf(12345 % rows); });
    Step("show all", [&] { session.ShowAll(); });
    CatalogStatistics counted;
    Step("statistics, counted alone",
         [&] { counted = CatalogStatistics::Of(session.model().view()); });
    std::printf("  %d artists, %d albums, %d folders, %zu size groups\n", counted.artists,
                counted.albums, counted.folders, counted.byFolder.size());
    Step("Tools > Statistics (goal 0.5 s)", [&] {
        session.frame().SendCommand(kStatistics);
        CStatisticsDlg* window = session.frame().statisticsWindow();
        if (window == nullptr) {
            Fail("no statistics window");
        }
        WaitForCount(*window);
        window->repaint();
    });
    Step("Ctrl+End", [&] { session.PressCtrlEnd(); });
    // The same keys with Statistics open: the count follows off the window's thread.
    std::printf("with Statistics open:\n");
    TypeSearch(session.frame(), "pink floyd money");
    Step("  count after the last key (goal 0.5 s)",
         [&] { WaitForCount(*session.frame().statisticsWindow()); });
    TypeSearch(session.frame(), "velvet");
    Step("  count after the last key (goal 0.5 s)",
         [&] { WaitForCount(*session.frame().statisticsWindow()); });
    session.frame().statisticsWindow()->close();
    QApplication::processEvents();
    std::printf("with Statistics closed:\n");
    TypeSearch(session.frame(), "pink floyd money");
    TypeSearch(session.frame(), "velvet");  // one row in twenty has it
    Step("save as", [&] {
        if (!session.SaveAs(savedPath)) {
            Fail("cannot save the catalog");
        }
    });
    std::printf("the filter showed %d rows; peak %.0f bytes per row, %.2f times the file\n", shown,
                PeakMiB() * 1048576.0 / static_cast<double>(rows),
                PeakMiB() * 1048576.0 / static_cast<double>(generated.fileBytes));
    std::filesystem::remove_all(folder);
    return 0;
}
