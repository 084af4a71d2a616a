#pragma once
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>

// A failure whose message a user reads as it stands: callers pass it on and never prefix it.
class KError : public std::runtime_error {
public:
    explicit KError(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// The user backed out of an interactive editor; the run ends silently.
class UserCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "Cancelled"; }
};

namespace Errors {
// What a failed system call ran into, as the end of a sentence: "the disk is full". Where
// `writing` the failure happened while changing a folder, so a refusal means it is read-only.
std::string reason(std::error_code code, bool writing = false);
// The one sentence a user reads for any failure: a KError's own message, a system error
// turned into words ("The operation couldn't be completed: the disk is full"), else the
// error's description.
std::string userMessage(const std::exception_ptr& failure);
bool isCancel(const std::exception_ptr& failure);
}
