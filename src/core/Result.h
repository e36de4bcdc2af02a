#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can fail: errors cross layers as values, never as
// exceptions, and carry the text the user is shown.
class Result {
public:
    static Result Ok() { return Result(); }
    static Result Failure(std::string message) { return Result(std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    Result() = default;
    explicit Result(std::string message) : ok_(false), error_(std::move(message)) {}

    bool ok_ = true;
    std::string error_;
};
