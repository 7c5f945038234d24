#include "el/draw/display_state.h"

namespace elDraw {

bool IsDisplayOpen() {
    return false;
}
void FlipToGdiSurface() {}

}  // namespace elDraw
