// Where the lines of a text box end: at every line break of the text and, when wrapping, before
// the word (or the Japanese character) that would pass the right edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::text {

struct LineSpan {
    // Characters [begin, end) of the text; a line that wraps leaves out the blanks it wraps at.
    std::size_t begin = 0;
    std::size_t end = 0;
    std::int64_t width = 0;
};

// Characters that no line may start with (closing brackets, small kana, the long-vowel mark,
// stops) and that no line may end with (opening brackets): the usual rules of Japanese setting.
bool NoLineStart(char32_t c);
bool NoLineEnd(char32_t c);
// A character with a break allowed on both sides: ideographs, kana and full-width forms.
bool BreaksAround(char32_t c);
bool IsBlank(char32_t c);
// "\n", "\r" and "\r\n" end a line.
bool IsLineBreak(char32_t c);

// The lines of `chars`, each character `advances[i]` wide. With wrapping, a line ends at the
// last break that keeps it within maxWidth: after blanks (which then belong to no line) or
// between characters where Japanese allows it; a word wider than the box is cut between
// characters, and every line holds at least one character. A break at the very end makes no
// empty last line.
std::vector<LineSpan> BreakLines(std::span<const char32_t> chars,
                                 std::span<const std::int32_t> advances, bool wrap,
                                 std::int64_t maxWidth);

}  // namespace platform::text
