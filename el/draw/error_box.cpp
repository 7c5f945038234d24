#include "el/draw/error_box.h"

#include <array>
#include <cstring>

#include "el/draw/display_state.h"
#include "platform/host.h"
#include "platform/window.h"

namespace elDraw {
namespace {

constexpr std::size_t kTextSize = 256;

// Appends as much of text as fits, never splitting a UTF-8 character.
void Append(std::array<char, kTextSize>& buffer, std::size_t& used, const char* text) {
    std::size_t length = std::strlen(text);
    if (used + length >= kTextSize) {
        length = kTextSize - 1 - used;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(buffer.data() + used, text, length);
    used += length;
}

}  // namespace

int ErrorBox(const char* operation, const char* message, std::int32_t) {
    std::array<char, kTextSize> text{};
    std::size_t used = 0;
    Append(text, used, operation != nullptr ? operation : "");
    Append(text, used, " : ");
    Append(text, used, message != nullptr ? message : "");
    FlipToGdiSurface();
    platform::MessageBeep();
    platform::MessageBox(text.data(), "エラー発生",
                         platform::MB_OK | platform::MB_ICONWARNING | platform::MB_SYSTEMMODAL);
    return 0;
}

}  // namespace elDraw
