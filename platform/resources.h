// Resources built into the executable from resources/manifest.txt: looked up by name and
// type, as the Windows resource section was. Names and types compare without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

inline constexpr std::string_view RT_BITMAP = "BITMAP";
inline constexpr std::string_view RT_RCDATA = "RCDATA";
inline constexpr std::string_view RT_ICON = "ICON";

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                          std::string_view type);

// The generated table; each executable links exactly one.
struct ResourceEntry {
    const char* name;
    const char* type;
    const std::uint8_t* begin;
    const std::uint8_t* end;
};
std::span<const ResourceEntry> BuiltInResources();

}  // namespace platform
