#pragma once
// The program's own path as the shell should run it, UTF-8.
#include <string>

namespace platform {

// The short form of the executable's path when the volume has one, else the full path.
// Throws AppError when the system cannot name the executable.
std::string ShellExecutablePath();

}  // namespace platform
