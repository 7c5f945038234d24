// A page's picture dimmed for text and shapes to stand on. Blending the whole screen every pass
// would cost more than everything else on the page, so the dimmed picture is made on the page's
// first pass and copied from then on.
#pragma once

#include <cstdint>

namespace gallery {

// The picture at (0, 0), each of `halvings` halving its brightness.
void DimBackdrop(std::int32_t picture, int halvings);

// The pages' common grounds: the beach and the race field, whole.
void DrawBeach();
void DrawRaceField();

// Where the effect pages put the 320 x 320 monster: the middle of the screen, a little high.
inline constexpr int kMonsterX = 160, kMonsterY = 100;

}  // namespace gallery
