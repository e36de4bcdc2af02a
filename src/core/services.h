#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"

// What the core asks of the operating system. The implementations live in platform/ and
// gui/, one per system; the composition root in app/ builds them.

// Reading whole files and replacing them safely.
class Files {
public:
    struct OpenedFile {
        std::unique_ptr<ByteSource> source;
        std::uint64_t size = 0;
    };

    virtual ~Files() = default;
    // The error text names the file and the cause.
    virtual Result OpenForReading(const std::string& path, OpenedFile& opened) = 0;
    // Writes a new file beside `path` through `write`, flushes it to disk and only then puts
    // it in place of `path`. On any failure `path` is left as it was.
    virtual Result ReplaceFile(const std::string& path,
                               const std::function<Result(ByteSink&)>& write) = 0;
};

// Everything the core says to the user or asks of them.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A message box with an OK button and the application's name as caption.
    virtual void ShowMessage(const std::string& text) = 0;
    // The same with the warning icon, for errors.
    virtual void ShowError(const std::string& text) = 0;
};
