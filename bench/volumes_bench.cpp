// A million rows from 500 discs, 400 of them not connected, through the whole window
// (offscreen): the open with the mounts followed (rows greyed and counted) against the same
// open without them, and the time from a mount event to the repainted window.
//   volumes_bench [--rows N]

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

constexpr int kVolumes = 500;
constexpr int kConnected = 100;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "volumes_bench: %s\n", message.c_str());
    std::exit(1);
}

Mounts::Volume VolumeNumber(int number) {
    const std::string name = "DISC " + std::to_string(number);
    return {"2024-01-01-00-00-" + std::to_string(10000 + number), "/media/u/" + name, true};
}

void WriteCatalog(const std::string& path, int rows) {
    std::vector<CatalogRow> batch;
    batch.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        // Discs are scanned one after another, so a disc's rows stand together.
        const int disc = static_cast<int>(static_cast<long long>(i) * kVolumes / rows);
        const Mounts::Volume volume = VolumeNumber(disc);
        const std::string artist = "Artist " + std::to_string((i * 7919) % 5000);
        const std::string track = "Track " + std::to_string(i);
        const std::string fields =
            "album=Album " + std::to_string(i / 12) + "\ttrack=" + std::to_string(1 + i % 12) +
            "\tlength=" + std::to_string(120 + i % 300) + "\t" + VolumePieces(volume);
        batch.emplace_back(
            RowCells{artist, track, "DISC " + std::to_string(disc),
                     std::to_string(1000 + (i * 31) % 9000) + ",512", "01/02/03 04:05 PM",
                     volume.mountPoint + "/" + artist + " - " + track + ".mp3"},
            fields);
    }
    CatalogList list;
    list.AppendRows(std::move(batch));
    PosixFiles files;
    if (!files.ReplaceFile(
            path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); })) {
        Fail("cannot write " + path);
    }
}

struct Window {
    PosixFiles files;
    ScriptedUserInterface ui;
    MemoryProfile profile;
    RecordingShell shell;
    PlatformServices platform;
    ListedMounts mounts;
    std::unique_ptr<CPlumetApp> app;

    // Seconds from the command line's catalog to the first paint.
    double Open(const std::string& path, bool followMounts) {
        for (int number = 0; number < kConnected; ++number) {
            mounts.volumes.push_back(VolumeNumber(number * (kVolumes / kConnected)));
        }
        QElapsedTimer clock;
        clock.start();
        app = std::make_unique<CPlumetApp>(CPlumetApp::Services{
            files, ui, profile, shell, platform.folders, platform.drives, platform.locale,
            platform.processes, nullptr, followMounts ? &mounts : nullptr});
        if (!app->InitInstance(CommandLine::Parse({path}))) {
            Fail("cannot open " + path);
        }
        app->mainFrame()->resize(1000, 700);
        app->mainFrame()->show();
        app->mainFrame()->repaint();
        return static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CPlumetApp::SetApplicationNames();
    int rows = 1'000'000;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::atoi(argv[++i]);
        }
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("plumet-volumes-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "discs.plm").string();
    WriteCatalog(path, rows);

    double plain = 1e9;
    double followed = 1e9;
    for (int run = 0; run < 3; ++run) {
        plain = std::min(plain, Window().Open(path, false));
        followed = std::min(followed, Window().Open(path, true));
    }
    std::printf("open %d rows from %d discs, %d connected:\n", rows, kVolumes, kConnected);
    std::printf("  without following mounts  %.3f s\n", plain);
    std::printf("  greyed and counted        %.3f s  (%+.1f%%, goal at most +10%%)\n", followed,
                (followed / plain - 1) * 100);

    {
        CatalogList list;
        PosixFiles files;
        Files::OpenedFile opened;
        if (!files.OpenForReading(path, opened) ||
            !CatalogFile::LoadCatalog(list, *opened.source, true)) {
            Fail("cannot read " + path);
        }
        QElapsedTimer clock;
        clock.start();
        const RowVolumeIndex index(list);
        std::printf("  of which the index of discs alone  %.3f s\n",
                    static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }

    Window window;
    window.Open(path, true);
    double slowest = 0;
    for (int event = 0; event < 10; ++event) {
        // A disc comes, or the one that came goes again.
        if (event % 2 == 0) {
            window.mounts.volumes.push_back(VolumeNumber(1 + event));
        } else {
            window.mounts.volumes.pop_back();
        }
        QElapsedTimer clock;
        clock.start();
        window.app->volumeFollower()->Refresh();
        window.app->mainFrame()->repaint();
        slowest = std::max(slowest, static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("  a mount event to the repainted window: at most %.1f ms (goal 100 ms)\n",
                slowest);
    std::filesystem::remove_all(folder);
    return 0;
}
