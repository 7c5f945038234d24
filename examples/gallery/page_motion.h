// Motion for the pages: positions that swing back and forth on the page clock.
#pragma once

#include <cmath>

#include "examples/gallery/gallery_state.h"

namespace gallery {

inline constexpr double kPi = 3.14159265358979;

// A position that goes back and forth between from and to every `period` seconds.
inline int Swing(int from, int to, double period, double phase = 0.0) {
    const double t = 0.5 - 0.5 * std::cos((PageSeconds() / period + phase) * 2.0 * kPi);
    return from + static_cast<int>(std::lround((to - from) * t));
}

}  // namespace gallery
