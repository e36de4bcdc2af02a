#include "PlumetCli.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "PosixFiles.h"

namespace {

std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
    }
    return text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PlumetCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plumet-cli-XXXXXX";
        folder_ = mkdtemp(pattern);
        in_ = std::tmpfile();
        out_ = std::tmpfile();
        err_ = std::tmpfile();
    }
    void TearDown() override {
        std::fclose(in_);
        std::fclose(out_);
        std::fclose(err_);
        std::filesystem::remove_all(folder_);
    }

    // Each run starts with fresh streams.
    int Run(std::vector<std::string> args, const std::string& input = "") {
        for (std::FILE** stream : {&in_, &out_, &err_}) {
            std::fclose(*stream);
            *stream = std::tmpfile();
        }
        std::fputs(input.c_str(), in_);
        std::rewind(in_);
        PlumetCli cli(files_, in_, out_, err_);
        return cli.Run(args);
    }

    PosixFiles files_;
    std::filesystem::path folder_;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    std::FILE* err_ = nullptr;
};

TEST_F(PlumetCliTest, ImportWritesTheCatalogAndDumpPrintsItBack) {
    const std::string lines =
        "Abba\tWaterloo\t/music\t1,024\t01/02/03 04:05 PM\t/music/Abba - Waterloo.mp3\n"
        "\n"  // blank lines are skipped
        "only a path\n"
        "a\tb\tc\td\te\tx\tf";  // the last line needs no line feed
    const std::string catalog = (folder_ / "out.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, lines), PlumetCli::kOk) << ReadAll(err_);

    const std::string bytes = ReadFile(catalog);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x00\x00\x00", 4));

    ASSERT_EQ(Run({"dump", catalog}), PlumetCli::kOk);
    EXPECT_EQ(ReadAll(out_),
              "Abba\tWaterloo\t/music\t1,024\t01/02/03 04:05 PM\t/music/Abba - Waterloo.mp3\n"
              "\t\t\t\t\tonly a path\n"
              "a\tb\tc\td\te\tf\n");
}

TEST_F(PlumetCliTest, ImportToStandardOutputGivesTheSameBytes) {
    const std::string line = "\xC5\xC8\xCF\t\x7F\t\t\t\t/p\n";
    const std::string catalog = (folder_ / "a.plm").string();
    ASSERT_EQ(Run({"import", "-o", catalog}, line), PlumetCli::kOk);
    std::FILE* again = std::tmpfile();
    std::fputs(line.c_str(), again);
    std::rewind(again);
    PlumetCli cli(files_, again, out_, err_);
    ASSERT_EQ(cli.Run({"import"}), PlumetCli::kOk);
    std::fclose(again);
    EXPECT_EQ(ReadAll(out_), ReadFile(catalog));
}

TEST_F(PlumetCliTest, ErrorsAreOneLineAndUsageIsStatusTwo) {
    const std::string missing = (folder_ / "missing.plm").string();
    EXPECT_EQ(Run({"dump", missing}), PlumetCli::kFailure);
    EXPECT_EQ(ReadAll(err_), "plumet-cli: " + missing + " was not found.\n");

    std::ofstream(folder_ / "file").put('x');
    EXPECT_EQ(Run({"import", "-o", (folder_ / "file" / "x.plm").string()}, "a\n"),
              PlumetCli::kFailure);

    EXPECT_EQ(Run({}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"frobnicate"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"dump"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"import", "-o"}), PlumetCli::kUsage);
    EXPECT_EQ(Run({"dump", "--bogus", missing}), PlumetCli::kUsage);
}

// The installed program, end to end through a shell pipe.
TEST_F(PlumetCliTest, DumpOfImportIsTheInputThroughTheProgram) {
    const std::string input = (folder_ / "in.txt").string();
    std::ofstream(input) << "Artist\tTrack\tFolder\t1\t2\t/path\nx\ty\tz\tw\tv\t/u\n";
    const std::string command = std::string(PLUMET_CLI_PATH) + " import < " + input + " > " +
                                (folder_ / "c.plm").string() + " && " + PLUMET_CLI_PATH + " dump " +
                                (folder_ / "c.plm").string() + " > " +
                                (folder_ / "back.txt").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(folder_ / "back.txt"), ReadFile(input));
}

}  // namespace
