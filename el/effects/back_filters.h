// Filters that change a rectangle of the back surface in place: rising smoke, blur, 2x and 4x
// enlargement, a pixelated disc, grain and inversion. Rectangles are given as x, y, width,
// height; the parts outside the back surface are left out and a width or height of 0 or less
// draws nothing. Each returns 1 when done and 0 when a surface could not be locked.
#pragma once

#include <cstdint>

namespace elDraw {

// The noise counters and cursors into RandomTable, one set per filter, kept from call to call.
extern std::int32_t& RiseCounter;
extern std::int32_t& RiseCursor;
extern std::int32_t& RiseFadeCounter;
extern std::int32_t& RiseFadeCursor;
extern std::int32_t& NoiseCursor;
extern std::int32_t& NoiseRGBCursor;

// The interior moves up one row; where the noise says so, the moved pixel is the average of the
// four around its old place. Reads the row below the rectangle, so the rectangle ends one row
// above the surface's last.
int RiseRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// As RiseRect; averaged pixels lose 1 in each channel whose flag is not 0.
int RiseRectFade(std::int32_t fadeR, std::int32_t fadeG, std::int32_t fadeB, std::int32_t x,
                 std::int32_t y, std::int32_t w, std::int32_t h);
// The interior replaced, in scan order and in place, by the average of its four neighbours.
int BlurRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
int BlurRectFade(std::int32_t fadeR, std::int32_t fadeG, std::int32_t fadeB, std::int32_t x,
                 std::int32_t y, std::int32_t w, std::int32_t h);
// The rectangle enlarged 2 (4) times about its top-left corner through object 0; dots not 0
// writes only one pixel (a 2 x 2 square) per block and leaves object 0's others showing. The
// rectangle is cut to what fits into object 0 enlarged; 0 when object 0 is missing.
int Zoom2Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t dots);
int Zoom4Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t dots);
// The disc pixelated in blocks coloured by their top-left pixel; a block of 0 or less draws
// nothing.
int MosaicDisc(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t block);
// Grain of 0, 1 or 2 shifted left by shift (0..31; a negative shift counts as 0) added to every
// channel (only the flagged ones), each capped at 31.
int NoiseRect(std::int32_t shift, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
int NoiseRectRGB(std::int32_t addR, std::int32_t addG, std::int32_t addB, std::int32_t shift,
                 std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// Every channel inverted inside left, top, right, bottom (right and bottom exclusive) through a
// device context. 0 when the back surface gives none.
int InvertRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

}  // namespace elDraw
