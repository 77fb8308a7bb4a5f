#include "core/app_error.hpp"

namespace core {

std::string WithFullStop(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        message.push_back('.');
    return message;
}

}  // namespace core
