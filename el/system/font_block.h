// The font description of the text drawing, laid out as the device context's LOGFONT record:
// made at screen set-up, freed at shutdown. The text operations write only the height, width,
// escapement, weight, italic, underline, character set and face name; the rest stays 0.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace elSystem {

inline constexpr std::size_t kFaceNameSize = 32;  // 31 bytes of UTF-8 and the terminator

struct FontBlock {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;  // tenths of a degree
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::array<char, kFaceNameSize> lfFaceName{};
};
static_assert(sizeof(FontBlock) == 60);

extern std::unique_ptr<FontBlock>& Font;

void AllocateFontBlock();
// Frees the block; a second call finds nothing to free.
void FreeFontBlock();
bool HasFontBlock();

}  // namespace elSystem
