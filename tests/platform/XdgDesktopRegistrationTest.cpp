#include "XdgDesktopRegistration.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "/opt/Plumet Apps/bin/plumet";

bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class XdgDesktopRegistrationTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-xdg"};
    XdgDesktopRegistrationTest() {
        root = folder_.path();
        data = root / "data";
        config = root / "config";
    }

    XdgDesktopRegistration Registration(const std::string& program = kProgram) const {
        return XdgDesktopRegistration(
            {(root / "home").string(), data.string(), config.string(), program});
    }
    fs::path Entry() const { return data / "applications" / "plumet.desktop"; }
    fs::path Package() const { return data / "mime" / "packages" / "plumet.xml"; }
    fs::path MimeApps() const { return config / "mimeapps.list"; }

    fs::path root;
    fs::path data;
    fs::path config;
};

TEST_F(XdgDesktopRegistrationTest, RegisterWritesTheEntryTheTypeAndTheDefault) {
    ASSERT_TRUE(Registration().Register());

    EXPECT_EQ(ReadFileBytes(Entry()),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Plumet\n"
              "Comment=Catalog the music files on your discs and in your folders\n"
              "Exec=\"/opt/Plumet Apps/bin/plumet\" %f\n"
              "Icon=plumet\n"
              "Terminal=false\n"
              "Categories=AudioVideo;Audio;\n"
              "MimeType=application/x-plumet-document;\n");
    const std::string package = ReadFileBytes(Package());
    for (const char* part :
         {"Plumet.Document", "<mime-type type=\"application/x-plumet-document\">",
          "<comment>Plumet Document</comment>", "<glob pattern=\"*.plm\"/>"}) {
        EXPECT_NE(package.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(ReadFileBytes(MimeApps()),
              "[Default Applications]\napplication/x-plumet-document=plumet.desktop;\n");
    if (OnPath("update-mime-database")) {
        EXPECT_TRUE(fs::exists(data / "mime" / "application" / "x-plumet-document.xml"));
    }
    // Only the atomic writes' targets, no temporary files.
    for (const fs::path& folder : {data / "applications", data / "mime" / "packages", config}) {
        for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
            EXPECT_EQ(file.path().filename().string().rfind(".plumet-save-", 0), std::string::npos);
        }
    }
}

TEST_F(XdgDesktopRegistrationTest, FoldersDefaultBelowHome) {
    const fs::path home = root / "home";
    for (const std::string unset : {"", "relative/data"}) {
        XdgDesktopRegistration registration({home.string(), unset, unset, kProgram});
        EXPECT_EQ(registration.DesktopEntryPath(),
                  (home / ".local/share/applications/plumet.desktop").string());
        EXPECT_EQ(registration.MimePackagePath(),
                  (home / ".local/share/mime/packages/plumet.xml").string());
        EXPECT_EQ(registration.MimeAppsPath(), (home / ".config/mimeapps.list").string());
    }
    XdgDesktopRegistration homeless({"", "", "", kProgram});
    EXPECT_FALSE(homeless.Register());
    EXPECT_FALSE(homeless.Unregister());
}

TEST_F(XdgDesktopRegistrationTest, ForCurrentUserReadsTheProcessEnvironment) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (dataHome == nullptr || configHome == nullptr || dataHome[0] != '/' ||
        configHome[0] != '/') {
        GTEST_SKIP() << "the test environment sets no XDG folders";
    }
    const XdgDesktopRegistration registration = XdgDesktopRegistration::ForCurrentUser();
    EXPECT_EQ(registration.DesktopEntryPath(),
              std::string(dataHome) + "/applications/plumet.desktop");
    EXPECT_EQ(registration.MimeAppsPath(), std::string(configHome) + "/mimeapps.list");
}

TEST_F(XdgDesktopRegistrationTest, AnExistingDefaultAndOtherLinesAreKept) {
    const std::string mimeApps =
        "# my associations\n"
        "[Added Associations]\n"
        "audio/mpeg=vlc.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "audio/mpeg=vlc.desktop;\n"
        "application/x-plumet-document=other-cataloguer.desktop;\n";
    WriteFileBytes(MimeApps(), mimeApps);
    ASSERT_TRUE(Registration().Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()), mimeApps);

    WriteFileBytes(MimeApps(), "[Added Associations]\naudio/mpeg=vlc.desktop;\n");
    ASSERT_TRUE(Registration().Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()),
              "[Added Associations]\naudio/mpeg=vlc.desktop;\n\n[Default Applications]\n"
              "application/x-plumet-document=plumet.desktop;\n");
}

