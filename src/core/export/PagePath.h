#pragma once

#include <string>

// Where the exported page of a catalog goes.
class PagePath {
public:
    // The catalog file's path with the extension of its name replaced by ".html"; a name
    // without one, or whose extension is ".html" already, gets ".html" appended, and a "."
    // in a folder name is left alone. Empty for an untitled catalog, which has no place of
    // its own.
    static std::string BesideCatalog(const std::string& catalogPath);
    // The same with another extension, such as ".csv".
    static std::string BesideCatalog(const std::string& catalogPath, const std::string& extension);
    // A relative path resolved against the current directory, as messages name the file.
    static std::string FullPath(const std::string& path);
};
