#include "MimeAppsList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kType = "application/x-plumet-document";
constexpr const char* kOurs = "application/x-plumet-document=plumet.desktop;\n";

struct Edit {
    const char* name;
    std::string before;
    bool changed;
    std::string after;
};

TEST(MimeAppsListTest, SetDefaultIfMissing) {
    const Edit edits[] = {
        {"empty file", "", true, std::string("[Default Applications]\n") + kOurs},
        {"appended to the group",
         "[Default Applications]\ntext/plain=gedit.desktop;\n\n[Added Associations]\nx/y=z;\n",
         true,
         std::string("[Default Applications]\ntext/plain=gedit.desktop;\n") + kOurs +
             "\n[Added Associations]\nx/y=z;\n"},
        {"group added after the others", "# mine\n[Added Associations]\nx/y=z;\n", true,
         std::string("# mine\n[Added Associations]\nx/y=z;\n\n[Default Applications]\n") + kOurs},
        {"last line without its end", "[Default Applications]\ntext/plain=a.desktop;", true,
         std::string("[Default Applications]\ntext/plain=a.desktop;\n") + kOurs},
        {"empty group", "[Default Applications]\n", true,
         std::string("[Default Applications]\n") + kOurs},
        {"an empty value is no default", "[Default Applications]\napplication/x-plumet-document=\n",
         true, std::string("[Default Applications]\n") + kOurs},
        {"another default stays",
         "[Default Applications]\napplication/x-plumet-document=other.desktop;\n", false,
         "[Default Applications]\napplication/x-plumet-document=other.desktop;\n"},
        {"spaces around the key",
         "[Default Applications]\n application/x-plumet-document = other.desktop\n", false,
         "[Default Applications]\n application/x-plumet-document = other.desktop\n"},
        {"the type in another group is no default",
         "[Added Associations]\napplication/x-plumet-document=other.desktop;\n", true,
         std::string("[Added Associations]\napplication/x-plumet-document=other.desktop;\n\n"
                     "[Default Applications]\n") +
             kOurs},
    };
    for (const Edit& edit : edits) {
        MimeAppsList list(edit.before);
        EXPECT_EQ(list.SetDefaultIfMissing(kType, "plumet.desktop"), edit.changed) << edit.name;
        EXPECT_EQ(list.text(), edit.after) << edit.name;
        EXPECT_FALSE(list.SetDefaultIfMissing(kType, "plumet.desktop")) << edit.name;
    }
}

TEST(MimeAppsListTest, RemoveDefault) {
    const Edit edits[] = {
        {"our line goes", std::string("[Default Applications]\na/b=c;\n") + kOurs + "d/e=f;\n",
         true, "[Default Applications]\na/b=c;\nd/e=f;\n"},
        {"others in the list stay",
         "[Default Applications]\napplication/x-plumet-document=plumet.desktop;other.desktop;\n",
         true, "[Default Applications]\napplication/x-plumet-document=other.desktop;\n"},
        {"another default stays",
         "[Default Applications]\napplication/x-plumet-document=other.desktop;\n", false,
         "[Default Applications]\napplication/x-plumet-document=other.desktop;\n"},
        {"other groups stay", std::string("[Added Associations]\n") + kOurs, false,
         std::string("[Added Associations]\n") + kOurs},
        {"no file", "", false, ""},
    };
    for (const Edit& edit : edits) {
        MimeAppsList list(edit.before);
        EXPECT_EQ(list.RemoveDefault(kType, "plumet.desktop"), edit.changed) << edit.name;
        EXPECT_EQ(list.text(), edit.after) << edit.name;
    }
}

TEST(MimeAppsListTest, DefaultFor) {
    const MimeAppsList list("[Default Applications]\n# application/x-plumet-document=no;\n" +
                            std::string(kOurs));
    EXPECT_EQ(list.DefaultFor(kType), "plumet.desktop;");
    EXPECT_EQ(list.DefaultFor("text/plain"), "");
}

}  // namespace
