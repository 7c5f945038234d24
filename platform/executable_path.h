// Where the running executable lives, as the operating system reports it.
#pragma once

#include <string>

namespace platform {

// The full path of the running executable, or empty when it cannot be read.
std::string ExecutablePath();
// Makes the program believe it runs from `path` (tests of where a program keeps its files);
// an empty path brings back the real one.
void OverrideExecutablePath(std::string path);

}  // namespace platform
