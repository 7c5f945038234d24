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
    EXPECT_EQ(VirtualKeyFor(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY), 0u);
}

TEST(SdlKeys, EveryLayoutsDigitRowGivesDigits) {
    // A French keyboard's digit row types & é " ' ( - è _ ç à; the digits come with Shift.
    const SDL_Keycode french[] = {'&', 0xE9, '"', '\'', '(', '-', 0xE8, '_', 0xE7, 0xE0};
    const SDL_Scancode row[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4,
                                SDL_SCANCODE_5, SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8,
                                SDL_SCANCODE_9, SDL_SCANCODE_0};
    const char digits[] = "1234567890";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(VirtualKeyFor(french[i], row[i]), static_cast<std::uint32_t>(digits[i])) << i;
        EXPECT_EQ(VirtualKeyFor(digits[i], row[i]), static_cast<std::uint32_t>(digits[i])) << i;
    }
}

TEST(SdlKeys, LettersFollowTheLayoutAndOtherScriptsTheirPlace) {
    // French: the key in the US 'Q' place types 'a' and is the A key, as on the original.
    EXPECT_EQ(VirtualKeyFor(SDLK_a, SDL_SCANCODE_Q), 0x41u);
    EXPECT_EQ(VirtualKeyFor(SDLK_m, SDL_SCANCODE_SEMICOLON), 0x4Du);
    EXPECT_EQ(VirtualKeyFor(SDLK_COMMA, SDL_SCANCODE_M), 0xBCu);
    // Russian: Cyrillic letters have no code of their own; their place gives the letter.
    EXPECT_EQ(VirtualKeyFor(0x444 /* ф */, SDL_SCANCODE_A), 0x41u);
    EXPECT_EQ(VirtualKeyFor(0x44F /* я */, SDL_SCANCODE_Z), 0x5Au);
    // German: ß and the umlauts sit on punctuation places.
    EXPECT_EQ(VirtualKeyFor(0xDF, SDL_SCANCODE_MINUS), 0xBDu);
    EXPECT_EQ(VirtualKeyFor(0xF6, SDL_SCANCODE_SEMICOLON), 0xBAu);
    EXPECT_EQ(VirtualKeyFor(0xE4, SDL_SCANCODE_APOSTROPHE), 0xDEu);
    EXPECT_EQ(VirtualKeyFor('<', SDL_SCANCODE_NONUSBACKSLASH), 0xE2u);
    // Named keys keep their codes whatever their place.
    EXPECT_EQ(VirtualKeyFor(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 27u);
    EXPECT_EQ(VirtualKeyFor(SDLK_LEFT, SDL_SCANCODE_LEFT), 0x25u);
}

TEST(SdlKeys, JapaneseKeyboardKeys) {
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL3), 0xDCu);  // yen
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1), 0xE2u);  // ro
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL4), 0x1Cu);  // henkan
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL5), 0x1Du);  // muhenkan
}

}  // namespace
