#include "el/system/program_directory.h"

#include <array>
#include <cstring>
#include <string>

#include "platform/executable_path.h"

namespace elSystem {

std::string ProgramFolder() {
    const std::string executable = platform::ExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (slash == std::string::npos || slash + 1 >= PathBuffer.size()) return {};
    return executable.substr(0, slash + 1);
}

const char* ProgramDirectory() {
    const std::string folder = ProgramFolder();
    PathBuffer.fill('\0');
    std::memcpy(PathBuffer.data(), folder.data(), folder.size());
    return PathBuffer.data();
}

}  // namespace elSystem
