#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "browse/CatalogView.h"
#include "catalog/CatalogFile.h"
#include "export/HtmlPageWriter.h"
#include "scan/CFolderScan.h"
#include "scan/RowNamer.h"
#include "support/FakeServices.h"
#include "support/MemoryBytes.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file) {
    std::ofstream(file, std::ios::binary) << "x";
}

// A tree of names a file system allows and a catalog must survive: control bytes, bytes
// the catalog format escapes, invalid UTF-8, the longest names and paths, a crowded
// folder, links that loop or lead nowhere, a FIFO and a socket.
TEST(HostileTreeTest, EveryNameSurvivesTheScanTheCatalogAndThePage) {
    TempFolder temp("plumet-hostile");
    const fs::path root = temp.path();
    std::vector<std::string> names{"tab\there.mp3",
                                   "new\nline.mp3",
                                   "carriage\rreturn.mp3",
                                   "bad\xff\xfe"
                                   " utf8.mp3",
                                   "\xc5\xc8\xcf\x7f"
                                   ".mp3",
                                   "Artist - \xc5\x99"
                                   "ek.mp3",
                                   std::string(251, 'n') + ".mp3"};
    for (const std::string& name : names) {
        Touch(root / name);
    }
    fs::path deep = root;
    while (deep.string().size() < 3800) {
        deep /= std::string(200, 'd');
    }
    fs::create_directories(deep);
    Touch(deep / "deep.mp3");
    fs::create_directories(root / "Crowded");
    for (int file = 0; file < 100000; ++file) {
        Touch(root / "Crowded" / (std::to_string(file) + (file % 2 ? ".mp3" : ".txt")));
    }
    fs::create_directories(root / "Loop");
    fs::create_directory_symlink("..", root / "Loop" / "Parent");
    fs::create_symlink("nowhere.mp3", root / "dangling.mp3");
    ASSERT_EQ(mkfifo((root / "fifo.mp3").c_str(), 0644), 0);
    const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (root / "socket.mp3").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // Files vanish while the walk runs.
    std::atomic<bool> stop{false};
    std::thread remover([&] {
        for (int file = 1; file < 100000 && !stop; file += 20) {
            std::error_code ignored;
            fs::remove(root / "Crowded" / (std::to_string(file) + ".mp3"), ignored);
        }
    });
    PosixFolderReader reader;
    FixedLocale locale;
    PendingResults found;
    const std::atomic<bool> cancel{false};
    const RowNamer namer({}, std::nullopt, ",");
    WalkContext walk{reader, found, "audio", namer, locale, cancel, {}, {}};
    CFolderScan top(root.string());
    top.ScanFolderProc(walk);
    stop = true;
    remover.join();
    close(socketFd);

    CatalogList scanned;
    found.Drain(scanned);
    std::set<std::string> paths;
    for (int row = 0; row < scanned.RowCount(); ++row) {
        paths.emplace(scanned.CellText(row, kPath));
    }
    EXPECT_EQ(paths.size(), static_cast<std::size_t>(scanned.RowCount()));  // nothing twice
    for (const std::string& name : names) {
        EXPECT_EQ(paths.count((root / name).string()), 1u) << name;
    }
    EXPECT_EQ(paths.count((deep / "deep.mp3").string()), 1u);
    EXPECT_EQ(paths.count((root / "fifo.mp3").string()), 0u);
    EXPECT_EQ(paths.count((root / "socket.mp3").string()), 0u);
    EXPECT_GE(scanned.RowCount(), 40000);

    PosixFiles files;
    const std::string catalog = (root / "hostile.plm").string();
    ASSERT_TRUE(files.ReplaceFile(
        catalog, [&scanned](ByteSink& sink) { return CatalogFile::StoreCatalog(scanned, sink); }));
    Files::OpenedFile opened;
    ASSERT_TRUE(files.OpenForReading(catalog, opened));
    CatalogList reloaded;
    ASSERT_TRUE(CatalogFile::LoadCatalog(reloaded, *opened.source, true));
    ASSERT_EQ(reloaded.RowCount(), scanned.RowCount());
    for (int row = 0; row < scanned.RowCount(); ++row) {
        ASSERT_EQ(*reloaded.RowRecord(row), *scanned.RowRecord(row)) << row;
    }

    MemorySink page;
    ASSERT_TRUE(HtmlPageWriter("file:///guide.html").WritePage(CatalogView(reloaded), page));
    EXPECT_EQ(page.bytes.find("\xff"), std::string::npos);  // the page is UTF-8 throughout
}

}  // namespace
