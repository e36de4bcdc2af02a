// Scans a folder tree in the program's own window (offscreen) and prints the time until
// the last row is in the model and the longest single drain, which must stay short for the
// window to keep answering.
//   scan_window_bench ROOT

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <cstdio>
#include <optional>
#include <string>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "LinuxDrives.h"
#include "LinuxProcesses.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "ScanStatus.h"
#include "TagLibTagReader.h"
#include "commands/CommandId.h"
#include "scan/RowDerivation.h"
#include "scan/ScanSettings.h"
#include "support/FakeServices.h"

namespace {

// Chooses the benchmark's tree and answers nothing else.
class BenchUserInterface : public UserInterface {
public:
    explicit BenchUserInterface(std::string folder) : folder_(std::move(folder)) {}
    SaveAnswer AskYesNoCancel(const std::string&) override { return SaveAnswer::No; }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> ChooseStartFolder(const std::string&, const std::string&) override {
        return folder_;
    }
    std::optional<std::string> EditVolumeLabel(const std::string& label,
                                               const std::string&) override {
        return label;
    }
    void Beep() override {}
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}

private:
    std::string folder_;
};

class NoShell : public Shell {
public:
    bool Open(const std::string&) override { return false; }
    bool Enqueue(const std::string&) override { return false; }
};

class CommaLocale : public Locale {
public:
    std::string GroupSeparator() override { return ","; }
    std::optional<std::tm> LocalTime(std::int64_t secondsSinceEpoch) override {
        return StandardLocalTime(secondsSinceEpoch);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool readTags = argc == 3 && std::string(argv[2]) == "--tags";
    if (argc != 2 && !readTags) {
        std::fprintf(stderr, "usage: scan_window_bench ROOT [--tags]\n");
        return 2;
    }
    QApplication application(argc, argv);
    CPlumetApp::SetApplicationNames();
    PosixFiles files;
    BenchUserInterface ui(argv[1]);
    MemoryProfile profile;
    NoShell shell;
    PosixFolderReader folders;
    LinuxDrives drives("/nonexistent-system-root");
    CommaLocale locale;
    LinuxProcesses processes("/nonexistent-system-root");
    TagLibTagReader tags;
    ScanSettings::SetReadTags(profile, readTags);
    CPlumetApp app({files, ui, profile, shell, folders, drives, locale, processes, &tags});
    if (!app.InitInstance(CommandLine::Parse({}))) {
        return 1;
    }
    CMainFrame& frame = *app.mainFrame();
    QEventLoop untilEnded;
    QObject::connect(&frame.scanStatus(), &ScanStatus::ScanEnded, &untilEnded, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    frame.SendCommand(kSelectSearchLocation);
    untilEnded.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("window scan: %.3f s until the last of %d rows was in the model\n", seconds,
                frame.view().catalogModel().rowCount());
    std::printf("longest drain: %.1f ms (goal: at most 30 ms)\n",
                static_cast<double>(frame.scanStatus().longestDrainNs()) / 1e6);
    std::printf("window_seconds=%.6f\n", seconds);
    return 0;
}
