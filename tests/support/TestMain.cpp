// The main of the GoogleTest suites: whichever way they are started, they run with HOME and
// the XDG folders in the build tree, never the user's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const std::string home = PLUMET_TEST_HOME;
    for (const char* folder : {"config", "data", "runtime"}) {
        std::filesystem::create_directories(home + "/" + folder);
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
