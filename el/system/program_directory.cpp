#include "el/system/program_directory.h"

#include <array>
#include <cstring>
#include <string>

#include "platform/executable_path.h"

namespace elSystem {

const char* ProgramDirectory() {
    PathBuffer.fill('\0');
    const std::string executable = platform::ExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (slash != std::string::npos && slash + 1 < PathBuffer.size()) {
        std::memcpy(PathBuffer.data(), executable.data(), slash + 1);
    }
    return PathBuffer.data();
}

}  // namespace elSystem
