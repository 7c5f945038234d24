#include "el/draw/clip_rect.h"

namespace elDraw {

void SetClipRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    ClipRect = {left, top, right, bottom};
}

}  // namespace elDraw
