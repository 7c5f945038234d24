// Resources built into the executable from resources/manifest.txt: looked up by name and
// type, as the Windows resource section was. Names and types compare without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view RT_BITMAP = "BITMAP";
inline constexpr std::string_view RT_RCDATA = "RCDATA";
inline constexpr std::string_view RT_ICON = "ICON";

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                          std::string_view type);

// Names of resources and of the files that replace them are limited to 30 units of the
// two-byte character set they were first written in: an ASCII character is 1 unit, any other
// character 2. In UTF-8 such a name can take twice as many bytes (a four-byte character still
// counts 2), which the buffers that store names hold.
inline constexpr std::size_t kMaxNameUnits = 30;
inline constexpr std::size_t kMaxNameBytes = 2 * kMaxNameUnits;

// The units of a UTF-8 name: 1 per ASCII character, 2 per well-formed multi-byte sequence, and
// 1 per byte that belongs to no well-formed sequence (so a broken name is never shorter than
// its bytes allow, and never needs more than 2 bytes a unit).
std::size_t NameUnits(std::string_view utf8);

// One line on standard error about a file of a resource's name next to the program that could
// not be used, naming the file and the reason, and saying whether the built-in resource is used
// in its place. A missing file is the usual case and is not reported.
void ReportUnusableProgramFile(std::string_view path, std::string_view reason,
                               std::string_view name, bool builtInUsed);

// The window's title: the text of a file named TITLE next to the program when it can be used
// (one line of well-formed UTF-8 without control characters, at most kMaxTitleBytes, one line
// break at the end allowed), else a resource TITLE of type RCDATA held to the same rules (what a
// web page, which has no files beside it, is built with), else `builtIn`. A TITLE that cannot be
// used is reported on standard error like a picture.
inline constexpr std::size_t kMaxTitleBytes = 256;
std::string ProgramTitle(std::string_view builtIn);

// The generated table; each executable links exactly one.
struct ResourceEntry {
    const char* name;
    const char* type;
    const std::uint8_t* begin;
    const std::uint8_t* end;
};
std::span<const ResourceEntry> BuiltInResources();

}  // namespace platform
