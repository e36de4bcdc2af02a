#pragma once

#include <string>
#include <system_error>
#include <utility>

// The outcome of an operation that can fail: errors cross layers as values, never as
// exceptions, and carry the text the user is shown.
class Result {
public:
    static Result Ok() { return Result(); }
    static Result Failure(std::string message) { return Result(std::move(message)); }
    // With the system's cause, for callers that word the message their own way.
    static Result Failure(std::string message, std::error_code cause) {
        Result failure(std::move(message));
        failure.cause_ = cause;
        return failure;
    }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }
    // Empty when the failure did not come from the system.
    std::error_code cause() const { return cause_; }

private:
    Result() = default;
    explicit Result(std::string message) : ok_(false), error_(std::move(message)) {}

    bool ok_ = true;
    std::string error_;
    std::error_code cause_;
};
