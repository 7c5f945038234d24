// Small helpers the page files share: motion on the page clock and captions with numbers.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "examples/gallery/gallery_state.h"

namespace gallery {

inline constexpr double kPi = 3.14159265358979;

// A value that goes back and forth between from and to every `period` seconds.
inline int Swing(int from, int to, double period, double phase = 0.0) {
    const double t = 0.5 - 0.5 * std::cos((PageSeconds() / period + phase) * 2.0 * kPi);
    return from + static_cast<int>(std::lround((to - from) * t));
}

// The same between 0.0 and 1.0, in steps of a hundredth so that the caption shows it exactly.
inline float SwingUnit(double period, double phase = 0.0) {
    return static_cast<float>(Swing(0, 100, period, phase) / 100.0);
}

// printf-style text for a caption.
template <class... Args>
std::string Format(const char* pattern, Args... values) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

}  // namespace gallery
