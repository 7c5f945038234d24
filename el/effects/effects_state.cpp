#include "el/effects/effects_state.h"

#include "el/effects/back_filters.h"
#include "el/effects/clip_wipe.h"
#include "el/effects/filter_blits.h"
#include "el/effects/pixel_format.h"
#include "el/effects/warp_blits.h"

namespace elDraw {
namespace {

struct EffectsState {
    PixelFormatValues PixelFormat;
    std::array<std::int32_t, 450> SineTable{};
    std::array<std::array<std::uint8_t, 3>, 65536> PixelToRgb{};
    std::array<std::uint16_t, 3 * 32 * 32 * 32> CrossFadeTable{};
    std::array<std::uint16_t, 3 * 32 * 32 * 32> FadeAddTable{};
    std::array<std::uint16_t, 3 * 32 * 32> SubtractTable{};
    std::array<std::uint16_t, 94> AverageTable{};
    std::array<std::uint8_t, 10000> RandomTable{};

    std::int32_t WipeState = 0;
    platform::Rect WipeRect{};
    std::int32_t WipeClosing = 0;
    std::int32_t WipeType = 0;
    float WipeSpeed = 0.0f;
    std::int32_t WipeBand = 0;
    std::int32_t WipeOpened = 0;
    std::int32_t WipeClosed = 0;

    std::int32_t RiseCounter = 0;
    std::int32_t RiseCursor = 0;
    std::int32_t RiseFadeCounter = 0;
    std::int32_t RiseFadeCursor = 0;
    std::int32_t NoiseCursor = 0;
    std::int32_t NoiseRGBCursor = 0;
    std::int32_t GlowCursor = 0;

    std::array<std::array<std::int16_t, 2>, kTunnelMapSize> TunnelMap{};
    std::int32_t TunnelTexW = 0, TunnelTexH = 0, TunnelMapW = 0, TunnelMapH = 0;
};

EffectsState state;

}  // namespace

PixelFormatValues& PixelFormat = state.PixelFormat;
std::array<std::int32_t, 450>& SineTable = state.SineTable;
std::array<std::array<std::uint8_t, 3>, 65536>& PixelToRgb = state.PixelToRgb;
std::array<std::uint16_t, 3 * 32 * 32 * 32>& CrossFadeTable = state.CrossFadeTable;
std::array<std::uint16_t, 3 * 32 * 32 * 32>& FadeAddTable = state.FadeAddTable;
std::array<std::uint16_t, 3 * 32 * 32>& SubtractTable = state.SubtractTable;
std::array<std::uint16_t, 94>& AverageTable = state.AverageTable;
std::array<std::uint8_t, 10000>& RandomTable = state.RandomTable;

std::int32_t& WipeState = state.WipeState;
platform::Rect& WipeRect = state.WipeRect;
std::int32_t& WipeClosing = state.WipeClosing;
std::int32_t& WipeType = state.WipeType;
float& WipeSpeed = state.WipeSpeed;
std::int32_t& WipeBand = state.WipeBand;
std::int32_t& WipeOpened = state.WipeOpened;
std::int32_t& WipeClosed = state.WipeClosed;

std::int32_t& RiseCounter = state.RiseCounter;
std::int32_t& RiseCursor = state.RiseCursor;
std::int32_t& RiseFadeCounter = state.RiseFadeCounter;
std::int32_t& RiseFadeCursor = state.RiseFadeCursor;
std::int32_t& NoiseCursor = state.NoiseCursor;
std::int32_t& NoiseRGBCursor = state.NoiseRGBCursor;
std::int32_t& GlowCursor = state.GlowCursor;

std::array<std::array<std::int16_t, 2>, kTunnelMapSize>& TunnelMap = state.TunnelMap;
std::int32_t& TunnelTexW = state.TunnelTexW;
std::int32_t& TunnelTexH = state.TunnelTexH;
std::int32_t& TunnelMapW = state.TunnelMapW;
std::int32_t& TunnelMapH = state.TunnelMapH;

void ResetEffectsState() {
    // Member by member: the tables are too large for a temporary on the stack.
    state.PixelFormat = {};
    state.SineTable.fill(0);
    state.PixelToRgb.fill({0, 0, 0});
    state.CrossFadeTable.fill(0);
    state.FadeAddTable.fill(0);
    state.SubtractTable.fill(0);
    state.AverageTable.fill(0);
    state.RandomTable.fill(0);
    state.WipeState = 0;
    state.WipeRect = {};
    state.WipeClosing = 0;
    state.WipeType = 0;
    state.WipeSpeed = 0.0f;
    state.WipeBand = 0;
    state.WipeOpened = 0;
    state.WipeClosed = 0;
    state.RiseCounter = 0;
    state.RiseCursor = 0;
    state.RiseFadeCounter = 0;
    state.RiseFadeCursor = 0;
    state.NoiseCursor = 0;
    state.NoiseRGBCursor = 0;
    state.GlowCursor = 0;
    state.TunnelMap.fill({0, 0});
    state.TunnelTexW = 0;
    state.TunnelTexH = 0;
    state.TunnelMapW = 0;
    state.TunnelMapH = 0;
}

}  // namespace elDraw
