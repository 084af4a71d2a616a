#pragma once
#include <stdexcept>
#include <string>

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
