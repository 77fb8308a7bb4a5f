#pragma once
// Text inside the program is UTF-8 (messages, status texts, paths on their way through);
// Windows takes and gives UTF-16. Ill-formed input becomes U+FFFD, never an exception.
#include <string>
#include <string_view>

namespace platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace platform
