// Loads and saves a catalog of a million rows with a Qt model attached, and prints the times
// next to `wc -l` on the same file, measured in the same run, and the memory the rows cost.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "BenchClock.h"
#include "CatalogGenerator.h"
#include "CatalogModel.h"
#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"

extern char** environ;

namespace {

constexpr std::uint32_t kVariant = 20210314;
constexpr int kRuns = 3;

struct Options {
    std::uint64_t rows = 1'000'000;
    bool keep = false;
    bool fields = false;
};

// Writes straight to a file descriptor, without the fsync and rename of a safe save, to
// show how much of the save is the codec and how much the disk.
class PlainFdSink : public ByteSink {
public:
    explicit PlainFdSink(int fd) : fd_(fd) {}

    Result Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t put = ::write(fd_, data, size);
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Result::Failure(std::strerror(errno));
            }
            data += put;
            size -= static_cast<std::size_t>(put);
        }
        return Result::Ok();
    }

private:
    int fd_;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "catalog_bench: %s\n", message.c_str());
    std::exit(1);
}

// A field of /proc/self/status in bytes, or -1 where the system has no such field.
long long StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return std::atoll(line.c_str() + prefix.size()) * 1024;
        }
    }
    return -1;
}

// Makes VmHWM start again from the current resident size, where the kernel allows it.
bool ResetPeakMemory() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

// Generating in a child keeps its allocations out of this process's peak memory.
GeneratedCatalog GenerateInChild(const std::string& path, std::uint64_t rows, bool withFields) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        Fail(std::string("pipe: ") + std::strerror(errno));
    }
    const pid_t child = ::fork();
    if (child < 0) {
        Fail(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        GeneratedCatalog generated;
        const Result result = GenerateCatalog(path, rows, kVariant, generated, withFields);
        if (!result) {
            std::fprintf(stderr, "catalog_bench: %s\n", result.error().c_str());
            ::_exit(1);
        }
        const bool sent = ::write(pipeEnds[1], &generated, sizeof generated) ==
                          static_cast<ssize_t>(sizeof generated);
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    GeneratedCatalog generated;
    const ssize_t got = ::read(pipeEnds[0], &generated, sizeof generated);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (got != static_cast<ssize_t>(sizeof generated) || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        Fail("generating the catalog failed");
    }
    return generated;
}

void RunWordCount(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = "wc";
    std::string flag = "-l";
    std::string file = path;
    char* arguments[] = {program.data(), flag.data(), file.data(), nullptr};
    pid_t child = 0;
    const int error = posix_spawnp(&child, "wc", &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        Fail(std::string("wc: ") + std::strerror(error));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Fail("wc -l failed");
    }
}

void Load(PosixFiles& files, CatalogList& list, const std::string& path) {
    Files::OpenedFile opened;
    if (Result result = files.OpenForReading(path, opened); !result) {
        Fail(result.error());
    }
    if (Result result = CatalogFile::LoadCatalog(list, *opened.source, true); !result) {
        Fail(result.error());
    }
}

void SaveSafely(PosixFiles& files, const CatalogList& list, const std::string& path) {
    const Result result = files.ReplaceFile(
        path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
    if (!result) {
        Fail(result.error());
    }
}

void SavePlain(const CatalogList& list, const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail(path + ": " + std::strerror(errno));
    }
    PlainFdSink sink(fd);
    const Result result = CatalogFile::StoreCatalog(list, sink);
    ::close(fd);
    if (!result) {
        Fail(result.error());
    }
}

bool SameBytes(const std::string& first, const std::string& second) {
    std::ifstream a(first, std::ios::binary);
    std::ifstream b(second, std::ios::binary);
    std::vector<char> bufferA(1 << 20);
    std::vector<char> bufferB(1 << 20);
    for (;;) {
        a.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        b.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        if (a.gcount() != b.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + a.gcount(), bufferB.begin())) {
            return false;
        }
        if (a.gcount() == 0) {
            return true;
        }
    }
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--rows" && i + 1 < argc) {
            options.rows = std::strtoull(argv[++i], nullptr, 10);
        } else if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--fields") {
            options.fields = true;
        } else {
            std::fprintf(stderr, "usage: catalog_bench [--rows N] [--keep] [--fields]\n");
            std::exit(2);
        }
    }
    if (options.rows == 0 || options.rows > 100'000'000) {
        Fail("--rows wants a count from 1 to 100000000");
    }
    return options;
}

std::string RunList(const std::vector<double>& runs) {
    std::string text;
    for (double run : runs) {
        char item[32];
        std::snprintf(item, sizeof item, "%s%.3f", text.empty() ? "" : " ", run);
        text += item;
    }
    return text;
}

