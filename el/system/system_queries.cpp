#include "el/system/system_queries.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "el/system/settings_files.h"
#include "platform/system_info.h"

namespace elSystem {
namespace {

constexpr std::array<std::string_view, 7> kWeekdays = {"日", "月", "火", "水", "木", "金", "土"};

std::int32_t Saturated(std::optional<std::uint64_t> bytes) {
    if (!bytes) return 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(*bytes, kMax));
}

}  // namespace

std::string_view WeekdayName(int weekday) {
    if (weekday < 0 || weekday >= static_cast<int>(kWeekdays.size())) return {};
    return kWeekdays[static_cast<std::size_t>(weekday)];
}

void GetDate(std::int32_t* year, std::int32_t* month, std::int32_t* day, char* weekday,
             std::size_t weekdaySize) {
    const platform::CalendarTime now = platform::GetLocalTime();
    if (year != nullptr) *year = now.year;
    if (month != nullptr) *month = now.month;
    if (day != nullptr) *day = now.day;
    if (weekday == nullptr || weekdaySize == 0) return;
    const std::string_view name = WeekdayName(now.weekday);
    const std::size_t length = name.size() < weekdaySize ? name.size() : 0;
    if (length > 0) std::memcpy(weekday, name.data(), length);
    weekday[length] = '\0';
}

void GetTime(std::int32_t* hour, std::int32_t* minute, std::int32_t* second) {
    const platform::CalendarTime now = platform::GetLocalTime();
    if (hour != nullptr) *hour = now.hour;
    if (minute != nullptr) *minute = now.minute;
    if (second != nullptr) *second = now.second;
}

std::int32_t GetDiskFree(char driveLetter) {
    const bool letter =
        (driveLetter >= 'A' && driveLetter <= 'Z') || (driveLetter >= 'a' && driveLetter <= 'z');
    if (!letter) return 0;
    return Saturated(platform::FreeDiskBytes(SettingsFolder()));
}

std::int32_t GetFreeMemory() {
    return Saturated(platform::AvailableMemoryBytes());
}

}  // namespace elSystem
