#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "LinuxMounts.h"
#include "PlumetCli.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "PosixLocale.h"
#include "ProgramPages.h"
#include "TagLibTagReader.h"

int main(int argc, char** argv) {
    PosixFiles files;
    PosixFolderReader folders;
    PosixLocale locale;
    PlumetCli cli(files, stdin, stdout, stderr);
    TagLibTagReader tags;
    cli.SetScanServices(folders, locale);
    cli.SetTagReader(tags);
    LinuxMounts mounts;
    cli.SetMounts(mounts);
    // The page links to the same guide the desktop program beside this one would show.
    std::error_code unknown;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
    cli.SetProgramWebsite(
        ProgramWebsite(unknown ? "" : self.parent_path().string(), BuiltInGuidePlaces()));
    return cli.Run(std::vector<std::string>(argv + 1, argv + argc));
}
