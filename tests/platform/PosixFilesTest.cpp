#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "PosixFiles.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class PosixFilesTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-files"};
    PosixFilesTest() { dir = folder_.path(); }

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(PathOf(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // What the folder holds, so a stray temporary file shows up.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    static std::function<Result(ByteSink&)> Writing(std::string text) {
        return [text](ByteSink& sink) { return sink.Write(text.data(), text.size()); };
    }
    mode_t ModeOf(const std::string& name) const {
        struct stat info {};
        EXPECT_EQ(::stat(PathOf(name).c_str(), &info), 0);
        return info.st_mode & 07777;
    }

    fs::path dir;
    PosixFiles files;
};

TEST_F(PosixFilesTest, OpenNamesTheFileAndTheCause) {
    Write("cat.plm", "abc");
    Files::OpenedFile opened;
    ASSERT_TRUE(files.OpenForReading(PathOf("cat.plm"), opened));
    EXPECT_EQ(opened.size, 3u);
    char buffer[8];
    std::size_t count = 0;
    EXPECT_TRUE(opened.source->Read(buffer, sizeof buffer, count));
    EXPECT_EQ(std::string(buffer, count), "abc");
    EXPECT_TRUE(opened.source->Read(buffer, sizeof buffer, count));
    EXPECT_EQ(count, 0u);

    const struct {
        std::string path;
        std::string error;
    } failures[] = {
        {PathOf("missing.plm"), PathOf("missing.plm") + " was not found."},
        {PathOf("cat.plm/x.plm"), PathOf("cat.plm/x.plm") + " contains an invalid path."},
        {dir.string(), dir.string() + " is a folder, not a catalog file."},
    };
    for (const auto& failure : failures) {
        Files::OpenedFile none;
        const Result result = files.OpenForReading(failure.path, none);
        EXPECT_FALSE(result) << failure.path;
        EXPECT_EQ(result.error(), failure.error);
        EXPECT_EQ(none.source, nullptr);
    }
}

TEST_F(PosixFilesTest, ReplacesWholeFilesKeepingPermissions) {
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(files.ReplaceFile(PathOf("new.plm"), Writing("first")));
    EXPECT_EQ(Read("new.plm"), "first");
    EXPECT_EQ(ModeOf("new.plm"), 0644u);
    ::umask(mask);

    Write("cat.plm", "a much longer old content");
    ASSERT_EQ(::chmod(PathOf("cat.plm").c_str(), 0604), 0);
    EXPECT_TRUE(files.ReplaceFile(PathOf("cat.plm"), Writing("new")));
    EXPECT_EQ(Read("cat.plm"), "new");
    EXPECT_EQ(ModeOf("cat.plm"), 0604u);
    EXPECT_EQ(Names(), (std::set<std::string>{"cat.plm", "new.plm"}));
}

TEST_F(PosixFilesTest, FailuresLeaveTheOldFileAlone) {
    Write("cat.plm", "old");
    const Result failed = files.ReplaceFile(PathOf("cat.plm"), [](ByteSink& sink) {
        EXPECT_TRUE(sink.Write("partial", 7));
        return Result::Failure("writer gave up");
    });
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.error(), "writer gave up");
    EXPECT_EQ(Read("cat.plm"), "old");

    // Running as root, permissions block nothing: make the folder unusable instead.
    const std::string paths[] = {PathOf("gone/cat.plm"), PathOf("cat.plm/inner.plm")};
    for (const std::string& path : paths) {
        bool called = false;
        const Result result = files.ReplaceFile(path, [&called](ByteSink&) {
            called = true;
            return Result::Ok();
        });
        EXPECT_FALSE(result) << path;
        EXPECT_NE(result.error().find(path), std::string::npos) << result.error();
        EXPECT_FALSE(called);
    }
    EXPECT_EQ(Read("cat.plm"), "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"cat.plm"}));
}

TEST_F(PosixFilesTest, SavingThroughALinkReplacesItsTarget) {
    fs::create_directory(dir / "real");
    Write("real/cat.plm", "old");
    ASSERT_EQ(::chmod(PathOf("real/cat.plm").c_str(), 0640), 0);
    fs::create_symlink("real/cat.plm", dir / "link.plm");

    EXPECT_TRUE(files.ReplaceFile(PathOf("link.plm"), Writing("new")));
    EXPECT_TRUE(fs::is_symlink(dir / "link.plm"));
    EXPECT_EQ(Read("real/cat.plm"), "new");
    EXPECT_EQ(ModeOf("real/cat.plm"), 0640u);
    EXPECT_EQ(Names(), (std::set<std::string>{"link.plm", "real"}));
    EXPECT_EQ(fs::directory_iterator(dir / "real")->path().filename(), "cat.plm");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

}  // namespace
