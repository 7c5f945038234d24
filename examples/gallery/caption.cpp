#include "examples/gallery/caption.h"

#include <string>

#include "el/draw/fills.h"
#include "el/system/text.h"

namespace gallery {

void DrawCaption(std::string_view text, int top) {
    // The band first: blits cannot reach the back surface while the text run holds it.
    elDraw::HalfFillRect(0, top, 640, top + kCaptionHeight, 0);
    elSystem::SelectFont(1, 20, 0, 1, 0, 0);
    elSystem::SetTextColors(0xFFFFFF, 0, 1);
    elSystem::PutText(10, top + 5, std::string(text).c_str());
    elSystem::EndText();
}

void DrawText(int x, int y, std::string_view text) {
    elSystem::SelectFont(1, 16, 0, 1, 0, 0);
    elSystem::SetTextColors(0xFFFFFF, 0, 1);
    elSystem::PutText(x, y, std::string(text).c_str());
    elSystem::EndText();
}

}  // namespace gallery
