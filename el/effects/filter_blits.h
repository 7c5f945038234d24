// A rectangle of an object drawn onto the back surface while looking at more than one pixel per
// output pixel: the outline softened into the background, a blur, the background displaced by
// the object's brightness, and rays of light. Source pixels of raw 0 are left out. Each returns
// 1 when done (also when clipped away) and 0 when refused (no such object, or a source
// rectangle not inside it) or when a surface could not be locked.
#pragma once

#include <cstdint>

namespace elDraw {

// The cursor of GlowBlit's noise into RandomTable, kept from call to call.
extern std::int32_t& GlowCursor;

// Opaque pixels next to transparent ones become the average of themselves and the background
// under those neighbours.
int SoftEdgeBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                 std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// Each opaque pixel the average of the size x size source window from it (held inside the
// drawn rectangle). A size below 1 counts as 1, above the drawn width or height as that.
int BlurBlit(std::int32_t x, std::int32_t y, std::int32_t size, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom);
// The background under bright source pixels pulled up from below, more with more strength
// (0.0 to 1.0; held to that range, NaN as 0.0).
int DisplaceBlit(std::int32_t x, std::int32_t y, float strength, std::int32_t object,
                 std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                 std::int32_t srcBottom);
// Rays of the source's light, each channel shifted right by its shift (0..31, held to it),
// up and down in the directions whose bits are set (0x40 up, 0x20 up-left, 0x80 up-right, 0x02
// down, 0x01 down-left, 0x04 down-right), within ClipRect; copy not 0 also draws the source.
int GlowBlit(std::int32_t x, std::int32_t y, std::int32_t shiftR, std::int32_t shiftG,
             std::int32_t shiftB, std::int32_t directions, std::int32_t copy, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom);

}  // namespace elDraw
