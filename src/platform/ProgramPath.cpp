#include "ProgramPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

std::string FindOnPath(const std::string& name) {
    const char* variable = std::getenv("PATH");
    const std::string folders =
        variable != nullptr && *variable != '\0' ? variable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        end = end == std::string::npos ? folders.size() : end;
        // An empty entry would mean the current folder: never run programs from there.
        if (end > start) {
            const std::string candidate = folders.substr(start, end - start) + "/" + name;
            struct stat info {};
            if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                ::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return {};
}
