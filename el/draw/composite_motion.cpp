#include "el/draw/composite_motion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "el/system/frame_timing.h"

namespace elDraw {
namespace {

using std::int32_t;
using std::int64_t;

// π as the double a program's source holds, widened: angles and cosines are worked in x87
// extended precision (long double) from it, as the effects always were. The readings part in
// the last bit: with amplitude 10, 300 degrees gives 4 here (the double π lies just below π, so
// the cosine just below 0.5) where plain double gives 5, and 420 degrees gives 5 here, 4 there.
constexpr long double kPi = std::numbers::pi;

// A phase further out than this is not one a step could have made; it only bounds conversions.
constexpr int64_t kPhaseLimit = int64_t{1} << 30;

// Truncation toward zero of a value limited to lo..hi first, so the conversion is always defined
// (not a number counts as 0).
int64_t Trunc(long double v, int64_t lo, int64_t hi) {
    if (std::isnan(v)) return 0;
    return static_cast<int64_t>(
        std::clamp(v, static_cast<long double>(lo), static_cast<long double>(hi)));
}

// k degrees in radians, from the double π in extended precision.
long double Radians(int64_t k) {
    return static_cast<long double>(k) * 2 * kPi / 360;
}

// cos(k degrees) for the k a picture's rows usually meet, worked once: an extended-precision
// cosine costs several row copies, and the angle is not reduced by whole turns first, as that
// would change the last bit the truncation can see.
constexpr int64_t kTabledDegrees = 2048;
long double CosDegrees(int64_t k) {
    static const auto table = [] {
        std::array<long double, 2 * kTabledDegrees + 1> t{};
        for (int64_t d = -kTabledDegrees; d <= kTabledDegrees; ++d) {
            t[static_cast<std::size_t>(d + kTabledDegrees)] = std::cos(Radians(d));
        }
        return t;
    }();
    if (k < -kTabledDegrees || k > kTabledDegrees) return std::cos(Radians(k));
    return table[static_cast<std::size_t>(k + kTabledDegrees)];
}

// FrameDelta x speed, exact: the product of two floats fits a double.
double Step(float speed) {
    return static_cast<double>(elSystem::FrameDelta) * speed;
}
// A moved value as a float for the usual wrap; a value beyond float range is then outside every
// kept range and takes the fallback below, which works from the double.
float Narrow(double v) {
    return static_cast<float>(std::clamp(v, -1e30, 1e30));
}
// v brought into lo..lo + period by whole periods, which leave the picture as it was.
float ByPeriods(double v, double lo, double period) {
    double r = std::fmod(v, period);
    if (r < lo) r += period;
    if (r > lo + period) r -= period;
    // Rounding to a float may reach the far end, which is the near end a period on.
    const float narrowed = static_cast<float>(r);
    return narrowed >= lo + period ? static_cast<float>(lo) : narrowed;
}

// A step that is not a number moves nothing; a value that is not one itself starts over at 0.
bool Finite(float& value, double moved) {
    if (std::isfinite(moved)) return true;
    if (!std::isfinite(value)) value = 0;
    return false;
}

}  // namespace

int64_t WholeDegrees(float phase) {
    return Trunc(phase, -kPhaseLimit, kPhaseLimit);
}

int64_t WaveOffset(int64_t i, int32_t amplitude, int32_t divisor, int64_t degrees) {
    const long double v = amplitude * CosDegrees((divisor == 0 ? i : i / divisor) + degrees);
    // |v| <= 2^31. Truncating through the nearest double avoids the x87 conversion's costly
    // switch of rounding mode; where that double rounded across a whole number, step back.
    auto n = static_cast<int64_t>(static_cast<double>(v));
    if (v >= 0 && n > v) --n;
    if (v < 0 && n < v) ++n;
    return n;
}

// The double cosine, many times faster than the extended one, is within (|turn| + 2) 2^-53 of
// it, so it decides every row whose sum lies further than the rounding of both from a whole
// number; the few others take the extended path.
int64_t RollRowBottom(int64_t i, float phase, int64_t rows) {
    const int64_t half = rows / 2;
    const long double turn = (i + static_cast<long double>(std::isfinite(phase) ? phase : 0)) * 2 *
                             kPi / static_cast<long double>(rows - 1);
    const double t = static_cast<double>(turn), h = static_cast<double>(half);
    const double fast = std::cos(t) * h + h;
    const double margin = ((std::fabs(t) + 2) * h + 4 * (h + 1)) * 0x1p-52;
    if (std::fabs(fast - std::nearbyint(fast)) > margin) return Trunc(fast, -1, 2 * half);
    return Trunc(std::cos(turn) * half + half, -1, 2 * half);
}

void TurnAngle(float& phase, float speed) {
    const double moved = phase + Step(speed);
    if (!Finite(phase, moved)) return;
    float next = Narrow(moved);
    if (next >= 360) next -= 360;
    if (!(next > -360 && next < 360)) next = ByPeriods(moved, moved < 0 ? -360 : 0, 360);
    phase = next;
}

void ScrollRows(float& offset, float speed, int64_t rows) {
    if (rows < 1) return;  // no range to keep it in
    const double h = static_cast<double>(rows);
    const double moved = offset - Step(speed);
    if (!Finite(offset, moved)) return;
    float next = Narrow(moved);
    if (next < 0) next = static_cast<float>(next + h);
    if (next >= h) next = static_cast<float>(next - h);
    if (!(next >= 0 && next < h)) next = ByPeriods(moved, 0, h);
    offset = next;
}

void SlideTile(float& offset, float speed, int64_t size) {
    if (size < 1) return;
    const double w = static_cast<double>(size);
    const double moved = offset + Step(speed);
    if (!Finite(offset, moved)) return;
    float next = Narrow(moved);
    if (next < -w) next = static_cast<float>(next + w);
    if (next > 0) next = static_cast<float>(next - w);
    if (!(next >= -w && next <= 0)) next = ByPeriods(moved, -w, w);
    offset = next;
}

void TurnRoll(float& phase, float speed, int32_t direction, int64_t rows) {
    const double h = static_cast<double>(rows);
    const double moved = direction == 0 ? phase - Step(speed) : phase + Step(speed);
    if (!Finite(phase, moved)) return;
    float next = Narrow(moved);
    if (direction == 0 && next < 0) next = static_cast<float>(next + h);
    if (direction != 0 && next >= h) next = static_cast<float>(next - h);
    if (!(next >= 0 && next < h)) next = ByPeriods(moved, 0, h - 1);
    phase = next;
}

int64_t RowShift(float offset, int64_t rows) {
    const double h = static_cast<double>(rows);
    const double kept = std::isfinite(offset) ? offset : 0;
    return Trunc(kept >= 0 && kept < h ? kept : ByPeriods(kept, 0, h), 0, rows - 1);
}
int64_t TileStart(float offset, int64_t size) {
    const double w = static_cast<double>(size);
    const double kept = std::isfinite(offset) ? offset : 0;
    return Trunc(kept >= -w && kept <= 0 ? kept : ByPeriods(kept, -w, w), -size, 0);
}

}  // namespace elDraw
