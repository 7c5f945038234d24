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

}  // namespace

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
