#include "el/system/program_directory.h"

#include <array>
#include <cstring>
#include <string>

#include "platform/executable_path.h"

namespace elSystem {
namespace {

std::array<char, kPathBufferSize> pathBuffer{};

}  // namespace

const char* ProgramDirectory() {
    pathBuffer.fill('\0');
    const std::string executable = platform::ExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (slash != std::string::npos && slash + 1 < pathBuffer.size()) {
        std::memcpy(pathBuffer.data(), executable.data(), slash + 1);
    }
    return pathBuffer.data();
}

}  // namespace elSystem
