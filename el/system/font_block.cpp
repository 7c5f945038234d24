#include "el/system/font_block.h"

namespace elSystem {

void AllocateFontBlock() {
    Font = std::make_unique<FontBlock>();
}
void FreeFontBlock() {
    Font.reset();
}
bool HasFontBlock() {
    return Font != nullptr;
}

}  // namespace elSystem
