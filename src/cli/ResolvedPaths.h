#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

// Paths made absolute with the links of their folders resolved, so that one file compares
// the same however it was reached. A file's own name is left as it is: a row of a link is
// the link's. Each folder is resolved once.
class ResolvedPaths {
public:
    // The file `path` as its resolved folder and its name.
    std::string Of(std::string_view path);
    // The folder `folder` itself resolved, its last part too.
    std::string Folder(std::string_view folder);

    // `path` from the current directory, without "." and ".." parts or a closing "/".
    static std::string Absolute(std::string_view path);

private:
    std::unordered_map<std::string, std::string> folders_;
};
