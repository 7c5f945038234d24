// Confinement of the cursor to the picture.
#pragma once

#include <cstdint>

namespace elDraw {

extern std::int32_t& CursorConfined;

int ClipCursorTo(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
int ConfineCursor();
int ReleaseCursor();
int IsCursorConfined();

}  // namespace elDraw
