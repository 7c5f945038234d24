// The font description block of the text drawing: made at screen set-up, freed at shutdown.
#pragma once

namespace elSystem {

void AllocateFontBlock();
// Frees the block; a second call finds nothing to free.
void FreeFontBlock();
bool HasFontBlock();

}  // namespace elSystem
