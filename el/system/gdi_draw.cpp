#include "el/system/gdi_draw.h"

#include <optional>
#include <vector>

#include "el/draw/screen_dc.h"
#include "el/system/text_state.h"
#include "platform/display/gdi.h"
#include "platform/display/raster.h"

namespace elSystem {
namespace {

using platform::raster::Brush;
using platform::raster::Canvas;
using platform::raster::Pen;
using platform::raster::PointD;

// Runs draw(surface) on the back surface through the device context that is held, or through
// one taken for this call alone.
template <typename Draw>
void OnScreen(Draw&& draw) {
    if (elDraw::ScreenDeviceContext) {
        if (platform::Surface* surface = elDraw::ScreenDeviceContext->surface()) draw(*surface);
        return;
    }
    if (elDraw::GetScreenDC() != platform::DD_OK) return;
    if (platform::Surface* surface = elDraw::ScreenDeviceContext->surface()) draw(*surface);
    elDraw::ReleaseScreenDC();
}

Pen MakePen(std::int32_t width, platform::ColorRef colour, const platform::Surface& surface) {
    return Pen{width, platform::PackColor(colour, surface.layout())};
}

std::vector<platform::raster::Point> Points(const Point* points, std::int32_t count) {
    std::vector<platform::raster::Point> out(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = {points[i].x, points[i].y};
    return out;
}

std::vector<PointD> Path(const std::vector<platform::raster::Point>& points) {
    std::vector<PointD> path;
    path.reserve(points.size());
    for (const auto& p : points) path.push_back({double(p.x), double(p.y)});
    return path;
}

}  // namespace

void DrawPolygon(const Point* points, std::int32_t count, platform::ColorRef colour,
                 platform::ColorRef background, std::int32_t width, std::int32_t fillMode) {
    if (points == nullptr || count < 2) return;
    const auto corners = Points(points, count);
    OnScreen([&](platform::Surface& surface) {
        Canvas canvas(surface);
        const auto layout = surface.layout();
        if (fillMode != 0) {
            Brush hatch{Brush::Kind::kHatch, platform::PackColor(colour, layout), std::nullopt};
            if (fillMode != 2) hatch.gaps = platform::PackColor(background, layout);
            canvas.FillPolygon(corners, hatch);
        }
        canvas.Stroke(Path(corners), true, MakePen(width, colour, surface));
    });
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              platform::ColorRef colour, std::int32_t width) {
    OnScreen([&](platform::Surface& surface) {
        Canvas(surface).Line({x1, y1}, {x2, y2}, MakePen(width, colour, surface));
    });
}

void DrawRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              platform::ColorRef fill, platform::ColorRef pen, std::int32_t width) {
    OnScreen([&](platform::Surface& surface) {
        Canvas canvas(surface);
        const Brush brush{Brush::Kind::kSolid, platform::PackColor(fill, surface.layout()),
                          std::nullopt};
        platform::raster::DrawRectangle(canvas, left, top, right, bottom, brush,
                                        MakePen(width, pen, surface));
    });
}

void DrawBezier(const Point* points, std::int32_t count, platform::ColorRef colour,
                std::int32_t width) {
    if (points == nullptr || count < 4 || (count - 1) % 3 != 0) return;
    const std::vector<PointD> path = platform::raster::FlattenBeziers(Points(points, count));
    OnScreen([&](platform::Surface& surface) {
        Canvas(surface).Stroke(path, false, MakePen(width, colour, surface));
    });
}

void SetPixelColor(std::int32_t x, std::int32_t y, platform::ColorRef colour) {
    OnScreen([&](platform::Surface& surface) {
        platform::DeviceContext(surface).SetPixel(x, y, colour);
    });
}

int GetPixelColor(std::int32_t x, std::int32_t y, std::int32_t* red, std::int32_t* green,
                  std::int32_t* blue) {
    platform::ColorRef value = platform::CLR_INVALID;
    OnScreen([&](platform::Surface& surface) {
        value = platform::DeviceContext(surface).GetPixel(x, y);
    });
    const bool known = value != platform::CLR_INVALID;
    if (red != nullptr) *red = known ? static_cast<std::int32_t>(value & 0xFF) : -1;
    if (green != nullptr) *green = known ? static_cast<std::int32_t>((value >> 8) & 0xFF) : -1;
    if (blue != nullptr) *blue = known ? static_cast<std::int32_t>((value >> 16) & 0xFF) : -1;
    return known ? 1 : 0;
}

platform::HResult BeginGdi() {
    const platform::HResult result = elDraw::GetScreenDC();
    if (result == platform::DD_OK) GdiHeld = 1;
    return result;
}

void EndGdi() {
    if (GdiHeld == 0) return;
    GdiHeld = 0;
    elDraw::ReleaseScreenDC();
}

}  // namespace elSystem
