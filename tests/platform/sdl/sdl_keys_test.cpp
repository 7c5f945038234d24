#include "platform/sdl/sdl_keys.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::VirtualKeyFor;

TEST(SdlKeys, LettersDigitsAndNamedKeys) {
    EXPECT_EQ(VirtualKeyFor(SDLK_a), 0x41u);  // lower-case letters report their capital code
    EXPECT_EQ(VirtualKeyFor(SDLK_z), 0x5Au);
    EXPECT_EQ(VirtualKeyFor(SDLK_0), 0x30u);
    EXPECT_EQ(VirtualKeyFor(SDLK_9), 0x39u);
    EXPECT_EQ(VirtualKeyFor(SDLK_ESCAPE), 27u);
    EXPECT_EQ(VirtualKeyFor(SDLK_RETURN), 0x0Du);
    EXPECT_EQ(VirtualKeyFor(SDLK_LSHIFT), 16u);
    EXPECT_EQ(VirtualKeyFor(SDLK_RSHIFT), 16u);
    EXPECT_EQ(VirtualKeyFor(SDLK_F1), 0x70u);
    EXPECT_EQ(VirtualKeyFor(SDLK_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFor(SDLK_KP_5), 0x65u);
}

TEST(SdlKeys, KeysWhoseCharactersCollideWithOtherCodes) {
    // The arrows and Delete have codes equal to the ASCII of '%', '&', '\'', '(' and '.':
    // the punctuation keys must get their own codes, not their characters.
    EXPECT_EQ(VirtualKeyFor(SDLK_LEFT), 0x25u);
    EXPECT_EQ(VirtualKeyFor(SDLK_UP), 0x26u);
    EXPECT_EQ(VirtualKeyFor(SDLK_RIGHT), 0x27u);
    EXPECT_EQ(VirtualKeyFor(SDLK_DOWN), 0x28u);
    EXPECT_EQ(VirtualKeyFor(SDLK_DELETE), 0x2Eu);
    EXPECT_EQ(VirtualKeyFor(SDLK_PERIOD), 0xBEu);
    EXPECT_EQ(VirtualKeyFor(SDLK_QUOTE), 0xDEu);
    EXPECT_EQ(VirtualKeyFor(SDLK_COMMA), 0xBCu);
    EXPECT_EQ(VirtualKeyFor(SDLK_MINUS), 0xBDu);
    EXPECT_EQ(VirtualKeyFor(SDLK_SLASH), 0xBFu);
    EXPECT_EQ(VirtualKeyFor(SDLK_PAGEUP), 0x21u);       // '!'
    EXPECT_EQ(VirtualKeyFor(SDLK_HOME), 0x24u);         // '$'
    EXPECT_EQ(VirtualKeyFor(SDLK_KP_MULTIPLY), 0x6Au);  // 'j'
    EXPECT_NE(VirtualKeyFor(SDLK_KP_PLUS), VirtualKeyFor(SDLK_EQUALS));
}

TEST(SdlKeys, UnknownKeysHaveNoCode) {
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN), 0u);
    EXPECT_EQ(VirtualKeyFor(SDLK_AUDIOPLAY), 0u);
}

}  // namespace
