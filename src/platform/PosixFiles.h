#pragma once

#include "services.h"

// Files on a POSIX system. Replacing a file writes a temporary file in the same folder,
// flushes it with fsync and renames it over the target, so a crash or a full disk never
// leaves a half-written file in its place.
class PosixFiles : public Files {
public:
    Result OpenForReading(const std::string& path, OpenedFile& opened) override;
    Result ReplaceFile(const std::string& path,
                       const std::function<Result(ByteSink&)>& write) override;
};
