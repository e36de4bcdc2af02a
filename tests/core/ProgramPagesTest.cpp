#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ProgramPages.h"

namespace {

const GuidePlaces kPlaces{"/home/ann/plumet/build", "/home/ann/plumet/docs",
                          "/usr/share/doc/plumet"};

// An exists predicate over a fixed set of files.
auto Having(std::set<std::string> files) {
    return [files](const std::string& path) { return files.count(path) > 0; };
}

TEST(ProgramPagesTest, ADevelopmentBuildShowsTheSourceTreesGuide) {
    const auto everything = [](const std::string&) { return true; };
    EXPECT_EQ(ProgramWebsite("/home/ann/plumet/build/src/app", kPlaces, everything),
              "file:///home/ann/plumet/docs/guide.html");
    EXPECT_EQ(ProgramWebsite("/home/ann/plumet/build", kPlaces, everything),
              "file:///home/ann/plumet/docs/guide.html");
    EXPECT_EQ(ProgramWebsite("/home/ann/plumet/build/", kPlaces, everything),
              "file:///home/ann/plumet/docs/guide.html");
    // A sibling folder whose name starts the same is not the build tree.
    EXPECT_EQ(ProgramWebsite("/home/ann/plumet/build-old/src/app", kPlaces, everything),
              "file:///home/ann/plumet/build-old/src/share/doc/plumet/guide.html");
}

TEST(ProgramPagesTest, AnInstalledProgramShowsTheInstalledGuide) {
    const auto installed = Having({"/usr/share/doc/plumet/guide.html"});
    EXPECT_EQ(ProgramWebsite("/usr/bin", kPlaces, installed),
              "file:///usr/share/doc/plumet/guide.html");
    // A build whose source tree is gone falls back to the installed copy.
    EXPECT_EQ(ProgramWebsite("/home/ann/plumet/build/src/app", kPlaces, installed),
              "file:///usr/share/doc/plumet/guide.html");
    // A program moved with its share folder finds the copy beside it.
    EXPECT_EQ(ProgramWebsite("/opt/plumet/bin", kPlaces,
                             Having({"/opt/plumet/share/doc/plumet/guide.html",
                                     "/usr/share/doc/plumet/guide.html"})),
              "file:///opt/plumet/share/doc/plumet/guide.html");
    // With no copy anywhere, the installed one, so opening it fails visibly.
    EXPECT_EQ(ProgramWebsite("/tmp", kPlaces, Having({})),
              "file:///usr/share/doc/plumet/guide.html");
}

TEST(ProgramPagesTest, ListsTheCandidatesBestFirst) {
    EXPECT_EQ(GuideCandidates("/home/ann/plumet/build/src/app", kPlaces),
              (std::vector<std::string>{"/home/ann/plumet/docs/guide.html",
                                        "/home/ann/plumet/build/src/share/doc/plumet/guide.html",
                                        "/usr/share/doc/plumet/guide.html"}));
    EXPECT_EQ(GuideCandidates("/usr/bin", kPlaces),
              (std::vector<std::string>{"/usr/share/doc/plumet/guide.html",
                                        "/usr/share/doc/plumet/guide.html"}));
}

TEST(ProgramPagesTest, TheDonationPageIsTheGuidesSupportSection) {
    EXPECT_EQ(DonationPage("/usr/bin", kPlaces, Having({"/usr/share/doc/plumet/guide.html"})),
              "file:///usr/share/doc/plumet/guide.html#donate");
}

TEST(ProgramPagesTest, FileUrlsEncodeWhatAUrlCannotHoldPlain) {
    EXPECT_EQ(FileUrl("/usr/share/doc/plumet/guide.html"),
              "file:///usr/share/doc/plumet/guide.html");
    EXPECT_EQ(FileUrl("/home/ann/My Music #1/a%b?.html"),
              "file:///home/ann/My%20Music%20%231/a%25b%3F.html");
    EXPECT_EQ(FileUrl("/home/j\xC3\xB3ga/x_y-z~.html"), "file:///home/j%C3%B3ga/x_y-z~.html");
    // A drive's path keeps its letter and colon after the third slash.
    EXPECT_EQ(FileUrl("C:/Program Files/Plumet/guide.html"),
              "file:///C:/Program%20Files/Plumet/guide.html");
    EXPECT_EQ(FileUrl("/a:b"), "file:///a%3Ab");
}

TEST(ProgramPagesTest, TheBuiltInPlacesAreAbsolute) {
    const GuidePlaces places = BuiltInGuidePlaces();
    EXPECT_EQ(places.buildTree.front(), '/');
    EXPECT_EQ(places.sourceDocs.front(), '/');
    EXPECT_TRUE(places.installedDocs.ends_with("/share/doc/plumet"));
    // This test runs inside the build tree, so the program's page is the source tree's guide.
    EXPECT_TRUE(IsFile(places.sourceDocs + "/guide.html"));
}

}  // namespace
