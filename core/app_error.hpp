#pragma once
// The program's own error: a message meant for the error box. Handlers throw it; the one guard
// around every window message catches it, so it never crosses into the system's code.
#include <stdexcept>
#include <string>

namespace core {

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// The error box ends a message with a full stop when its last character sorts after '.',
// so "...'" or "...)" stay as they are while a word or a number gets one.
std::string WithFullStop(std::string message);

}  // namespace core
