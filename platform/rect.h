// A rectangle as the window system and the display take it: right and bottom exclusive.
#pragma once

#include <cstdint>

namespace platform {

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

}  // namespace platform
