// The reader over a real folder: what each kind of entry is reported as, and why a folder or
// an entry could not be seen.

#include "PosixFolderReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

using Kind = FolderReader::EntryKind;

TEST(PosixFolderReaderTest, EachEntryIsWhatItLeadsToAndWhatCannotBeSeenSaysWhy) {
    const TempFolder temp("plumet-reader");
    const fs::path& root = temp.path();
    std::ofstream(root / "file.mp3") << "x";
    fs::create_directory(root / "folder");
    fs::create_directory_symlink("folder", root / "to-folder");
    fs::create_symlink("file.mp3", root / "to-file");
    fs::create_symlink("nowhere/Music", root / "dangling");
    fs::create_symlink("loop", root / "loop");
    fs::create_symlink("file.mp3/below", root / "below-file");
    ASSERT_EQ(mkfifo((root / "pipe").c_str(), 0644), 0);

    const std::map<std::string, std::pair<Kind, std::string>> expected{
        {"file.mp3", {Kind::File, ""}},
        {"folder", {Kind::Folder, ""}},
        {"to-folder", {Kind::Folder, ""}},
        {"to-file", {Kind::File, ""}},
        {"dangling", {Kind::Unseen, "the link's target nowhere/Music is missing"}},
        {"loop", {Kind::Unseen, "Too many levels of symbolic links"}},
        {"below-file", {Kind::Unseen, "Not a directory"}},
        {"pipe", {Kind::Other, ""}},
    };
    PosixFolderReader reader;
    std::error_code error;
    const std::unique_ptr<FolderReader::Listing> listing = reader.Open(root.string(), error);
    ASSERT_TRUE(listing) << error.message();
    std::map<std::string, std::pair<Kind, std::string>> listed;
    std::string_view name;
    Kind kind;
    while (listing->Next(name, kind)) {
        listed[std::string(name)] = {kind, listing->Cause()};
    }
    EXPECT_EQ(listing->Cause(), "");  // listed to its end
    EXPECT_EQ(listed, expected);

    // A folder that cannot be opened, as the system says it.
    const std::pair<std::string, std::errc> unopened[] = {
        {"missing", std::errc::no_such_file_or_directory},
        {"file.mp3", std::errc::not_a_directory},
        {"file.mp3/below", std::errc::not_a_directory},
        {"dangling", std::errc::no_such_file_or_directory},
        {"loop", std::errc::too_many_symbolic_link_levels},
    };
    for (const auto& [path, cause] : unopened) {
        error.clear();
        EXPECT_FALSE(reader.Open((root / path).string(), error)) << path;
        EXPECT_EQ(error, cause) << path << ": " << error.message();
    }
    EXPECT_TRUE(reader.Open((root / "to-folder").string(), error));
}

}  // namespace
