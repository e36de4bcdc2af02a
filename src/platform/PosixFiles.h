#pragma once

#include "services.h"

// Files on a POSIX system. Replacing a file writes a temporary file in the same folder,
// flushes it with fsync and renames it over the target, so a crash or a full disk never
// leaves a half-written file in its place.
class PosixFiles : public Files {
public:
    Result OpenForReading(const std::string& path, OpenedFile& opened) override;
    std::optional<FileState> StateOf(const std::string& path) override;
    Result ReplaceFile(const std::string& path,
                       const std::function<Result(ByteSink&)>& write) override;
    // renameat2 with RENAME_NOREPLACE; where the file system refuses the flag, a hard link
    // under the new name, then the old name removed.
    Result RenameWithoutReplacing(const std::string& from, const std::string& to) override;
};
