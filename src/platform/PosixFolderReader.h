#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "services.h"

// Folder listings with readdir: the entry's type comes from the directory entry, and a
// status call is made only for links, entries of unknown type and files asked about.
class PosixFolderReader : public FolderReader {
public:
    // `mountInfo` is read to tell devtmpfs from tmpfs, whose magic number it shares.
    explicit PosixFolderReader(std::string mountInfo = "/proc/self/mountinfo");

    std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) override;

    // Whether the open folder `descriptor`, on `device`, lies on one of the kernel's pseudo
    // file systems. Listings ask it; they must not outlive the reader.
    bool OnPseudoFileSystem(int descriptor, std::uint64_t device);

private:
    // The type the mount table gives the file system on `device`; "tmpfs" when it names
    // none.
    std::string MountedType(std::uint64_t device);

    std::string mountInfo_;
    std::mutex typesLock_;
    std::map<std::string, std::string> types_;  // "major:minor" to its file system type
};
