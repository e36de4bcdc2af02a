#pragma once

#include "services.h"

// Files on Windows. Replacing a file writes a temporary file in the same folder, flushes it
// with FlushFileBuffers and renames it over the target with MoveFileExW, so a crash or a
// full disk never leaves a half-written file in its place. A file's identity is its volume
// serial number and file index.
class WinFiles : public Files {
public:
    Result OpenForReading(const std::string& path, OpenedFile& opened) override;
    std::optional<FileState> StateOf(const std::string& path) override;
    Result ReplaceFile(const std::string& path,
                       const std::function<Result(ByteSink&)>& write) override;
    // MoveFileExW without MOVEFILE_REPLACE_EXISTING.
    Result RenameWithoutReplacing(const std::string& from, const std::string& to) override;
};
