// The name of the operation a page shows, in the Gothic face on a darkened band across the
// picture, so that it reads on any page.
#pragma once

#include <string_view>

namespace gallery {

inline constexpr int kCaptionHeight = 30;

// The band covers rows top .. top + kCaptionHeight.
void DrawCaption(std::string_view text, int top = 0);
// A line of small text with its top left corner at (x, y), white on what is there.
void DrawText(int x, int y, std::string_view text);

}  // namespace gallery
