#include <cstdio>
#include <string>
#include <vector>

#include "PlumetCli.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "PosixLocale.h"

int main(int argc, char** argv) {
    PosixFiles files;
    PosixFolderReader folders;
    PosixLocale locale;
    PlumetCli cli(files, stdin, stdout, stderr);
    cli.SetScanServices(folders, locale);
    return cli.Run(std::vector<std::string>(argv + 1, argv + argc));
}
