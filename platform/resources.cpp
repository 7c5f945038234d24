#include "platform/resources.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>

namespace platform {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The length of the well-formed UTF-8 sequence at the start of `text` (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing above U+10FFFF); 0 when
// there is none.
std::size_t SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::size_t NameUnits(std::string_view utf8) {
    std::size_t units = 0;
    while (!utf8.empty()) {
        const std::size_t length =
            static_cast<unsigned char>(utf8[0]) < 0x80 ? 0 : SequenceLength(utf8);
        units += length == 0 ? 1 : 2;
        utf8.remove_prefix(length == 0 ? 1 : length);
    }
    return units;
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                          std::string_view type) {
    for (const ResourceEntry& entry : BuiltInResources()) {
        if (SameIgnoringCase(entry.name, name) && SameIgnoringCase(entry.type, type)) {
            return std::span<const std::uint8_t>(entry.begin, entry.end);
        }
    }
    return std::nullopt;
}

void ReportUnusableProgramFile(std::string_view path, std::string_view reason,
                               std::string_view name, bool builtInUsed) {
    std::string line = std::string(program_invocation_short_name) + ": ";
    line.append(path).append(": ").append(reason);
    line.append(builtInUsed ? "; using the built-in " : "; there is no built-in ");
    line.append(name).append(builtInUsed ? " instead\n" : " either\n");
    std::fputs(line.c_str(), stderr);
}

}  // namespace platform
