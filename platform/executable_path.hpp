#pragma once
// The program's own path, UTF-8.
#include <string>

namespace platform {

// The running executable's full path, whatever characters its folders hold; empty when the system
// cannot name it.
std::string ExecutablePath();

// The short form of the executable's path when the volume has one, else the full path: how the
// shell is told to run the program. Throws AppError when the system cannot name the executable.
std::string ShellExecutablePath();

}  // namespace platform
