// The orderly end of the program: cursor, display, sound and work memory released, then the
// window asked to close.
#pragma once

namespace elDraw {

// Returns 1. Harmless when run again while its own close request is still queued.
int Shutdown();
// Releases every surface and the display.
void ReleaseScreen();

}  // namespace elDraw
