#include "PosixFolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "MountTable.h"
#include "TextFile.h"

namespace {

// devtmpfs is tmpfs inside, or ramfs where the kernel has no tmpfs.
constexpr std::uint32_t kTmpfsMagic = 0x01021994;
constexpr std::uint32_t kRamfsMagic = 0x858458f6;

// The magic numbers of the kernel's own file systems, devtmpfs aside.
constexpr std::array<std::uint32_t, 24> kPseudoMagics{
    0x9fa0,      // proc
    0x62656572,  // sysfs
    0x1cd1,      // devpts
    0x27e0eb,    // cgroup
    0x63677270,  // cgroup2
    0x64626720,  // debugfs
    0x74726163,  // tracefs
    0x73636673,  // securityfs
    0x6165676c,  // pstore
    0xcafe4a11,  // bpf
    0x62656570,  // configfs
    0x65735543,  // fusectl
    0x19800202,  // mqueue
    0x958458f6,  // hugetlbfs
    0x42494e4d,  // binfmt_misc
    0xde5e81e4,  // efivarfs
    0x6e736673,  // nsfs
    0xf97cff8c,  // selinuxfs
    0x43415d53,  // smackfs
    0x5a3c69f0,  // apparmorfs
    0x7655821,   // resctrl
    0x6c6f6f70,  // binderfs
    0x67596969,  // rpc_pipefs
    0x6e667364,  // nfsd
};

std::string MajorMinor(std::uint64_t device) {
    const auto number = static_cast<dev_t>(device);
    return std::to_string(major(number)) + ":" + std::to_string(minor(number));
}

std::string ErrorText(int error) {
    return std::system_category().message(error);
}

FolderReader::EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FolderReader::EntryKind::File;
    }
    return S_ISDIR(mode) ? FolderReader::EntryKind::Folder : FolderReader::EntryKind::Other;
}

class PosixListing : public FolderReader::Listing {
public:
    PosixListing(PosixFolderReader& reader, DIR* folder, const struct stat& status)
        : reader_(reader),
          folder_(folder),
          identity_{static_cast<std::uint64_t>(status.st_dev),
                    static_cast<std::uint64_t>(status.st_ino)} {}
    ~PosixListing() override { closedir(folder_); }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    FolderReader::FolderIdentity Identity() const override { return identity_; }

    bool OnPseudoFileSystem() const override {
        return reader_.OnPseudoFileSystem(dirfd(folder_), identity_.device);
    }

    bool Next(std::string_view& name, FolderReader::EntryKind& kind) override {
        cause_.clear();
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(folder_);
            if (entry == nullptr) {
                // A scratched disc or a dropped network mount ends a listing half way.
                if (errno != 0) {
                    cause_ = ErrorText(errno);
                }
                return false;
            }
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
                    // Links are walked as what they lead to.
                    kind = ReadStatus() ? KindOf(status_.st_mode) : Unseen(errno);
                    break;
                default:
                    kind = FolderReader::EntryKind::Other;  // FIFOs, sockets, devices
                    break;
            }
            return true;
        }
    }

    std::optional<FolderReader::FileFacts> Facts() override {
        if (!haveStatus_ && !ReadStatus()) {
            return std::nullopt;  // deleted since it was listed
        }
        return FolderReader::FileFacts{static_cast<std::uint64_t>(status_.st_size),
                                       static_cast<std::int64_t>(status_.st_mtim.tv_sec)};
    }

    std::string Cause() const override { return cause_; }

private:
    bool ReadStatus() {
        haveStatus_ = fstatat(dirfd(folder_), current_, &status_, 0) == 0;
        return haveStatus_;
    }

    // The entry just listed could not be looked at: the cause, naming a missing target.
    FolderReader::EntryKind Unseen(int error) {
        cause_ = ErrorText(error);
        if (error == ENOENT) {
            std::array<char, 4096> target{};
            const ssize_t length =
                readlinkat(dirfd(folder_), current_, target.data(), target.size() - 1);
            if (length < 0) {
                // Gone between the listing and the look: nothing was there to see.
                return FolderReader::EntryKind::Other;
            }
            cause_ = "the link's target " +
                     std::string(target.data(), static_cast<std::size_t>(length)) + " is missing";
        }
        return FolderReader::EntryKind::Unseen;
    }

    PosixFolderReader& reader_;
    DIR* folder_;
    FolderReader::FolderIdentity identity_;
    const char* current_ = nullptr;
    struct stat status_ {};
    bool haveStatus_ = false;
    std::string cause_;
};

}  // namespace

PosixFolderReader::PosixFolderReader(std::string mountInfo) : mountInfo_(std::move(mountInfo)) {}

std::unique_ptr<FolderReader::Listing> PosixFolderReader::Open(const std::string& folder,
                                                               std::error_code& error) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        error.assign(errno, std::system_category());
        return nullptr;
    }
    struct stat status {};
    DIR* listing = fstat(descriptor, &status) == 0 ? fdopendir(descriptor) : nullptr;
    if (listing == nullptr) {
        error.assign(errno, std::system_category());
        close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixListing>(*this, listing, status);
}

bool PosixFolderReader::OnPseudoFileSystem(int descriptor, std::uint64_t device) {
    struct statfs facts {};
    if (fstatfs(descriptor, &facts) != 0) {
        return false;
    }
    const auto magic = static_cast<std::uint32_t>(facts.f_type);
    if (magic == kTmpfsMagic || magic == kRamfsMagic) {
        return MountedType(device) == "devtmpfs";
    }
    return std::find(kPseudoMagics.begin(), kPseudoMagics.end(), magic) != kPseudoMagics.end();
}

std::string PosixFolderReader::MountedType(std::uint64_t device) {
    const std::string key = MajorMinor(device);
    const std::lock_guard<std::mutex> lock(typesLock_);
    if (const auto known = types_.find(key); known != types_.end()) {
        return known->second;
    }
    // A device seen for the first time may have been mounted since the table was read.
    std::string text;
    if (ReadTextFile(mountInfo_, text)) {
        const MountTable table = MountTable::Parse(text);
        for (const MountTable::Entry& entry : table.entries()) {
            types_.insert_or_assign(entry.majorMinor, entry.fsType);
        }
    }
    // One the table does not name is taken for an ordinary file system, and not looked up
    // again.
    return types_.emplace(key, "tmpfs").first->second;
}
