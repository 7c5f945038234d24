// The result codes, flags and records of the display services, with the values the library
// knows them by.
#pragma once

#include <cstdint>

namespace platform {

using HResult = std::int32_t;
using ColorRef = std::uint32_t;  // 0x00BBGGRR

inline constexpr HResult DD_OK = 0;
inline constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
// The one code that means "surface memory was lost"; callers restore and go on.
inline constexpr HResult DDERR_SURFACELOST = static_cast<HResult>(0x887601C2u);
inline constexpr HResult DDERR_INVALIDRECT = static_cast<HResult>(0x88760096u);
inline constexpr HResult DDERR_INVALIDPARAMS = static_cast<HResult>(0x80070057u);
inline constexpr HResult DDERR_UNSUPPORTEDMODE = static_cast<HResult>(0x8876024Eu);
inline constexpr HResult DDERR_NOCOLORKEY = static_cast<HResult>(0x887600D7u);
inline constexpr HResult DDERR_GENERIC = E_FAIL;
inline constexpr HResult DDERR_SURFACEBUSY = static_cast<HResult>(0x887601AEu);

inline constexpr ColorRef CLR_INVALID = 0xFFFFFFFFu;

constexpr ColorRef Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
           (static_cast<ColorRef>(b) << 16);
}

// Surface capabilities.
inline constexpr std::uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr std::uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr std::uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr std::uint32_t DDSCAPS_TEXTURE = 0x00001000;
inline constexpr std::uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;

// Surface description fields.
inline constexpr std::uint32_t DDSD_CAPS = 0x00000001;
inline constexpr std::uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr std::uint32_t DDSD_WIDTH = 0x00000004;

// Device capabilities.
inline constexpr std::uint32_t DDCAPS_3D = 0x00000001;
inline constexpr std::uint32_t DDCAPS_BLTSTRETCH = 0x00000200;

// Cooperative levels.
inline constexpr std::uint32_t DDSCL_FULLSCREEN = 0x00000001;
inline constexpr std::uint32_t DDSCL_ALLOWREBOOT = 0x00000002;
inline constexpr std::uint32_t DDSCL_NORMAL = 0x00000008;
inline constexpr std::uint32_t DDSCL_EXCLUSIVE = 0x00000010;

// Copies.
inline constexpr std::uint32_t DDBLTFAST_SRCCOLORKEY = 0x00000001;
inline constexpr std::uint32_t DDBLTFAST_WAIT = 0x00000010;
inline constexpr std::uint32_t DDBLT_COLORFILL = 0x00000400;
inline constexpr std::uint32_t DDBLT_KEYSRC = 0x00008000;
inline constexpr std::uint32_t DDBLT_WAIT = 0x01000000;
inline constexpr std::uint32_t DDCKEY_SRCBLT = 0x00000008;
inline constexpr std::uint32_t DDLOCK_WAIT = 0x00000001;
inline constexpr std::uint32_t DDWAITVB_BLOCKBEGIN = 0x00000001;

struct SurfaceDesc {
    std::uint32_t flags = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t caps = 0;
    std::int32_t pitch = 0;           // bytes, filled by Lock
    std::uint16_t* memory = nullptr;  // filled by Lock
};

struct PixelFormatDesc {
    std::uint32_t bitCount = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

struct DeviceCaps {
    std::uint32_t caps = 0;
    std::uint32_t surfaceCaps = 0;
};

struct ColorKey {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

}  // namespace platform
