// Makes the folder tree the scan benchmark walks:
//   make_scan_tree ROOT [--files N] [--folders M] [--variant N]
// and prints what it made as "name: value" lines, for the benchmark script to read.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScanTreeGenerator.h"

namespace {

constexpr int kUsageStatus = 2;

bool ParseCount(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-') {
        return false;
    }
    value = parsed;
    return true;
}

int Usage(const char* message) {
    std::fprintf(stderr, "make_scan_tree: %s\n", message);
    std::fprintf(stderr, "usage: make_scan_tree ROOT [--files N] [--folders M] [--variant N]\n");
    return kUsageStatus;
}

}  // namespace

int main(int argc, char** argv) {
    ScanTreeOptions options;
    std::string root;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::uint64_t value = 0;
        if (argument == "--files" || argument == "--folders" || argument == "--variant") {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], value)) {
                return Usage("expected a count after an option");
            }
            ++i;
            if (argument == "--files") {
                options.files = value;
            } else if (argument == "--folders") {
                options.folders = value;
            } else {
                options.variant = static_cast<std::uint32_t>(value);
            }
        } else if (argument.starts_with("-") || !root.empty()) {
            return Usage("unexpected argument");
        } else {
            root = argument;
        }
    }
    if (root.empty()) {
        return Usage("no ROOT given");
    }

    const auto start = std::chrono::steady_clock::now();
    GeneratedScanTree generated;
    if (Result made = GenerateScanTree(root, options, generated); !made) {
        std::fprintf(stderr, "make_scan_tree: %s\n", made.error().c_str());
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("folders: %llu\nfiles: %llu\naudio files: %llu\ntotal size: %llu\nseconds: %.3f\n",
                static_cast<unsigned long long>(generated.folders),
                static_cast<unsigned long long>(generated.files),
                static_cast<unsigned long long>(generated.audioFiles),
                static_cast<unsigned long long>(generated.totalSize), elapsed.count());
    return 0;
}
