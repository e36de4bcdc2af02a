#include <cstdio>
#include <string>
#include <vector>

#include "PlumetCli.h"
#include "PosixFiles.h"

int main(int argc, char** argv) {
    PosixFiles files;
    PlumetCli cli(files, stdin, stdout, stderr);
    return cli.Run(std::vector<std::string>(argv + 1, argv + argc));
}
