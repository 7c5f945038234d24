// The settings files: small text files of one number each. They live in the user's
// configuration folder under the program's name (~/.config/greeting/), where the user may
// write whatever the program's own folder allows, unless a data-root file there names another
// root for them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "el/system/program_directory.h"

namespace elSystem {

inline constexpr std::size_t kDataRootSize = 256;  // 255 characters and the terminator
inline constexpr std::size_t kProgramNameSize = 64;

// Empty, or the folder that holds the settings folders of programs.
extern std::array<char, kDataRootSize>& DataRoot;
// The last component of the program directory, with its '/', as SettingsDirectory last saw it.
extern std::array<char, kPathBufferSize>& LastDirectoryName;
// The name of the program's configuration folder; empty: the executable's file name.
extern std::array<char, kProgramNameSize>& ProgramName;

// Names the program's configuration folder. A name that is empty, too long or not a single
// file name ("..", "a/b") is refused and the executable's file name stays in use.
void SetProgramName(const char* name);
// The configuration folder under the program's name with a trailing '/', or empty when the
// user has no configuration folder.
std::string ConfigurationDirectory();

// The folder of the settings files with a trailing '/', in the path buffer that
// ProgramDirectory also fills: with a data root, the data root and the last component of the
// program directory (/save/Show/ for the data root /save and a program in /games/Show/);
// otherwise the configuration folder. Empty when it does not fit the buffer.
const char* SettingsDirectory();
// The same folder as a string, leaving the path buffer alone.
std::string SettingsFolder();
// Takes the data root from the first line of the file `fileName` in the configuration folder.
// A missing or empty file, or a line longer than 255 characters, leaves no data root.
void ReadDataRoot(const char* fileName);
// Writes the value in decimal, without a line end; the folder is made when it is missing.
// Nothing happens when the file cannot be written: the previous file stays as it was.
void WriteIntFile(const char* name, std::int32_t value);
// The number at the start of the file; 0 when the file is missing or holds no number that
// fits 32 bits.
std::int32_t ReadIntFile(const char* name);

}  // namespace elSystem
