// Text on the back surface. A run is bracketed: SelectFont (or SelectFontByName) takes the back
// surface's device context and chooses a font, then colours and any number of text calls, then
// EndText gives the context back. Strings are UTF-8; coordinates are back-surface pixels.
//
// Calls that need a run do nothing without one. Opening a run while one is open ends the first.
// While BeginGdi holds the device context a run draws through it and leaves it held.
#pragma once

#include <cstdint>

#include "platform/display/display_types.h"

namespace elSystem {

// Kind 0 the Mincho face, 1 the Gothic face, any other keeps the face of the last selection.
// Height: > 0 the cell, < 0 the character, 0 the default. Angle in degrees anticlockwise.
// Weight 0 normal, 1 bold, any other the face's own.
void SelectFont(std::int32_t kind, std::int32_t height, std::int32_t angle, std::int32_t weight,
                std::int32_t italic, std::int32_t underline);
// A face name of letters, digits, blanks and '-' only asks for a Latin face, any other for a
// Japanese one. Names are cut to 31 bytes, between characters. A null name selects nothing.
void SelectFontByName(const char* face, std::int32_t height, std::int32_t angle,
                      std::int32_t weight, std::int32_t italic, std::int32_t underline);
// Ends the run and gives the back surface's device context back.
void EndText();

// Transparent not 0 leaves everything but the ink alone from now on in this run; 0 leaves the
// background mode as it is (a run starts opaque).
void SetTextColors(platform::ColorRef text, platform::ColorRef back, std::int32_t transparent);
// The text drawn with its top left at (x, y).
void PutText(std::int32_t x, std::int32_t y, const char* text);
// Alignment 0 left, 1 centre, 2 right, each line on its own; any other draws nothing. Lines
// wrap at blanks and between Japanese characters and are cut to the rectangle.
void DrawTextBox(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const char* text, std::int32_t alignment);
// The height DrawTextBox's lines would take in that rectangle (its width counts, not its
// height); 0 without a run or text.
std::int32_t MeasureTextHeight(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom, const char* text);

// A run of its own: the Gothic face at 12 pixels, white on dark blue.
void DrawDebugText(std::int32_t x, std::int32_t y, const char* text);
// Formatted into 255 bytes at most, cut between characters.
void DrawDebugFormat(std::int32_t x, std::int32_t y, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Once a frame: "<rate> fps ( max <highest> / min <lowest> )" at the top left, the rate counted
// over two-second windows.
void DrawFrameRate();

}  // namespace elSystem
