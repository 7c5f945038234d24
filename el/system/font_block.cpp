#include "el/system/font_block.h"

#include <array>
#include <cstdint>
#include <memory>

namespace elSystem {
namespace {

std::unique_ptr<std::array<std::uint8_t, 60>> fontBlock;

}  // namespace

void AllocateFontBlock() {
    fontBlock = std::make_unique<std::array<std::uint8_t, 60>>();
}
void FreeFontBlock() {
    fontBlock.reset();
}
bool HasFontBlock() {
    return fontBlock != nullptr;
}

}  // namespace elSystem
