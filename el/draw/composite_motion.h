// The arithmetic behind the composite blits' motion: where a waving or rolling row goes, worked
// in x87 extended precision as the effects always were, and the steps that advance each kept
// phase by FrameDelta.
#pragma once

#include <cstdint>

namespace elDraw {

// trunc(phase) in degrees, limited so that a phase set from outside cannot overflow a sum.
std::int64_t WholeDegrees(float phase);
// trunc(amplitude cos(k degrees)), k = (divisor 0 ? i : i / divisor) + degrees.
std::int64_t WaveOffset(std::int64_t i, std::int32_t amplitude, std::int32_t divisor,
                        std::int64_t degrees);
// The last screen row (from the top of the roll) that source row i of a roll of `rows` rows
// reaches: trunc(cos((i + phase) 2π / (rows - 1)) (rows / 2) + rows / 2). rows >= 2.
std::int64_t RollRowBottom(std::int64_t i, float phase, std::int64_t rows);

// The steps. Each takes the single wrap the effects always made; a step that would carry the
// value further (a long frame, a huge speed, a negative speed running on) is brought back by
// whole periods instead, which leave the picture as it was. A step that is not a number moves
// nothing, and a value that is not one starts over at 0.

// Degrees, plus FrameDelta x speed: one turn less at 360; below 0 it runs on down to -360.
void TurnAngle(float& phase, float speed);
// Rows 0..rows, less FrameDelta x speed; stays where it is for rows < 1.
void ScrollRows(float& offset, float speed, std::int64_t rows);
// Pixels -size..0, plus FrameDelta x speed; stays where it is for size < 1.
void SlideTile(float& offset, float speed, std::int64_t size);
// Rows 0..rows, moved against the speed for direction 0, with it otherwise; the roll's period
// is rows - 1.
void TurnRoll(float& phase, float speed, std::int32_t direction, std::int64_t rows);

// A kept value as the rows use it. A call with another size than the last (or an assignment)
// may find it outside its range; whole periods bring it back, so no row is read from outside
// the rectangle and no tile leaves a gap.
std::int64_t RowShift(float offset, std::int64_t rows);   // 0..rows - 1
std::int64_t TileStart(float offset, std::int64_t size);  // -size..0

}  // namespace elDraw
