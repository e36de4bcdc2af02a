// The main of the GoogleTest suites: whichever way they are started, they run with HOME and
// the XDG folders in the build tree, never the user's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/Environment.h"

int main(int argc, char** argv) {
    const std::string home = PLUMET_TEST_HOME;
    for (const char* folder : {"config", "data", "runtime"}) {
        std::filesystem::create_directories(home + "/" + folder);
    }
    SetEnvironment("HOME", home);
    SetEnvironment("XDG_CONFIG_HOME", home + "/config");
    SetEnvironment("XDG_DATA_HOME", home + "/data");
    SetEnvironment("XDG_RUNTIME_DIR", home + "/runtime");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
