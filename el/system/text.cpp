#include "el/system/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "el/draw/screen_dc.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/text_state.h"
#include "platform/clock.h"
#include "platform/text/text_draw.h"
#include "platform/text/utf8.h"

namespace elSystem {
namespace {

using platform::text::kShiftJisCharset;

constexpr std::int32_t kFwNormal = 400;
constexpr std::int32_t kFwBold = 700;
constexpr std::size_t kDebugTextSize = 256;
constexpr std::uint32_t kFrameRateWindowMs = 2000;
constexpr std::int32_t kMaxFramesCounted = 999;

void SetFaceName(std::string_view name) {
    Font->lfFaceName.fill('\0');
    const std::size_t length = platform::text::CutLength(name, kFaceNameSize - 1);
    std::memcpy(Font->lfFaceName.data(), name.data(), length);
}

// The rest of the description, as both selections write it.
void Describe(std::int32_t height, std::int32_t angle, std::int32_t weight, std::int32_t italic,
              std::int32_t underline) {
    Font->lfHeight = height;
    Font->lfWidth = 0;
    // A whole number of turns changes nothing; taking them off keeps angle x 10 in range.
    Font->lfEscapement = angle % 360 * 10;
    Font->lfWeight = weight == 0 ? kFwNormal : weight == 1 ? kFwBold : 0;
    Font->lfItalic = static_cast<std::uint8_t>(italic);
    Font->lfUnderline = static_cast<std::uint8_t>(underline);
}

void OpenRun() {
    if (TextRunOpen != 0) EndText();
    TextRunOpen = 1;
    TextRunOwnsDC = 0;
    if (!elDraw::ScreenDeviceContext && elDraw::GetScreenDC() == platform::DD_OK) {
        TextRunOwnsDC = 1;
    }
    TextColor = 0x000000;
    TextBackColor = 0xFFFFFF;
    TextTransparent = 0;
    platform::text::FontSpec spec;
    spec.face = Font->lfFaceName.data();
    spec.height = Font->lfHeight;
    spec.escapement = Font->lfEscapement;
    spec.weight = Font->lfWeight;
    spec.italic = Font->lfItalic != 0;
    spec.underline = Font->lfUnderline != 0;
    spec.charset = Font->lfCharSet;
    TextRunFont = platform::text::OpenFont(spec);
}

// The surface the run draws on; null when it has no device context (any more).
platform::Surface* RunSurface() {
    if (TextRunOpen == 0 || !TextRunFont || !elDraw::ScreenDeviceContext) return nullptr;
    return elDraw::ScreenDeviceContext->surface();
}

platform::text::TextColours RunColours() {
    return {TextColor, TextBackColor, TextTransparent != 0};
}

bool IsLatinName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == ' ' || c == '-';
    });
}

}  // namespace

void SelectFont(std::int32_t kind, std::int32_t height, std::int32_t angle, std::int32_t weight,
                std::int32_t italic, std::int32_t underline) {
    if (!Font) return;  // no screen set up: nothing to draw on
    if (kind == 0) SetFaceName(platform::text::kMinchoName);
    if (kind == 1) SetFaceName(platform::text::kGothicName);
    Describe(height, angle, weight, italic, underline);
    Font->lfCharSet = kShiftJisCharset;
    OpenRun();
}

void SelectFontByName(const char* face, std::int32_t height, std::int32_t angle,
                      std::int32_t weight, std::int32_t italic, std::int32_t underline) {
    if (!Font || face == nullptr) return;
    SetFaceName(face);
    Describe(height, angle, weight, italic, underline);
    Font->lfCharSet =
        IsLatinName(Font->lfFaceName.data()) ? platform::text::kAnsiCharset : kShiftJisCharset;
    OpenRun();
}

void EndText() {
    if (TextRunOpen == 0) return;
    if (TextRunOwnsDC != 0) elDraw::ReleaseScreenDC();
    TextRunOpen = 0;
    TextRunOwnsDC = 0;
    TextRunFont.reset();
}

void SetTextColors(platform::ColorRef text, platform::ColorRef back, std::int32_t transparent) {
    if (RunSurface() == nullptr) return;
    TextColor = text;
    TextBackColor = back;
    if (transparent != 0) TextTransparent = 1;
}

void PutText(std::int32_t x, std::int32_t y, const char* text) {
    platform::Surface* surface = RunSurface();
    if (surface == nullptr || text == nullptr) return;
    platform::text::TextOut(*surface, *TextRunFont, x, y, text, RunColours());
}

void DrawTextBox(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 const char* text, std::int32_t alignment) {
    using namespace platform::text;
    platform::Surface* surface = RunSurface();
    if (surface == nullptr || text == nullptr || alignment < 0 || alignment > 2) return;
    constexpr std::uint32_t kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    DrawText(surface, *TextRunFont, {left, top, right, bottom}, text,
             DT_WORDBREAK | DT_NOPREFIX | kAlign[alignment], RunColours());
}

std::int32_t MeasureTextHeight(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom, const char* text) {
    using namespace platform::text;
    if (TextRunOpen == 0 || !TextRunFont || text == nullptr) return 0;
    return DrawText(nullptr, *TextRunFont, {left, top, right, bottom}, text,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX, RunColours());
}

void DrawDebugText(std::int32_t x, std::int32_t y, const char* text) {
    SelectFont(1, 12, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x800000, 0);
    PutText(x, y, text);
    EndText();
}

void DrawDebugFormat(std::int32_t x, std::int32_t y, const char* format, ...) {
    if (format == nullptr) return;
    char text[kDebugTextSize];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) >= sizeof text) {
        // The buffer cut the text; do not leave half a character at its end.
        text[platform::text::WithoutCutCharacter(std::string_view(text, sizeof text - 1))] = '\0';
    }
    DrawDebugText(x, y, text);
}

void DrawFrameRate() {
    const std::uint32_t now = platform::timeGetTime();
    // Compared across the clock's wrap: the deadline is never more than two seconds ahead.
    if (static_cast<std::int32_t>(now - FpsDeadline) >= 0) {
        FrameRate = static_cast<float>(FramesCounted) / 2.0f;
        if (FrameRate > HighestFrameRate) HighestFrameRate = FrameRate;
        if (FrameRate > 0 && FrameRate < LowestFrameRate) LowestFrameRate = FrameRate;
        FpsDeadline = now + kFrameRateWindowMs;
        FramesCounted = 0;
    }
    FramesCounted = std::min(FramesCounted + 1, kMaxFramesCounted);
    std::snprintf(FrameRateText.data(), FrameRateText.size(), "%3.1f fps ( max %3.1f / min %3.1f )",
                  static_cast<double>(FrameRate), static_cast<double>(HighestFrameRate),
                  static_cast<double>(LowestFrameRate));
    DrawDebugText(0, 0, FrameRateText.data());
}

}  // namespace elSystem
