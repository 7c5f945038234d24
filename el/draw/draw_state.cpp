#include "el/draw/draw_state.h"

#include <array>
#include <cstdint>
#include <memory>

#include "el/draw/clip_rect.h"
#include "el/draw/composite_blits.h"
#include "el/draw/cursor.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/draw/screen_dc.h"

namespace elDraw {
namespace {

// Members are destroyed in reverse order: the objects' surfaces go before the back and primary
// surfaces, and those before the device that made them.
struct DrawState {
    std::unique_ptr<platform::DisplayDevice> DirectDraw;
    platform::SurfacePtr PrimarySurface;
    platform::SurfacePtr BackSurface;
    std::optional<platform::DeviceContext> ScreenDeviceContext;
    bool ClipperExists = false;
    std::int32_t StretchCapable = 0;
    std::int32_t HardwareDeviceChosen = 0;
    std::int32_t DisplayDepth = 16;
    std::int32_t DefaultScreenWidth = 0;
    std::int32_t DefaultScreenHeight = 0;
    platform::Rect PresentSource{};
    std::int32_t VSyncWait = 1;
    std::int32_t ScreenWidth = 0;
    std::int32_t ScreenHeight = 0;
    platform::Rect ClipRect{};
    std::int32_t CursorConfined = 0;
    platform::ColorRef KeyColor = 0;
    std::int32_t KeyFromCorner = 0;
    std::array<ObjectRecord, kObjectCount> Objects;
    float WavePhase = 0;
    std::int32_t WaveSign = 1;
    float TileOffsetX = 0;
    float TileOffsetY = 0;
    float WaveScrollPhase = 0;
    float WaveScrollOffset = 0;
    float BandPhase = 0;
    float BandOffset = 0;
    float RollPhase = 0;
};

DrawState state;

}  // namespace

std::unique_ptr<platform::DisplayDevice>& DirectDraw = state.DirectDraw;
platform::SurfacePtr& PrimarySurface = state.PrimarySurface;
platform::SurfacePtr& BackSurface = state.BackSurface;
std::optional<platform::DeviceContext>& ScreenDeviceContext = state.ScreenDeviceContext;
bool& ClipperExists = state.ClipperExists;
std::int32_t& StretchCapable = state.StretchCapable;
std::int32_t& HardwareDeviceChosen = state.HardwareDeviceChosen;
std::int32_t& DisplayDepth = state.DisplayDepth;
std::int32_t& DefaultScreenWidth = state.DefaultScreenWidth;
std::int32_t& DefaultScreenHeight = state.DefaultScreenHeight;
platform::Rect& PresentSource = state.PresentSource;
std::int32_t& VSyncWait = state.VSyncWait;
std::int32_t& ScreenWidth = state.ScreenWidth;
std::int32_t& ScreenHeight = state.ScreenHeight;
platform::Rect& ClipRect = state.ClipRect;
std::int32_t& CursorConfined = state.CursorConfined;
platform::ColorRef& KeyColor = state.KeyColor;
std::int32_t& KeyFromCorner = state.KeyFromCorner;
std::array<ObjectRecord, kObjectCount>& Objects = state.Objects;
float& WavePhase = state.WavePhase;
std::int32_t& WaveSign = state.WaveSign;
float& TileOffsetX = state.TileOffsetX;
float& TileOffsetY = state.TileOffsetY;
float& WaveScrollPhase = state.WaveScrollPhase;
float& WaveScrollOffset = state.WaveScrollOffset;
float& BandPhase = state.BandPhase;
float& BandOffset = state.BandOffset;
float& RollPhase = state.RollPhase;

void ResetDrawState() {
    // In the order the device needs: what was made from it first, the device last.
    for (ObjectRecord& record : state.Objects) record = ObjectRecord{};
    ReleaseScreenDC();
    state.BackSurface.reset();
    state.PrimarySurface.reset();
    state.DirectDraw.reset();
    state.ClipperExists = false;
    state.StretchCapable = 0;
    state.HardwareDeviceChosen = 0;
    state.DisplayDepth = 16;
    state.DefaultScreenWidth = 0;
    state.DefaultScreenHeight = 0;
    state.PresentSource = {};
    state.VSyncWait = 1;
    state.ScreenWidth = 0;
    state.ScreenHeight = 0;
    state.ClipRect = {};
    state.CursorConfined = 0;
    state.KeyColor = 0;
    state.KeyFromCorner = 0;
    state.WavePhase = 0;
    state.WaveSign = 1;
    state.TileOffsetX = 0;
    state.TileOffsetY = 0;
    state.WaveScrollPhase = 0;
    state.WaveScrollOffset = 0;
    state.BandPhase = 0;
    state.BandOffset = 0;
    state.RollPhase = 0;
}

}  // namespace elDraw
