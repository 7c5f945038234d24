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

// One line on standard error about a file of a resource's name next to the program that could
// not be used, naming the file and the reason, and saying whether the built-in resource is used
// in its place. A missing file is the usual case and is not reported.
void ReportUnusableProgramFile(std::string_view path, std::string_view reason,
                               std::string_view name, bool builtInUsed);

// The generated table; each executable links exactly one.
struct ResourceEntry {
    const char* name;
    const char* type;
    const std::uint8_t* begin;
    const std::uint8_t* end;
};
std::span<const ResourceEntry> BuiltInResources();

}  // namespace platform
