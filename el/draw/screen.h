// Screen set-up: opens the display for the whole library and puts every other layer of the
// library into its start state.
#pragma once

#include <cstdint>

namespace elDraw {

extern std::int32_t& ScreenWidth;
extern std::int32_t& ScreenHeight;

// Returns 1 when the screen is open, 0 after an error box.
int Screen(std::int32_t width, std::int32_t height, std::int32_t memoryMode);
// The device-enumeration callback: takes the first device with 3D that holds textures.
bool ChooseDevice(const char* guid, const char* description, const char* driverName, void* context);
// The desktop's colour depth in bits per pixel.
int GetColorDepth();

}  // namespace elDraw