double Best(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    char folderTemplate[] = "/tmp/plumet-bench-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        Fail(std::string("mkdtemp: ") + std::strerror(errno));
    }
    const std::string folder = folderTemplate;
    const std::string catalogPath = folder + "/catalog.plm";
    const std::string savedPath = folder + "/saved.plm";
    const std::string plainPath = folder + "/plain.plm";

    const GeneratedCatalog generated = GenerateInChild(catalogPath, options.rows, options.fields);

    int exitStatus = 0;
    {
        // The model takes its colours from the palette, which needs a GUI application.
        QGuiApplication application(argc, argv);
        CatalogList list;
        CatalogView shown(list);
        CatalogModel model(shown);
        PosixFiles files;

        std::vector<double> wordCount;
        for (int run = 0; run < kRuns; ++run) {
            wordCount.push_back(Seconds([&] { RunWordCount(catalogPath); }));
        }

        const bool peakReset = ResetPeakMemory();
        const long long baseline = StatusBytes("VmRSS");
        std::vector<double> loads;
        loads.push_back(Seconds([&] { Load(files, list, catalogPath); }));
        const long long peak = StatusBytes("VmHWM");
        const long long resident = StatusBytes("VmRSS");
        for (int run = 1; run < kRuns; ++run) {
            list.ClearRows();
            loads.push_back(Seconds([&] { Load(files, list, catalogPath); }));
        }
        if (static_cast<std::uint64_t>(list.RowCount()) != generated.rows ||
            static_cast<std::uint64_t>(model.rowCount()) != generated.rows) {
            Fail("the loaded catalog does not hold the rows written");
        }

        std::vector<double> safeSaves;
        std::vector<double> plainSaves;
        for (int run = 0; run < kRuns; ++run) {
            safeSaves.push_back(Seconds([&] { SaveSafely(files, list, savedPath); }));
        }
        for (int run = 0; run < kRuns; ++run) {
            ::unlink(plainPath.c_str());
            plainSaves.push_back(Seconds([&] { SavePlain(list, plainPath); }));
        }
        const bool sameBytes =
            SameBytes(catalogPath, savedPath) && SameBytes(catalogPath, plainPath);

        const auto rows = static_cast<double>(generated.rows);
        const auto fileBytes = static_cast<double>(generated.fileBytes);
        const double wc = Best(wordCount);
        const double load = Best(loads);
        const double safeSave = Best(safeSaves);
        const double plainSave = Best(plainSaves);
        const double peakRise = peak >= 0 && baseline >= 0 ? double(peak - baseline) : -1;
        const double residentRise = resident >= 0 ? double(resident - baseline) : -1;

        std::printf("catalog_bench: %.0f rows, %llu distinct artists, variant %u%s\n", rows,
                    static_cast<unsigned long long>(generated.distinctArtists), kVariant,
                    options.fields ? ", with field pieces" : "");
        std::printf("runs (s)   wc -l: %s | load: %s | save+fsync: %s | save plain: %s\n",
                    RunList(wordCount).c_str(), RunList(loads).c_str(), RunList(safeSaves).c_str(),
                    RunList(plainSaves).c_str());
        std::printf("%-34s %14s\n", "measure", "value");
        std::printf("%-34s %14.0f\n", "rows", rows);
        std::printf("%-34s %14.0f\n", "file bytes", fileBytes);
        std::printf("%-34s %14.1f\n", "file bytes per row", fileBytes / rows);
        std::printf("%-34s %14.1f\n", "row line bytes per row (tabs in)",
                    static_cast<double>(generated.rowLineBytes) / rows);
        std::printf("%-34s %14.3f\n", "wc -l s (best)", wc);
        std::printf("%-34s %14.3f\n", "load s (best)", load);
        std::printf("%-34s %14.3f\n", "save s, with fsync (best)", safeSave);
        std::printf("%-34s %14.3f\n", "save s, no fsync (best)", plainSave);
        std::printf("%-34s %14.1f   goal <= 20\n", "load / wc -l", load / wc);
        std::printf("%-34s %14.1f   goal <= 20\n", "save with fsync / wc -l", safeSave / wc);
        std::printf("%-34s %14.1f   goal <= 20\n", "save no fsync / wc -l", plainSave / wc);
        std::printf("%-34s %14.1f   goal <= 260 %s\n", "peak memory bytes per row", peakRise / rows,
                    peakReset ? "(VmHWM reset before load)" : "(VmHWM not resettable)");
        std::printf("%-34s %14.1f\n", "resident after load bytes per row", residentRise / rows);
        std::printf("%-34s %14.2f   goal < 1.9\n", "peak memory / file size", peakRise / fileBytes);
        std::printf("%-34s %14s\n", "saved file equals loaded file", sameBytes ? "yes" : "NO");
        if (!sameBytes) {
            exitStatus = 1;
        }
    }

    if (options.keep) {
        std::printf("files kept in %s\n", folder.c_str());
    } else {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return exitStatus;
}
