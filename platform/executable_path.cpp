#include "platform/executable_path.h"

#include <unistd.h>

#include <array>
#include <utility>

namespace platform {
namespace {

std::string& Override() {
    static std::string path;
    return path;
}

}  // namespace

void OverrideExecutablePath(std::string path) {
    Override() = std::move(path);
}

std::string ExecutablePath() {
    if (!Override().empty()) return Override();
    std::array<char, 4096> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace platform
