// Reading UTF-8 text a character at a time, and cutting it without splitting a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::text {

inline constexpr char32_t kReplacement = 0xFFFD;

// The character at `at`, moving `at` past it. A byte that starts no well-formed sequence reads
// as U+FFFD and is passed over alone, so broken text still shows everything around it.
char32_t NextCharacter(std::string_view text, std::size_t& at);

// The length of the longest start of `text` of at most maxBytes bytes that does not end inside
// a character.
std::size_t CutLength(std::string_view text, std::size_t maxBytes);

// The length of text without the start of a character that was cut short at its end (as a
// bounded formatting call leaves one).
std::size_t WithoutCutCharacter(std::string_view text);

}  // namespace platform::text
