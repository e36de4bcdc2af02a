#include "PosixFolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FolderReader::EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FolderReader::EntryKind::File;
    }
    return S_ISDIR(mode) ? FolderReader::EntryKind::Folder : FolderReader::EntryKind::Other;
}

class PosixListing : public FolderReader::Listing {
public:
    PosixListing(DIR* folder, const struct stat& status)
        : folder_(folder),
          identity_{static_cast<std::uint64_t>(status.st_dev),
                    static_cast<std::uint64_t>(status.st_ino)} {}
    ~PosixListing() override { closedir(folder_); }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    FolderReader::FolderIdentity Identity() const override { return identity_; }

    bool Next(std::string_view& name, FolderReader::EntryKind& kind) override {
        while (const dirent* entry = readdir(folder_)) {
            const std::string_view entryName(entry->d_name);
            if (entryName == "." || entryName == "..") {
                continue;
            }
            name = entryName;
            current_ = entry->d_name;
            haveStatus_ = false;
            switch (entry->d_type) {
                case DT_REG:
                    kind = FolderReader::EntryKind::File;
                    break;
                case DT_DIR:
                    kind = FolderReader::EntryKind::Folder;
                    break;
                case DT_LNK:
                case DT_UNKNOWN:
                    // Links are walked as what they lead to; a dangling one is not a file.
                    kind = ReadStatus() ? KindOf(status_.st_mode) : FolderReader::EntryKind::Other;
                    break;
                default:
                    kind = FolderReader::EntryKind::Other;  // FIFOs, sockets, devices
                    break;
            }
            return true;
        }
        return false;
    }

    std::optional<FolderReader::FileFacts> Facts() override {
        if (!haveStatus_ && !ReadStatus()) {
            return std::nullopt;  // deleted since it was listed
        }
        return FolderReader::FileFacts{static_cast<std::uint64_t>(status_.st_size),
                                       static_cast<std::int64_t>(status_.st_mtim.tv_sec)};
    }

private:
    bool ReadStatus() {
        haveStatus_ = fstatat(dirfd(folder_), current_, &status_, 0) == 0;
        return haveStatus_;
    }

    DIR* folder_;
    FolderReader::FolderIdentity identity_;
    const char* current_ = nullptr;
    struct stat status_ {};
    bool haveStatus_ = false;
};

}  // namespace

std::unique_ptr<FolderReader::Listing> PosixFolderReader::Open(const std::string& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    DIR* listing = fstat(descriptor, &status) == 0 ? fdopendir(descriptor) : nullptr;
    if (listing == nullptr) {
        close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixListing>(listing, status);
}
