#include "platform/text/utf8.h"

namespace platform::text {

char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // Unicode's table of well-formed sequences: no overlong forms, no surrogates, nothing past
    // U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    bool wellFormed = length != 0 && text.size() - at >= length;
    for (std::size_t i = 1; wellFormed && i < length; ++i) {
        const unsigned char next = byte(i);
        wellFormed = i == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        code = (code << 6) | (next & 0x3F);
    }
    if (!wellFormed) {
        ++at;
        return kReplacement;
    }
    at += length;
    return code;
}

std::size_t CutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return length;
}

std::size_t WithoutCutCharacter(std::string_view text) {
    std::size_t start = text.size();
    std::size_t following = 0;
    while (start > 0 && following < 3 &&
           (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
        ++following;
    }
    if (start == 0) return text.size();
    const unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return following + 1 < needed ? start - 1 : text.size();
}

}  // namespace platform::text
