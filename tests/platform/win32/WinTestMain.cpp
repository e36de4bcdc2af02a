// The main of the Windows service tests. Started as "--save-forever PATH BYTES" it is the
// child a crash test kills: it saves BYTES bytes to PATH again and again until it dies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "WinFiles.h"

namespace {

[[noreturn]] void SaveForever(const std::string& path, std::size_t bytes) {
    WinFiles files;
    const std::string block(64 << 10, 'n');
    for (;;) {
        const Result saved = files.ReplaceFile(path, [&](ByteSink& sink) {
            for (std::size_t left = bytes; left > 0;) {
                const std::size_t size = std::min(left, block.size());
                if (Result wrote = sink.Write(block.data(), size); !wrote) {
                    return wrote;
                }
                left -= size;
            }
            return Result::Ok();
        });
        if (!saved) {
            std::exit(3);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--save-forever") {
        SaveForever(argv[2], std::stoul(argv[3]));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
