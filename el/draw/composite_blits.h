// Animated pictures made of row copies: each source row is placed or chosen by a formula so the
// picture waves, scrolls, tiles, breaks into lines, jitters or rolls. The moving ones keep one
// phase per operation (shared by every picture drawn with it) and advance it by FrameDelta at
// the end of each call, so the motion runs at the same speed at any frame rate.
//
// Every row goes through BlitKeyed (BlitOpaque in RollBlit), so rows are clipped to ClipRect and
// a lost surface is restored. An object without a surface, or a source rectangle with an edge
// outside the object, draws nothing and uses no rand(); the phases still move, as they measure
// time rather than drawing.
#pragma once

#include <cstdint>

namespace elDraw {

extern float& WavePhase;         // degrees, kept in -360..360
extern std::int32_t& WaveSign;   // 1 or -1: the swing of the next row in WaveBlit's alternate mode
extern float& TileOffsetX;       // pixels, kept in -width..0
extern float& TileOffsetY;       // pixels, kept in -height..0
extern float& WaveScrollPhase;   // degrees
extern float& WaveScrollOffset;  // rows, kept in 0..height
extern float& BandPhase;         // degrees
extern float& BandOffset;        // rows, kept in 0..height
extern float& RollPhase;         // rows

// Each source row r at (x + wave offset, y + r - srcTop). With alternate not 0 every row's
// offset takes WaveSign, which flips after each row and keeps its value between calls.
void WaveBlit(std::int32_t x, std::int32_t y, std::int32_t amplitude, std::int32_t divisor,
              float speed, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
              std::int32_t srcRight, std::int32_t srcBottom, std::int32_t alternate);
// The screen covered with the picture as tiles, moving by speedX and speedY pixels a second.
void TileScrollBlit(float speedX, float speedY, std::int32_t object, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// A waving picture whose rows also scroll up through it, wrapping; row r lands on y + r.
void WaveScrollBlit(std::int32_t x, std::int32_t y, std::int32_t amplitude, std::int32_t divisor,
                    float waveSpeed, float scrollSpeed, std::int32_t object, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// Screen rows top..bottom - 1 filled with the picture repeated across, waving and scrolling.
void WaveBandBlit(std::int32_t top, std::int32_t bottom, std::int32_t amplitude,
                  std::int32_t divisor, float waveSpeed, float scrollSpeed, std::int32_t object,
                  std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                  std::int32_t srcBottom);
// Every step-th source row drawn step rows high; a step below 1 draws nothing.
void RowRepeatBlit(std::int32_t x, std::int32_t y, std::int32_t step, std::int32_t object,
                   std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                   std::int32_t srcBottom);
// Rows srcTop + step, + 2 step, ... in place; a negative step picks gaps of 1..-step rows with
// one rand() each; step 0 draws nothing.
void ScanlineBlit(std::int32_t x, std::int32_t y, std::int32_t step, std::int32_t object,
                  std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                  std::int32_t srcBottom);
// Each row moved sideways by rand() % (2 amount) - amount, one rand() per row; amount <= 0 is
// the plain picture.
void JitterBlit(std::int32_t x, std::int32_t y, std::int32_t amount, std::int32_t object,
                std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                std::int32_t srcBottom);
// The picture folded about a turning cylinder, drawn opaque. Its rows are the object's rows
// 0..H - 1 from the top, H = srcBottom - srcTop; fewer than two rows draw nothing.
void RollBlit(std::int32_t x, std::int32_t y, std::int32_t direction, float speed,
              std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom);

}  // namespace elDraw
