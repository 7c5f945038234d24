// Light laid over the back surface: each colour component raised by the source's and
// saturated at full intensity. Black source pixels leave the picture alone.
#pragma once

#include <cstdint>

namespace elDraw {

// 1 when done (also when clipped away), 0 when a surface could not be locked.
int AddBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
            std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// The same at an intensity from 0.0 (nothing added) to 1.0 (AddBlit).
int AddBlitLevel(std::int32_t x, std::int32_t y, float level, std::int32_t object,
                 std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                 std::int32_t srcBottom);

}  // namespace elDraw
