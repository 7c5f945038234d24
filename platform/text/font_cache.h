// The fonts opened so far, shared by every caller that asks for the same spec; each backend's
// OpenFont makes its own kind of font through it.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/text/font.h"

namespace platform::text {

inline constexpr std::size_t kMaxCachedFonts = 64;

// The font for spec, made with make() the first time it is asked for.
template <class Make>
std::shared_ptr<Font> CachedFont(const FontSpec& spec, Make make) {
    static std::vector<std::shared_ptr<Font>> fonts;
    for (const auto& font : fonts) {
        if (font->spec() == spec) return font;
    }
    if (fonts.size() >= kMaxCachedFonts) {
        // Fonts nobody holds any more go; their glyphs are made again if asked for.
        std::erase_if(fonts,
                      [](const std::shared_ptr<Font>& font) { return font.use_count() == 1; });
    }
    fonts.push_back(make());
    return fonts.back();
}

}  // namespace platform::text
