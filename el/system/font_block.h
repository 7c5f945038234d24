// The font description block of the text drawing: made at screen set-up, freed at shutdown.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace elSystem {

struct FontBlock {
    std::array<std::uint8_t, 60> bytes{};
};
extern std::unique_ptr<FontBlock>& Font;

void AllocateFontBlock();
// Frees the block; a second call finds nothing to free.
void FreeFontBlock();
bool HasFontBlock();

}  // namespace elSystem
