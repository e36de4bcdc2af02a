// Splitting a path into folder and file name, and telling whether it lies in a folder, at
// the edges where hand-written copies used to differ.

#include "catalog/PathParts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathPartsTest, FolderNameAndBelowHoldAtTheirEdges) {
    const struct {
        std::string_view path, folder, name;
    } splits[] = {
        {"/m/a/x.mp3", "/m/a", "x.mp3"},
        {"/x.mp3", "/", "x.mp3"},
        {"x.mp3", "", "x.mp3"},
        {"/m/a/", "/m/a", ""},
        {"", "", ""},
        {"a\\b.mp3", "", "a\\b.mp3"},
    };
    for (const auto& s : splits) {
        EXPECT_EQ(FolderOfPath(s.path), s.folder) << s.path;
        EXPECT_EQ(FileNameOf(s.path), s.name) << s.path;
    }
    const struct {
        std::string_view path, folder;
        bool below;
    } belows[] = {
        {"/m/a/x.mp3", "/m/a", true}, {"/m/a", "/m/a", true},     {"/m/a/x", "/m/a/", true},
        {"/m/a/x", "/m/a//", true},   {"/m/ab/x", "/m/a", false}, {"/m", "/m/a", false},
        {"/anything", "/", true},     {"rel/x", "rel", true},     {"/m/a", "m/a", false},
    };
    for (const auto& b : belows) {
        EXPECT_EQ(LiesBelow(b.path, b.folder), b.below) << b.path << " in " << b.folder;
    }
}

}  // namespace
