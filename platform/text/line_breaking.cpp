#include "platform/text/line_breaking.h"

#include <algorithm>
#include <string_view>

namespace platform::text {
namespace {

constexpr std::u32string_view kNoStart =
    U")]}.,;:!?%"
    U"、。，．・：；？！ー」』）］｝〕〉》】〙〗ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ"
    U"々〻ゝゞヽヾ‐゠–〜～…‥";
constexpr std::u32string_view kNoEnd = U"([{「『（［｛〔〈《【〘〖";

}  // namespace

bool NoLineStart(char32_t c) {
    return kNoStart.find(c) != std::u32string_view::npos;
}
bool NoLineEnd(char32_t c) {
    return kNoEnd.find(c) != std::u32string_view::npos;
}

bool BreaksAround(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) ||  // CJK radicals, punctuation, kana, ideographs
           (c >= 0xAC00 && c <= 0xD7AF) ||  // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
           (c >= 0xFF00 && c <= 0xFFEF) ||  // full-width and half-width forms
           (c >= 0x20000 && c <= 0x3FFFF);  // the supplementary ideographic planes
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

bool IsLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r';
}

std::vector<LineSpan> BreakLines(std::span<const char32_t> chars,
                                 std::span<const std::int32_t> advances, bool wrap,
                                 std::int64_t maxWidth) {
    std::vector<LineSpan> lines;
    const std::size_t count = std::min(chars.size(), advances.size());
    const auto widthOf = [&](std::size_t begin, std::size_t end) {
        std::int64_t width = 0;
        for (std::size_t i = begin; i < end; ++i) width += advances[i];
        return width;
    };
    std::size_t start = 0;
    while (start < count) {
        std::size_t hardEnd = start;
        while (hardEnd < count && !IsLineBreak(chars[hardEnd])) ++hardEnd;
        std::size_t lineStart = start;
        std::size_t lastBreak = 0;  // 0: no break seen on this line
        std::int64_t x = 0;
        for (std::size_t i = start; i < hardEnd; ++i) {
            const char32_t c = chars[i];
            if (wrap && i > lineStart) {
                const char32_t before = chars[i - 1];
                const bool afterBlank = IsBlank(before) && !IsBlank(c);
                const bool between = (BreaksAround(before) || BreaksAround(c)) && !IsBlank(c) &&
                                     !IsBlank(before) && !NoLineStart(c) && !NoLineEnd(before);
                if (afterBlank || between) lastBreak = i;
            }
            // Blanks hang past the edge; only ink can overflow.
            if (wrap && !IsBlank(c) && i > lineStart && x + advances[i] > maxWidth) {
                const std::size_t cut = lastBreak > lineStart ? lastBreak : i;
                std::size_t end = cut;
                while (end > lineStart && IsBlank(chars[end - 1])) --end;
                lines.push_back({lineStart, end, widthOf(lineStart, end)});
                lineStart = cut;
                lastBreak = 0;
                x = 0;
                for (std::size_t k = lineStart; k < i; ++k) x += advances[k];
            }
            x += advances[i];
        }
        lines.push_back({lineStart, hardEnd, widthOf(lineStart, hardEnd)});
        start = hardEnd;
        if (start < count) {
            // "\r\n" is one break.
            start +=
                (chars[start] == U'\r' && start + 1 < count && chars[start + 1] == U'\n') ? 2 : 1;
        }
    }
    return lines;
}

}  // namespace platform::text
