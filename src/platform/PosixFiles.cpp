#include "PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include "browse/RenameErrorText.h"
#include "catalog/FileErrorText.h"
#include "catalog/PathParts.h"

namespace {

Result ErrnoFailure(int error, const std::string& path) {
    const std::error_code cause(error, std::generic_category());
    return Result::Failure(FileErrorText(cause, path), cause);
}

class FdSource : public ByteSource {
public:
    FdSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~FdSource() override { ::close(fd_); }

    Result Read(char* buffer, std::size_t size, std::size_t& count) override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) {
                count = static_cast<std::size_t>(got);
                return Result::Ok();
            }
            if (errno != EINTR) {
                count = 0;
                return ErrnoFailure(errno, path_);
            }
        }
    }

private:
    int fd_;
    std::string path_;
};

class FdSink : public ByteSink {
public:
    FdSink(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    Result Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t put = ::write(fd_, data, size);
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return ErrnoFailure(errno, path_);
            }
            data += put;
            size -= static_cast<std::size_t>(put);
        }
        return Result::Ok();
    }

private:
    int fd_;
    std::string path_;
};

std::string FolderOf(const std::string& path) {
    const std::string_view folder = FolderOfPath(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

Files::FileState StateOfStatus(const struct stat& info) {
    Files::FileState state;
    state.size = static_cast<std::uint64_t>(info.st_size);
    state.modifiedNanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    state.device = static_cast<std::uint64_t>(info.st_dev);
    state.inode = static_cast<std::uint64_t>(info.st_ino);
    return state;
}

// The rename is durable only once the folder's entry is on disk too.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

Result PosixFiles::OpenForReading(const std::string& path, OpenedFile& opened) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return ErrnoFailure(errno, path);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        return ErrnoFailure(error, path);
    }
    opened.size = static_cast<std::uint64_t>(info.st_size);
    opened.state = StateOfStatus(info);
    opened.source = std::make_unique<FdSource>(fd, path);
    return Result::Ok();
}

std::optional<Files::FileState> PosixFiles::StateOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return StateOfStatus(info);
}

// Saving through a link replaces the file it points to, not the link.
static std::string ResolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            ::free(real);
            return resolved;
        }
    }
    return path;
}

Result PosixFiles::ReplaceFile(const std::string& requestedPath,
                               const std::function<Result(ByteSink&)>& write) {
    const std::string path = ResolveLink(requestedPath);
    const std::string folder = FolderOf(path);
    std::string temporary = folder + "/.plumet-save-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return ErrnoFailure(errno, requestedPath);
    }
    // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    FdSink sink(fd, requestedPath);
    Result result = write(sink);
    if (result && ::fsync(fd) != 0) {
        result = ErrnoFailure(errno, requestedPath);
    }
    if (::close(fd) != 0 && result) {
        result = ErrnoFailure(errno, requestedPath);
    }
    if (result && ::rename(temporary.c_str(), path.c_str()) != 0) {
        result = ErrnoFailure(errno, requestedPath);
    }
    if (!result) {
        ::unlink(temporary.c_str());
        return result;
    }
    SyncFolder(folder);
    return Result::Ok();
}

Result PosixFiles::RenameWithoutReplacing(const std::string& from, const std::string& to) {
    const auto failure = [&](int error) {
        return Result::Failure(
            RenameErrorText(std::error_code(error, std::generic_category()), from, to));
    };
    // A NUL inside a name would cut the path the system sees.
    if (from.find('\0') != std::string::npos || to.find('\0') != std::string::npos) {
        return failure(EINVAL);
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return Result::Ok();
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return failure(errno);
    }
    // link refuses an existing target, so this never replaces a file either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return failure(errno);
    }
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return failure(error);
    }
    return Result::Ok();
}
