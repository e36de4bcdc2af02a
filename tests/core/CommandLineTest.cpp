#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

struct Case {
    std::vector<std::string> args;
    Action action;
    std::string file;
};

TEST(CommandLineTest, ActionsAndFiles) {
    const Case cases[] = {
        {{}, Action::NewCatalog, ""},
        {{"music.plm"}, Action::OpenFile, "music.plm"},
        {{"/home/me/My Music.plm"}, Action::OpenFile, "/home/me/My Music.plm"},
        {{"/p.plm"}, Action::OpenFile, "/p.plm"},
        {{"/unknown"}, Action::OpenFile, "/unknown"},
        {{"--", "/p"}, Action::OpenFile, "/p"},
        {{"--", "-Unregister"}, Action::OpenFile, "-Unregister"},
        {{"/Unregister"}, Action::Unregister, ""},
        {{"-Unregister"}, Action::Unregister, ""},
        {{"/Unregserver"}, Action::Unregister, ""},
        {{"-Unregserver"}, Action::Unregister, ""},
        {{"/UNREGISTER"}, Action::Unregister, ""},
        {{"-unregserver"}, Action::Unregister, ""},
        {{"/uNrEgIsTeR", "a.plm"}, Action::Unregister, ""},
        {{"a.plm", "-Unregister"}, Action::Unregister, ""},
        {{"/p", "a.plm"}, Action::Refused, ""},
        {{"/P", "a.plm"}, Action::Refused, ""},
        {{"-p", "a.plm"}, Action::Refused, ""},
        {{"/pt", "a.plm", "printer", "driver", "port"}, Action::Refused, ""},
        {{"-PT", "a.plm", "printer"}, Action::Refused, ""},
        {{"/dde"}, Action::Refused, ""},
        {{"-DDE"}, Action::Refused, ""},
        {{"a.plm", "/Dde"}, Action::Refused, ""},
        {{"a.plm", "b.plm"}, Action::UsageError, ""},
        {{"-x"}, Action::UsageError, ""},
        {{"--verbose", "a.plm"}, Action::UsageError, ""},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& arg : c.args) {
            shown += "[" + arg + "]";
        }
        const CommandLine line = CommandLine::Parse(c.args);
        EXPECT_EQ(line.action(), c.action) << shown;
        EXPECT_EQ(line.file(), c.file) << shown;
        const bool stops = c.action == Action::Refused || c.action == Action::UsageError;
        EXPECT_EQ(line.exitStatus(), stops ? 2 : 0) << shown;
        EXPECT_EQ(line.message().empty(), !stops) << shown;
        EXPECT_EQ(line.message().find('\n'), std::string::npos) << shown;
    }
}

TEST(CommandLineTest, MessagesNameTheRefusedForm) {
    EXPECT_EQ(CommandLine::Parse({"/pt", "a.plm"}).message(),
              "plumet: /pt: printing from the command line is not supported");
    EXPECT_EQ(CommandLine::Parse({"-DDE"}).message(),
              "plumet: -DDE: DDE is not supported on this system");
    EXPECT_NE(CommandLine::Parse({"a", "b"}).message().find("usage: plumet"), std::string::npos);
}

TEST(CommandLineTest, ConfirmationTexts) {
    EXPECT_STREQ(CommandLine::kUnregistered,
                 "System registry entries have been removed and the INI file (if any) was "
                 "deleted.");
    EXPECT_STREQ(CommandLine::kNotUnregistered,
                 "Not all of the system registry entries (or INI file) were removed.");
}

}  // namespace
