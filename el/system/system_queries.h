// The date and time by the machine's clock, free disk space and free memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace elSystem {

// A weekday name ("日" .. "土", three bytes of UTF-8) and its terminator.
inline constexpr std::size_t kWeekdayNameSize = 4;

// The weekday's name, 0 Sunday .. 6 Saturday; empty for any other number.
std::string_view WeekdayName(int weekday);

// Today's local date; null outputs are skipped. The weekday name goes into a buffer of
// weekdaySize bytes, or as an empty text when it does not fit whole.
void GetDate(std::int32_t* year, std::int32_t* month, std::int32_t* day, char* weekday,
             std::size_t weekdaySize);
// For a character array, whose size the compiler checks.
template <std::size_t N>
void GetDate(std::int32_t* year, std::int32_t* month, std::int32_t* day, char (&weekday)[N]) {
    static_assert(N >= kWeekdayNameSize, "a weekday name takes 4 bytes with its terminator");
    GetDate(year, month, day, weekday, N);
}
// The local time of day; null outputs are skipped.
void GetTime(std::int32_t* hour, std::int32_t* minute, std::int32_t* second);

// Free bytes for the user on the file system of the settings folder: a path has no drive
// letter here, so every letter names that one. 0 for a character that is not a letter and when
// the system cannot say. At most 2147483647, the largest count a caller can hold.
std::int32_t GetDiskFree(char driveLetter);
// Physical memory available to programs, in bytes, at most 2147483647; 0 when unknown.
std::int32_t GetFreeMemory();

}  // namespace elSystem
