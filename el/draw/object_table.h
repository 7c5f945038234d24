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

std::int32_t LoadObject(const char* name, std::int32_t memoryMode);
std::int32_t CreateObject(std::int32_t width, std::int32_t height, std::int32_t memoryMode);
std::int32_t SwapObject(const char* name, std::int32_t object, std::int32_t memoryMode);
void ReleaseObject(std::int32_t object);

void SetKeyColor(platform::ColorRef color);
void SetKeyFromCorner();
platform::HResult SetObjectKey(std::int32_t object, platform::ColorRef color);
void SetObjectKeyFromCorner(std::int32_t object);
void CopyKey(std::int32_t destination, std::int32_t source);

platform::HResult SetSurfaceKey(platform::Surface* surface, platform::ColorRef color);
std::uint32_t MatchColor(platform::Surface* surface, platform::ColorRef color);

// The picture of a resource or file as a new surface; null when there is none. *why (when
// given) gets the reason a file that is there could not be used.
platform::SurfacePtr LoadBitmapSurface(const std::string& path, std::uint16_t& width,
                                       std::uint16_t& height, std::int32_t memoryMode,
                                       std::string* why = nullptr);
platform::HResult CopyBitmapToSurface(platform::Surface* surface,
                                      const platform::DecodedBitmap* bitmap, std::int32_t x,
                                      std::int32_t y, std::int32_t width, std::int32_t height);

// Run when a drawing call meets a lost surface: restores every surface and reloads pictures.
void RestoreSurfaces();

}  // namespace elDraw
