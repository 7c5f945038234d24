#include "el/system/message_boxes.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "el/draw/display_state.h"
#include "el/draw/screen.h"
#include "el/draw/shutdown.h"
#include "el/system/build_settings.h"
#include "el/system/input_state.h"
#include "el/system/settings_files.h"
#include "platform/window.h"

namespace elSystem {
namespace {

constexpr const char* kCaption = "メッセージ";
// The line end that closes every text (two characters on the system the texts come from).
constexpr std::string_view kLineEnd = "\n";

std::string FormatText(const char* format, std::va_list args) {
    std::array<char, kMessageTextSize> text{};
    if (std::vsnprintf(text.data(), text.size(), format, args) < 0) text[0] = '\0';
    std::size_t used = std::strlen(text.data());
    const std::size_t limit = text.size() - 1 - kLineEnd.size();
    if (used > limit) {
        used = limit;
        // Never half a UTF-8 character at the end.
        while (used > 0 && (static_cast<unsigned char>(text[used]) & 0xC0) == 0x80) --used;
    }
    return std::string(text.data(), used).append(kLineEnd);
}

int ShowBox(const std::string& text, unsigned style) {
    elDraw::FlipToGdiSurface();
    if (CursorVisible == 0) {
        platform::ShowCursor(true);
        CursorVisible = 1;
    }
    // The window procedure keeps the cursor shown over the picture while this is 1.
    MessageBoxOpen = 1;
    const int answer = platform::MessageBox(text, kCaption, style);
    MessageBoxOpen = 0;
    return answer;
}

constexpr unsigned kOkStyle = platform::MB_OK | platform::MB_ICONWARNING | platform::MB_SYSTEMMODAL;
constexpr unsigned kYesNoStyle =
    platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_SYSTEMMODAL;

constexpr std::array<const char*, 4> kColorCounts = {"16", "256", "65536", "1670万"};

}  // namespace

void MessageOk(const char* format, ...) {
    if (format == nullptr) return;
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatText(format, args);
    va_end(args);
    ShowBox(text, kOkStyle);
}

std::int32_t MessageYesNo(const char* format, ...) {
    if (format == nullptr) return 0;
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatText(format, args);
    va_end(args);
    return ShowBox(text, kYesNoStyle) == platform::IDYES ? 1 : 0;
}

std::int32_t IsWindowed() {
    return FullScreen == 0 ? 1 : 0;
}

std::int32_t CheckColorDepthFor(const char* settingsName, const ColorDepthSituation& situation,
                                bool& switchToFullScreen) {
    switchToFullScreen = false;
    int level = 0;
    switch (situation.displayDepth) {
        case 8:
            level = 1;
            break;
        case 16:
            level = 2;
            break;
        case 24:
        case 32:
            level = 3;
            break;
        default:
            return 1;  // a depth nobody checks for
    }
    if (situation.fullScreen == 1) return 1;  // full screen sets its own mode
    if (situation.desktopDepth >= situation.displayDepth) return 1;

    MessageOk(
        "　ウィンドウ状態で実行しようとしていますが、"
        "画面が%s色以下に設定されています。\n"
        "正しく動作させるには、%s色以上に設定するか、"
        "フルスクリーンで実行させて下さい。",
        kColorCounts[static_cast<std::size_t>(level - 1)],
        kColorCounts[static_cast<std::size_t>(level)]);
    const std::string_view name = settingsName != nullptr ? settingsName : "";
    const char* question = nullptr;
    if (name == "*") {
        question = "フルスクリーンに切り換えますか？";
    } else if (!name.empty()) {
        question = "フルスクリーンに設定し直しますか？";
    }
    if (question == nullptr || MessageYesNo("%s", question) == 0) {
        elDraw::Shutdown();
        return 0;
    }
    if (name != "*") WriteIntFile(settingsName, 1);
    switchToFullScreen = true;
    return 1;
}

std::int32_t CheckColorDepth(const char* settingsName) {
    bool switchToFullScreen = false;
    // FullScreen is a constant of this build, and already 1: nothing could switch it.
    return CheckColorDepthFor(settingsName,
                              {FullScreen, elDraw::DisplayDepth, elDraw::GetColorDepth()},
                              switchToFullScreen);
}

}  // namespace elSystem
