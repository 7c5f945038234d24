// Fonts as a device context selects them: a face name, a height, a weight, italics, underline,
// an angle and a character set, drawn by FreeType from the faces fontconfig finds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

inline constexpr std::uint8_t kAnsiCharset = 0;
inline constexpr std::uint8_t kShiftJisCharset = 128;

// The two Japanese face names of the library: they stand for IPAMincho and IPAGothic.
inline constexpr std::string_view kMinchoName = "標準明朝";
inline constexpr std::string_view kGothicName = "標準ゴシック";

// Height 0 asks for the default size: a cell of this many pixels.
inline constexpr std::int32_t kDefaultCellHeight = 16;
// Larger heights are drawn at this size: a glyph is never larger than the screen needs.
inline constexpr std::int32_t kMaxTextHeight = 1024;

struct FontSpec {
    std::string face;             // UTF-8
    std::int32_t height = 0;      // > 0 the cell's height, < 0 the character's, 0 the default
    std::int32_t escapement = 0;  // tenths of a degree, anticlockwise
    std::int32_t weight = 0;      // 0 the face's own, 700 and above bold
    bool italic = false;
    bool underline = false;
    std::uint8_t charset = kAnsiCharset;

    bool operator==(const FontSpec&) const = default;
};

// Ink in rows: `length` pixels from (x, y), counted from the glyph's origin on the baseline
// with y growing downwards.
struct InkRun {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t length = 0;
};

struct Glyph {
    std::int32_t advance = 0;  // pixels along the baseline
    std::vector<InkRun> ink;
};

struct FontMetrics {
    std::int32_t height = 0;  // the cell: ascent + descent
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t underlineOffset = 0;  // from the baseline down to the line's top row
    std::int32_t underlineThickness = 1;
    std::string family;  // the face that draws it; empty when no face could be found
};

class Font {
  public:
    virtual ~Font() = default;
    virtual const FontSpec& spec() const = 0;
    virtual const FontMetrics& metrics() const = 0;
    // The glyph of a character, at the font's angle, made on first use and kept. A character
    // the face lacks comes from the Japanese or the Latin stand-in face; control characters
    // have neither ink nor width.
    virtual const Glyph& GlyphOf(char32_t c) = 0;
};

// The font for a description, shared with earlier callers that asked for the same. Never
// null; when no face is installed at all it has metrics but no ink.
std::shared_ptr<Font> OpenFont(const FontSpec& spec);

}  // namespace platform::text
