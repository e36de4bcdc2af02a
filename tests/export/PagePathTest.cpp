#include "export/PagePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ios>
#include <string>

#include "export/PageErrorText.h"

namespace {

struct PathCase {
    const char* catalog;
    const char* page;
};

class PagePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PagePathTest, ThePageTakesTheCatalogsName) {
    EXPECT_EQ(PagePath::BesideCatalog(GetParam().catalog), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PagePathTest,
    ::testing::Values(PathCase{"/home/ann/Lists/music.plm", "/home/ann/Lists/music.html"},
                      // A dot in a folder's name is no extension.
                      PathCase{"/home/ann/Lists.old/list", "/home/ann/Lists.old/list.html"},
                      PathCase{"/home/ann/Lists.old/list.plm", "/home/ann/Lists.old/list.html"},
                      PathCase{"/m/rock.2024.plm", "/m/rock.2024.html"},
                      // Never the catalog itself.
                      PathCase{"/m/music.html", "/m/music.html.html"},
                      PathCase{"music.html", "music.html.html"},
                      PathCase{"/m/music.html.html", "/m/music.html.html.html"},
                      PathCase{"/m/music.html.plm", "/m/music.html.html"},
                      PathCase{"/m/.hidden.plm", "/m/.hidden.html"},
                      PathCase{"/m/.plm", "/m/.plm.html"}, PathCase{"/m/end.", "/m/end.html"},
                      PathCase{"music.plm", "music.html"}, PathCase{"list", "list.html"},
                      // Untitled: no place of its own.
                      PathCase{"", ""}));

TEST(PageFullPathTest, ARelativePageIsNamedFromTheCurrentFolder) {
    // "/a/b.html" on Linux, a drive's "Z:\\a\\b.html" on Windows.
    const std::string absolute =
        (std::filesystem::current_path().root_path() / "a" / "b.html").string();
    EXPECT_EQ(PagePath::FullPath(absolute), absolute);
    EXPECT_EQ(PagePath::FullPath("lists/b.html"),
              (std::filesystem::current_path() / "lists" / "b.html").string());
}

struct CauseCase {
    std::errc cause;
    const char* text;
};

class PageErrorTextTest : public ::testing::TestWithParam<CauseCase> {};

TEST_P(PageErrorTextTest, EachCauseHasItsText) {
    EXPECT_EQ(PageErrorText(std::make_error_code(GetParam().cause), "/p/x.html"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, PageErrorTextTest,
    ::testing::Values(
        CauseCase{std::errc::no_such_file_or_directory, "/p/x.html was not found."},
        CauseCase{std::errc::not_a_directory, "/p/x.html contains an invalid path."},
        CauseCase{std::errc::filename_too_long, "/p/x.html contains an invalid path."},
        CauseCase{std::errc::too_many_files_open,
                  "/p/x.html could not be opened because there are too many open files."},
        CauseCase{std::errc::permission_denied, "Access to /p/x.html was denied."},
        CauseCase{std::errc::read_only_file_system, "Access to /p/x.html was denied."},
        CauseCase{std::errc::is_a_directory, "Access to /p/x.html was denied."},
        CauseCase{std::errc::bad_file_descriptor,
                  "An invalid file handle was associated with /p/x.html."},
        CauseCase{std::errc::too_many_links,
                  "/p/x.html could not be created because the directory is full."},
        CauseCase{std::errc::invalid_seek, "Seek failed on /p/x.html"},
        CauseCase{std::errc::io_error,
                  "A hardware I/O error was reported while accessing /p/x.html."},
        CauseCase{std::errc::text_file_busy,
                  "A sharing violation occurred while accessing /p/x.html."},
        CauseCase{std::errc::no_lock_available,
                  "A locking violation occurred while accessing /p/x.html."},
        CauseCase{std::errc::no_space_on_device, "Disk full while accessing /p/x.html."},
        CauseCase{std::errc::file_too_large, "Disk full while accessing /p/x.html."},
        CauseCase{std::errc::connection_refused,
                  "An unknown error occurred while accessing /p/x.html."}));

TEST(PageErrorTextEdgeTest, AnUnnamedFileAndAForeignCause) {
    EXPECT_EQ(PageErrorText(std::make_error_code(std::errc::permission_denied), ""),
              "Access to an unnamed file was denied.");
    EXPECT_EQ(PageErrorText(std::make_error_code(std::io_errc::stream), "/p"),
              "An unknown error occurred while accessing /p.");
}

}  // namespace
