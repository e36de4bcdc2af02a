#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "support/TempFolder.h"

// XDG folders, a desktop name and PATH pointed at a temporary tree for one test, and put
// back afterwards: config/ (the user's), etc/ (the system's), data/ (the user's), usr/ and
// opt/ (the system's, in that order), bin/ first on PATH.
class XdgFixture : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME",     "XDG_CONFIG_DIRS",
                                                 "XDG_DATA_HOME",       "XDG_DATA_DIRS",
                                                 "XDG_CURRENT_DESKTOP", "PATH"};

    XdgFixture() : dir(folder_.path()) {
        for (const char* name : kVariables) {
            if (const char* value = std::getenv(name)) {
                saved_[name] = value;
            }
        }
        for (const char* sub : {"config", "etc", "data/applications", "usr/applications",
                                "opt/applications", "bin"}) {
            std::filesystem::create_directories(dir / sub);
        }
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (dir / "etc").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", ((dir / "usr").string() + ":" + (dir / "opt").string()).c_str(),
                 1);
        ::unsetenv("XDG_CURRENT_DESKTOP");
        ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
    }
    ~XdgFixture() override {
        for (const char* name : kVariables) {
            if (const auto found = saved_.find(name); found != saved_.end()) {
                ::setenv(name, found->second.c_str(), 1);
            } else {
                ::unsetenv(name);
            }
        }
    }

    void Write(const std::string& relative, const std::string& text) const {
        std::filesystem::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative) << text;
    }
    // A desktop entry in `root`/applications ("data", "usr" or "opt").
    void WriteEntry(const std::string& root, const std::string& id, const std::string& exec,
                    const std::string& more = {}) const {
        Write(root + "/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec + "\n" + more);
    }
    // A fake player on PATH that records its arguments, one "[argument]" per line.
    void WriteRecorder(const std::string& name) const {
        const std::filesystem::path path = dir / "bin" / name;
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '"
                            << Log() << "'; done\n: > '" << Log() << ".done'\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    std::string Log() const { return (dir / "log").string(); }
    std::string Read(const std::string& path) const {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    TempFolder folder_{"plumet-xdg"};
    std::map<std::string, std::string> saved_;

protected:
    std::filesystem::path dir;
};
