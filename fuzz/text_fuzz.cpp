// Arbitrary bytes as text: the first byte picks the face, size, angle and layout, the rest is
// drawn as a line and as a wrapped box on a small surface. Broken UTF-8 must read as
// replacement characters, never run past the text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/display/surface.h"
#include "platform/text/font.h"
#include "platform/text/text_draw.h"
#include "platform/text/utf8.h"

namespace text = platform::text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t choice = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    // Every byte is read once: each step moves forward by one to four bytes.
    for (std::size_t at = 0; at < input.size();) {
        const std::size_t before = at;
        text::NextCharacter(input, at);
        if (at <= before || at - before > 4 || at > input.size()) std::abort();
    }
    const std::size_t cut = text::CutLength(input, input.size() / 2);
    if (cut > input.size() / 2) std::abort();

    static constexpr std::array<std::string_view, 3> kFaces = {text::kGothicName, text::kMinchoName,
                                                               "DejaVu Sans"};
    text::FontSpec spec;
    spec.face = std::string(kFaces[choice % 3]);
    spec.height = (choice & 0x04) != 0 ? 12 : -20;
    spec.escapement = (choice & 0x08) != 0 ? 900 : 0;
    spec.italic = (choice & 0x10) != 0;
    spec.underline = (choice & 0x20) != 0;
    auto font = text::OpenFont(spec);

    platform::Surface surface(96, 48, platform::PixelLayout::Rgb565,
                              platform::DDSCAPS_OFFSCREENPLAIN | platform::DDSCAPS_SYSTEMMEMORY);
    const text::TextColours colours{0x00FF00, 0x000080, (choice & 0x40) != 0};
    if (text::TextWidth(*font, input) < 0) std::abort();
    text::TextOut(surface, *font, -8, 20, input, colours);
    const std::uint32_t format =
        text::DT_WORDBREAK | ((choice & 0x80) != 0 ? text::DT_CENTER : text::DT_RIGHT);
    const platform::Rect box{4, 2, 90, 46};
    const std::int32_t height = text::DrawText(&surface, *font, box, input, format, colours);
    if (height < 0 ||
        height != text::DrawText(nullptr, *font, box, input, format | text::DT_CALCRECT, colours))
        std::abort();
    return 0;
}
