#include "platform/system_info.h"

#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace platform {

CalendarTime CalendarAt(std::int64_t epochSeconds, bool local) {
    CalendarTime result;
    if (epochSeconds < std::numeric_limits<std::time_t>::min() ||
        epochSeconds > std::numeric_limits<std::time_t>::max()) {
        return result;
    }
    const std::time_t seconds = static_cast<std::time_t>(epochSeconds);
    std::tm parts{};
    if ((local ? localtime_r(&seconds, &parts) : gmtime_r(&seconds, &parts)) == nullptr) {
        return result;
    }
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.weekday = parts.tm_wday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    return result;
}

CalendarTime GetLocalTime() {
    return HasHost() ? CurrentHost().LocalTime() : CalendarTime{};
}

std::string UserConfigFolder() {
    // A relative XDG_CONFIG_HOME is to be ignored: it would follow the working directory.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') return configHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
    // Started without a HOME (from a service, say): the password database still knows it.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::string(found->pw_dir) + "/.config";
    }
    return {};
}

std::optional<std::uint64_t> FreeDiskBytes(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::filesystem::path place(path);
    std::error_code error;
    // The folder a settings file is about to be written to may not exist yet.
    while (!std::filesystem::exists(place, error) && place.has_relative_path()) {
        place = place.parent_path();
    }
    struct statvfs info {};
    if (statvfs(place.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::optional<std::uint64_t> AvailableMemoryBytes() {
    // The kernel's estimate counts the caches it would give up; free memory alone does not.
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kilobytes = 0;
        if (fields >> name >> kilobytes && name == "MemAvailable:") return kilobytes * 1024;
    }
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.freeram) * info.mem_unit;
}

}  // namespace platform
