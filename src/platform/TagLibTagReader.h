#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "services.h"

// Tags and audio properties through TagLib, the file class chosen by the extension as TagLib's
// FileRef chooses it. Every read goes through a BoundedStream, so a file that only pretends
// to be audio costs about what a small file costs, and every TagLib object lives for one
// call: several threads may read at once.
class TagLibTagReader : public TagReader {
public:
    // Bytes one file may have read from it (see BoundedStream). Searching: twice the 64 KiB
    // of zeros some taggers leave between a tag and the first frame, little enough that a
    // search through gigabytes of zeros ends within a few hundredths of a second. Headers:
    // the page headers of a cover as large as the body budget, yet a chain of tiny headers
    // stays small in memory. Bodies: more than a large cover picture, little enough that a
    // tag claiming gigabytes stays small in memory.
    static constexpr unsigned long kSearchBudget = 128UL << 10;
    static constexpr unsigned long kHeaderBudget = 512UL << 10;
    static constexpr unsigned long kBodyBudget = 16UL << 20;

    std::optional<FileTags> ReadTags(const std::string& path) override;
    // Starts reading the parts of the file the tags live in: its start and its end.
    void WillRead(const std::string& path) override;

    // The same from a file's bytes in memory, read as a file with this extension.
    static std::optional<FileTags> ReadTagsFromMemory(std::string_view bytes,
                                                      std::string_view extension);

    // The extensions that have a reader, in lower case; any case is taken.
    static std::span<const std::string_view> Extensions();
};
