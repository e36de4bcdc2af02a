#include "StdStreams.h"

#include <cerrno>
#include <cstring>
#include <string>

Result StdStreams::Input::Read(char* buffer, std::size_t size, std::size_t& count) {
    count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) {
        return Result::Failure(std::string("cannot read standard input: ") + std::strerror(errno));
    }
    return Result::Ok();
}

Result StdStreams::Output::Write(const char* data, std::size_t size) {
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        return Result::Failure(std::string("cannot write the output: ") + std::strerror(errno));
    }
    return Result::Ok();
}
