// The drawing objects: pictures and blank surfaces registered under small numbers in a fixed
// table of 1024, with the transparent colour key each carries for keyed copies.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/bitmap/bmp_decoder.h"
#include "platform/display/display_types.h"
#include "platform/display/surface.h"
#include "platform/resources.h"

namespace elDraw {

// Colours as the key calls take them.
using platform::ColorRef;
using platform::Rgb;

inline constexpr int kObjectCount = 1024;
inline constexpr int kFirstLoadableObject = 2;
// Names are measured in platform::NameUnits; the buffer holds the UTF-8 bytes of the longest.
inline constexpr std::size_t kObjectNameSize = platform::kMaxNameBytes + 1;
inline constexpr std::size_t kMaxObjectNameLength = platform::kMaxNameUnits;

struct ObjectRecord {
    platform::SurfacePtr surface;
    std::array<char, kObjectNameSize> name{};  // empty: the entry is free; "*": a blank object
    platform::ColorRef key = 0;                // CLR_INVALID: the object's own top-left pixel
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

extern std::array<ObjectRecord, kObjectCount>& Objects;
extern platform::ColorRef& KeyColor;
extern std::int32_t& KeyFromCorner;

// The record of an object number, or null for a number outside the table.
ObjectRecord* FindObject(std::int32_t object);
// The surface of an object number, or null when there is none.
platform::Surface* ObjectSurface(std::int32_t object);

// Loads a picture (a file of that name next to the program, else the built-in BITMAP) into a
// new object with the current key. Memory mode 2 asks for ordinary memory, others for video
// memory (a hint only). Returns the object number, or 0 after an error box.
std::int32_t LoadObject(const char* name, std::int32_t memoryMode);
// A new blank object of that size (one row taller, as the library always made them) with the
// current key. Returns the object number, or 0 after an error box.
std::int32_t CreateObject(std::int32_t width, std::int32_t height, std::int32_t memoryMode);
// Loads another picture into an existing object in place. 1 on success, 0 after an error box.
std::int32_t SwapObject(const char* name, std::int32_t object, std::int32_t memoryMode);
// Frees the object's surface and its number; a free or unknown number does nothing.
void ReleaseObject(std::int32_t object);

// The key that objects loaded or made from now on get (initially black).
void SetKeyColor(platform::ColorRef color);
// Objects loaded or made from now on take their own top-left pixel as their key.
void SetKeyFromCorner();
// Changes one object's key; DDERR_INVALIDPARAMS for an object that does not exist.
platform::HResult SetObjectKey(std::int32_t object, platform::ColorRef color);
// One object's key becomes its own top-left pixel.
void SetObjectKeyFromCorner(std::int32_t object);
// Gives the destination object the source object's key.
void CopyKey(std::int32_t destination, std::int32_t source);

// Sets a surface's key to the pixel value the colour has on it (CLR_INVALID: its top-left pixel).
platform::HResult SetSurfaceKey(platform::Surface* surface, platform::ColorRef color);
// The surface's pixel value for a colour, or 0xFFFFFFFF without a surface.
std::uint32_t MatchColor(platform::Surface* surface, platform::ColorRef color);

// The picture of a resource or file as a new surface; null when there is none. *why (when
// given) gets the reason a file that is there could not be used.
platform::SurfacePtr LoadBitmapSurface(const std::string& path, std::uint16_t& width,
                                       std::uint16_t& height, std::int32_t memoryMode,
                                       std::string* why = nullptr);
// Draws a decoded picture onto a surface at (x, y), scaled to width x height (0: its own).
platform::HResult CopyBitmapToSurface(platform::Surface* surface,
                                      const platform::DecodedBitmap* bitmap, std::int32_t x,
                                      std::int32_t y, std::int32_t width, std::int32_t height);

// Run when a drawing call meets a lost surface: restores every surface and reloads pictures.
void RestoreSurfaces();

}  // namespace elDraw
