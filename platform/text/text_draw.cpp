#include "platform/text/text_draw.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/display/gdi.h"
#include "platform/display/raster.h"
#include "platform/text/line_breaking.h"
#include "platform/text/utf8.h"

namespace platform::text {
namespace {

struct Laid {
    std::vector<char32_t> chars;
    std::vector<std::int32_t> advances;
};

Laid Lay(Font& font, std::string_view text) {
    Laid laid;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextCharacter(text, at);
        laid.chars.push_back(c);
        laid.advances.push_back(IsLineBreak(c) ? 0 : font.GlyphOf(c).advance);
    }
    return laid;
}

// Draws chars[begin, end) as one line with its cell's top left at (x, y), inside `clip`.
void DrawLine(Surface& surface, Font& font, const Rect& clip, std::int64_t x, std::int64_t y,
              const Laid& laid, std::size_t begin, std::size_t end, const TextColours& colours) {
    const FontMetrics& metrics = font.metrics();
    const PixelLayout layout = surface.layout();
    const std::uint16_t ink = PackColor(colours.text, layout);
    std::int64_t width = 0;
    for (std::size_t i = begin; i < end; ++i) width += laid.advances[i];

    raster::Canvas canvas(surface, clip);
    const std::int32_t tenths = font.spec().escapement % 3600;
    const double angle = tenths / 10.0 * std::acos(-1.0) / 180.0;
    const double c = tenths == 0 ? 1.0 : std::cos(angle);
    const double s = tenths == 0 ? 0.0 : std::sin(angle);
    // A point of the line's own frame (u along the baseline, v down the cell) on the surface.
    const auto place = [&](double u, double v) {
        return std::pair<std::int64_t, std::int64_t>{x + std::llround(u * c + v * s),
                                                     y + std::llround(-u * s + v * c)};
    };
    const auto band = [&](double top, double bottom, ColorRef colour) {
        const raster::Brush brush{raster::Brush::Kind::kSolid, PackColor(colour, layout),
                                  std::nullopt};
        if (tenths == 0) {
            canvas.FillRect(x, y + static_cast<std::int64_t>(top), x + width,
                            y + static_cast<std::int64_t>(bottom), brush);
            return;
        }
        std::vector<raster::Point> corners;
        for (const auto& [u, v] : {std::pair{0.0, top}, std::pair{double(width), top},
                                   std::pair{double(width), bottom}, std::pair{0.0, bottom}}) {
            const auto [px, py] = place(u, v);
            corners.push_back({static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                   px, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max())),
                               static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                   py, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max()))});
        }
        canvas.FillPolygon(corners, brush);
    };

    if (!colours.transparent) band(0, metrics.height, colours.back);
    const std::int64_t left = std::max(clip.left, 0), top = std::max(clip.top, 0);
    const std::int64_t right = std::min(clip.right, surface.width());
    const std::int64_t bottom = std::min(clip.bottom, surface.height());
    std::int64_t pen = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const Glyph& glyph = font.GlyphOf(laid.chars[i]);
        const auto [ox, oy] = place(static_cast<double>(pen), metrics.ascent);
        pen += laid.advances[i];
        for (const InkRun& run : glyph.ink) {
            const std::int64_t row = oy + run.y;
            if (row < top || row >= bottom) continue;
            const std::int64_t from = std::max(ox + run.x, left);
            const std::int64_t to = std::min(ox + run.x + run.length, right);
            if (from >= to) continue;
            std::uint16_t* pixels = &surface.At(0, static_cast<std::int32_t>(row));
            std::fill(pixels + from, pixels + to, ink);
        }
    }
    if (font.spec().underline) {
        const double at = metrics.ascent + metrics.underlineOffset;
        band(at, at + metrics.underlineThickness, colours.text);
    }
}

}  // namespace

std::int64_t TextWidth(Font& font, std::string_view text) {
    std::int64_t width = 0;
    for (const std::int32_t advance : Lay(font, text).advances) width += advance;
    return width;
}

void TextOut(Surface& surface, Font& font, std::int32_t x, std::int32_t y, std::string_view text,
             const TextColours& colours) {
    const Laid laid = Lay(font, text);
    DrawLine(surface, font, Rect{0, 0, surface.width(), surface.height()}, x, y, laid, 0,
             laid.chars.size(), colours);
}

std::int32_t DrawText(Surface* surface, Font& font, const Rect& rect, std::string_view text,
                      std::uint32_t format, const TextColours& colours) {
    if (text.empty()) return 0;
    const Laid laid = Lay(font, text);
    const std::int64_t boxWidth = std::int64_t{rect.right} - rect.left;
    const std::vector<LineSpan> lines =
        BreakLines(laid.chars, laid.advances, (format & DT_WORDBREAK) != 0, boxWidth);
    const std::int64_t lineHeight = font.metrics().height;
    const std::int64_t height = static_cast<std::int64_t>(lines.size()) * lineHeight;
    if ((format & DT_CALCRECT) == 0 && surface != nullptr) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const LineSpan& line = lines[i];
            const std::int64_t y = rect.top + static_cast<std::int64_t>(i) * lineHeight;
            if (y >= rect.bottom) break;
            std::int64_t x = rect.left;
            if ((format & DT_CENTER) != 0) {
                // Halved towards the left when the line is wider than the box.
                const std::int64_t spare = boxWidth - line.width;
                x += spare >= 0 ? spare / 2 : -((-spare + 1) / 2);
            } else if ((format & DT_RIGHT) != 0) {
                x = rect.right - line.width;
            }
            DrawLine(*surface, font, rect, x, y, laid, line.begin, line.end, colours);
        }
    }
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace platform::text
