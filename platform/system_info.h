// The machine's answers to the library's system queries: the calendar, the user's folders,
// free disk space and free memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/host.h"

namespace platform {

// The calendar at a second of the epoch: in the machine's time zone when local, else in UTC.
// Seconds the C library cannot place give the epoch's first second.
CalendarTime CalendarAt(std::int64_t epochSeconds, bool local);
// The local date and time from the host's clock (the epoch's first second without a host).
CalendarTime GetLocalTime();

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config. Empty when neither can be found.
std::string UserConfigFolder();

// Bytes an ordinary user may still write on the file system that holds path (or, for a path
// that does not exist yet, its nearest existing parent).
std::optional<std::uint64_t> FreeDiskBytes(const std::string& path);
// Physical memory available to programs without swapping, in bytes.
std::optional<std::uint64_t> AvailableMemoryBytes();

}  // namespace platform
