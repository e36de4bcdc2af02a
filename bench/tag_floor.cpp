// The floor of reading tags: one thread opening every file named on standard input (one path
// a line, as find prints them) with TagLib::FileRef in fast mode, reading the tag and the
// audio properties. With --bounded it reads through Plumet's TagLibTagReader instead, for
// comparing files with each other. Prints "name: value" lines.
//   find TREE -type f | tag_floor [--bounded]

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "TagLibTagReader.h"

int main(int argc, char** argv) {
    const bool bounded = argc > 1 && std::string_view(argv[1]) == "--bounded";
    std::vector<std::string> paths;
    for (std::string line; std::getline(std::cin, line);) {
        paths.push_back(line);
    }
    TagLibTagReader reader;
    unsigned long tagged = 0;
    unsigned long long seconds = 0;  // summed so that the reads cannot be left out
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        if (bounded) {
            if (const std::optional<FileTags> tags = reader.ReadTags(path)) {
                tagged += tags->artist.empty() ? 0 : 1;
            }
            continue;
        }
        TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Fast);
        if (file.isNull()) {
            continue;
        }
        tagged += file.tag() != nullptr && !file.tag()->artist().isEmpty() ? 1 : 0;
        if (const TagLib::AudioProperties* audio = file.audioProperties()) {
            seconds += static_cast<unsigned long long>(audio->lengthInSeconds());
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("files: %zu\nwith artist: %lu\naudio seconds: %llu\nseconds: %.3f\n", paths.size(),
                tagged, seconds, elapsed.count());
    std::printf("ms per file: %.4f\n",
                paths.empty() ? 0.0 : elapsed.count() * 1000.0 / static_cast<double>(paths.size()));
    return 0;
}
