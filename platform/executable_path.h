// Where the running executable lives, as the operating system reports it.
#pragma once

#include <string>

namespace platform {

// The full path of the running executable, or empty when it cannot be read.
std::string ExecutablePath();

}  // namespace platform
