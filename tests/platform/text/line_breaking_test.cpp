// Reading UTF-8 and breaking lines, with every character 10 pixels wide: no font involved.
#include "platform/text/line_breaking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/utf8.h"

namespace {

using namespace platform::text;

std::u32string Decode(std::string_view text) {
    std::u32string out;
    for (std::size_t at = 0; at < text.size();) out += NextCharacter(text, at);
    return out;
}

// The lines of `text` in a box `width` pixels wide, as strings.
std::vector<std::u32string> Lines(const std::u32string& text, std::int64_t width,
                                  bool wrap = true) {
    const std::vector<std::int32_t> advances(text.size(), 10);
    std::vector<std::u32string> out;
    for (const LineSpan& line : BreakLines(text, advances, wrap, width)) {
        out.push_back(text.substr(line.begin, line.end - line.begin));
        EXPECT_EQ(line.width, 10 * static_cast<std::int64_t>(line.end - line.begin));
    }
    return out;
}

TEST(Utf8, ReadsCharactersAndPassesOverBrokenBytesOneByOne) {
    EXPECT_EQ(Decode("a日本𝄞"), U"a日本𝄞");
    // A stray continuation byte, a sequence cut short, an overlong form, a surrogate.
    EXPECT_EQ(Decode("\x80x"), U"\uFFFDx");
    EXPECT_EQ(Decode("\xE6\x97"), U"\uFFFD\uFFFD");
    EXPECT_EQ(Decode("\xC0\xAFz"), U"\uFFFD\uFFFDz");
    EXPECT_EQ(Decode("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8, CutsOnlyBetweenCharacters) {
    const std::string text = "ab日本";  // 2 + 3 + 3 bytes
    EXPECT_EQ(CutLength(text, 100), 8u);
    EXPECT_EQ(CutLength(text, 8), 8u);
    EXPECT_EQ(CutLength(text, 7), 5u);
    EXPECT_EQ(CutLength(text, 4), 2u);
    EXPECT_EQ(CutLength(text, 0), 0u);
    // A text that something else cut: the start of a character at its end goes.
    EXPECT_EQ(WithoutCutCharacter("ab\xE6\x97"), 2u);
    EXPECT_EQ(WithoutCutCharacter("ab\xE6"), 2u);
    EXPECT_EQ(WithoutCutCharacter("ab\xE6\x97\xA5"), 5u);
    EXPECT_EQ(WithoutCutCharacter("ab"), 2u);
    EXPECT_EQ(WithoutCutCharacter("\xF0\x9D\x84"), 0u);
}

TEST(LineBreaking, WrapsAtBlanksAndDropsTheBlanksItWrapsAt) {
    EXPECT_EQ(Lines(U"aaa bbb ccc", 75), (std::vector<std::u32string>{U"aaa bbb", U"ccc"}));
    EXPECT_EQ(Lines(U"aaa   bbb", 40), (std::vector<std::u32string>{U"aaa", U"bbb"}));
    // Blanks at the start of the text stay; blanks at the edge do not push a word over.
    EXPECT_EQ(Lines(U"  aa bb", 50), (std::vector<std::u32string>{U"  aa", U"bb"}));
    EXPECT_EQ(Lines(U"aaaa     b", 40), (std::vector<std::u32string>{U"aaaa", U"b"}));
    // Without wrapping only line breaks end lines.
    EXPECT_EQ(Lines(U"aaa bbb ccc", 30, false), (std::vector<std::u32string>{U"aaa bbb ccc"}));
}

TEST(LineBreaking, BreaksBetweenJapaneseCharactersButNotBeforeAStop) {
    EXPECT_EQ(Lines(U"あいうえおかきくけこ", 35),
              (std::vector<std::u32string>{U"あいう", U"えおか", U"きくけ", U"こ"}));
    // 。 may not start a line, so う goes down with it.
    EXPECT_EQ(Lines(U"あいう。えお", 30), (std::vector<std::u32string>{U"あい", U"う。え", U"お"}));
    // 「 may not end one.
    EXPECT_EQ(Lines(U"あい「う」", 30), (std::vector<std::u32string>{U"あい", U"「う」"}));
    // Latin next to Japanese breaks there too.
    EXPECT_EQ(Lines(U"abc日本", 40), (std::vector<std::u32string>{U"abc日", U"本"}));
}

TEST(LineBreaking, CutsWordsWiderThanTheBoxAndKeepsAtLeastOneCharacterALine) {
    EXPECT_EQ(Lines(U"abcdefgh", 35), (std::vector<std::u32string>{U"abc", U"def", U"gh"}));
    EXPECT_EQ(Lines(U"abc", 0), (std::vector<std::u32string>{U"a", U"b", U"c"}));
    EXPECT_EQ(Lines(U"abc", -50), (std::vector<std::u32string>{U"a", U"b", U"c"}));
}

TEST(LineBreaking, LineBreaksEndLinesInEveryForm) {
    EXPECT_EQ(Lines(U"a\r\nb\rc\nd\n", 100), (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
    EXPECT_EQ(Lines(U"a\n\nb", 100), (std::vector<std::u32string>{U"a", U"", U"b"}));
    EXPECT_TRUE(Lines(U"", 100).empty());
}

}  // namespace