TEST_F(XdgDesktopRegistrationTest, RegisterTwiceChangesNothing) {
    ASSERT_TRUE(Registration().Register());
    const std::string entry = ReadFileBytes(Entry());
    const std::string package = ReadFileBytes(Package());
    const std::string mimeApps = ReadFileBytes(MimeApps());
    ASSERT_TRUE(Registration().Register());
    EXPECT_EQ(ReadFileBytes(Entry()), entry);
    EXPECT_EQ(ReadFileBytes(Package()), package);
    EXPECT_EQ(ReadFileBytes(MimeApps()), mimeApps);

    // The user's own edits of an entry that starts this program stay.
    const std::string edited = "[Desktop Entry]\nType=Application\nName=My Plumet\nExec=\"" +
                               std::string(kProgram) + "\" --x %F\n";
    WriteFileBytes(Entry(), edited);
    ASSERT_TRUE(Registration().Register());
    EXPECT_EQ(ReadFileBytes(Entry()), edited);

    // A moved program gets an entry that starts it where it is now.
    ASSERT_TRUE(Registration("/usr/bin/plumet").Register());
    EXPECT_NE(ReadFileBytes(Entry()).find("\nExec=/usr/bin/plumet %f\n"), std::string::npos);
}

TEST_F(XdgDesktopRegistrationTest, UnregisterRemovesOursOnly) {
    WriteFileBytes(data / "applications" / "vlc.desktop", "[Desktop Entry]\n");
    WriteFileBytes(data / "mime" / "packages" / "other.xml", "<mime-info/>\n");
    WriteFileBytes(MimeApps(), "[Default Applications]\naudio/mpeg=vlc.desktop;\n");
    ASSERT_TRUE(Registration().Register());

    EXPECT_TRUE(Registration().Unregister());
    EXPECT_FALSE(fs::exists(Entry()));
    EXPECT_FALSE(fs::exists(Package()));
    EXPECT_TRUE(fs::exists(data / "applications" / "vlc.desktop"));
    EXPECT_TRUE(fs::exists(data / "mime" / "packages" / "other.xml"));
    EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\naudio/mpeg=vlc.desktop;\n");
    if (OnPath("update-mime-database")) {
        EXPECT_FALSE(fs::exists(data / "mime" / "application" / "x-plumet-document.xml"));
    }
    // Nothing left is success too.
    EXPECT_TRUE(Registration().Unregister());

    const std::string others =
        "[Default Applications]\napplication/x-plumet-document=other.desktop;\n";
    WriteFileBytes(MimeApps(), others);
    EXPECT_TRUE(Registration().Unregister());
    EXPECT_EQ(ReadFileBytes(MimeApps()), others);
}

TEST_F(XdgDesktopRegistrationTest, FailuresAreReported) {
    // Something that is no file in place of the entry cannot be removed.
    WriteFileBytes(Entry() / "inside", "x");
    EXPECT_FALSE(Registration().Unregister());
    EXPECT_FALSE(Registration().Register());

    // A data folder below a regular file cannot be made.
    WriteFileBytes(root / "file", "x");
    XdgDesktopRegistration blocked(
        {(root / "home").string(), (root / "file" / "data").string(), config.string(), kProgram});
    EXPECT_FALSE(blocked.Register());
    EXPECT_FALSE(fs::exists(MimeApps()));  // no default for an entry that is not there
}

TEST_F(XdgDesktopRegistrationTest, ExecQuotesWhatTheDesktopWouldSplit) {
    const struct {
        std::string program;
        std::string value;
    } cases[] = {
        {"/usr/bin/plumet", "/usr/bin/plumet %f"},
        {"/opt/My Apps/plumet", "\"/opt/My Apps/plumet\" %f"},
        {"/opt/100%/plumet", "/opt/100%%/plumet %f"},
        {"/opt/a$b/plumet", "\"/opt/a\\\\$b/plumet\" %f"},
        {"/opt/say \"hi\"/plumet", "\"/opt/say \\\\\"hi\\\\\"/plumet\" %f"},
        {"/opt/back\\slash", "\"/opt/back\\\\\\\\slash\" %f"},
        {"/opt/tick`s/plumet", "\"/opt/tick\\\\`s/plumet\" %f"},
        {"/opt/it's/plumet", "\"/opt/it's/plumet\" %f"},
        {"/opt/new\nline", "\"/opt/new\\nline\" %f"},
        {"/opt/x;y&z|w(1)*?#~<>/p", "\"/opt/x;y&z|w(1)*?#~<>/p\" %f"},
        {"/opt/50% off/p", "\"/opt/50%% off/p\" %f"},
        {"/opt/caf\xC3\xA9/plumet", "/opt/caf\xC3\xA9/plumet %f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XdgDesktopRegistration::ExecValue(c.program), c.value) << c.program;
        EXPECT_EQ(XdgDesktopRegistration::ExecProgram(c.value), c.program) << c.program;
    }
    EXPECT_EQ(XdgDesktopRegistration::ExecProgram("plumet\\s%f"), "plumet");
    EXPECT_EQ(XdgDesktopRegistration::ExecProgram("\"/unclosed %f"), "");
    EXPECT_EQ(XdgDesktopRegistration::ExecProgram(""), "");
}

TEST_F(XdgDesktopRegistrationTest, TheEntryPassesTheValidator) {
    if (!OnPath("desktop-file-validate")) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    for (const char* program : {kProgram, "/usr/bin/plumet", "/opt/it's $100/plumet"}) {
        fs::remove_all(data);
        ASSERT_TRUE(Registration(program).Register());
        const std::string command = "desktop-file-validate '" + Entry().string() + "' > '" +
                                    (root / "report").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << program << "\n"
                                                   << ReadFileBytes(root / "report");
    }
}

}  // namespace
