// Feeds every file of the folders (or the files) named on the command line to the fuzz
// target, as libFuzzer does with a corpus, so a normal build replays the corpus and every
// kept crash input without clang.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

bool Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // A buffer of the exact size, so the address sanitizer sees a read past the end.
    const auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
        } else if (fs::exists(path, error)) {
            files.push_back(path);
        }
        // A folder that does not exist yet is a target without kept crash inputs.
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::printf("%s\n", file.string().c_str());
        std::fflush(stdout);
        if (!Replay(file)) {
            return 1;
        }
    }
    std::printf("replayed %zu inputs\n", files.size());
    if (files.empty()) {
        std::fprintf(stderr, "no input to replay\n");
        return 1;
    }
    return 0;
}
