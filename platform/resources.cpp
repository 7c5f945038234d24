#include "platform/resources.h"

#include <cctype>

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

}  // namespace platform
