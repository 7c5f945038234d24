// Small pieces shared by the command lines of the player and the renderer.
#pragma once

#include <charconv>
#include <string>

namespace app {

// The whole text as a number of that type: no sign where the type has none, nothing after it.
template <typename Number>
bool ParseNumber(const std::string& text, Number& out) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && stop == end;
}

}  // namespace app
