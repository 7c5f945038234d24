// The directory of the running executable, the base of every loader's path.
#pragma once

#include <array>
#include <string>

namespace elSystem {

inline constexpr int kPathBufferSize = 256;

// The buffer that ProgramDirectory and SettingsDirectory return: each call overwrites it.
extern std::array<char, kPathBufferSize>& PathBuffer;

// The program directory with a trailing '/', in a buffer the next call overwrites. Empty when
// the directory does not fit the buffer: loaders then look only at the built-in resources.
const char* ProgramDirectory();
// The same text, leaving the buffer alone.
std::string ProgramFolder();

}  // namespace elSystem
