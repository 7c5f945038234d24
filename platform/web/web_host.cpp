#include "platform/web/web_host.h"

#include <emscripten.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/headless/headless_host.h"
#include "platform/messages.h"
#include "platform/system_info.h"
#include "platform/web/web_page.h"

namespace platform {

namespace {

WebHost* audioHost = nullptr;  // the host whose mix the page's audio callback pulls

// 16-bit pixels to the canvas's R G B A bytes, each component widened by bit replication as
// in every other place a frame leaves the program.
std::vector<std::uint32_t> MakePalette(PixelLayout layout) {
    std::vector<std::uint32_t> palette(65536);
    const int greenBits = layout == PixelLayout::Rgb565 ? 6 : 5;
    for (std::uint32_t p = 0; p < palette.size(); ++p) {
        const std::uint32_t r5 = (p >> (5 + greenBits)) & 31;
        const std::uint32_t g = (p >> 5) & ((1u << greenBits) - 1);
        const std::uint32_t b5 = p & 31;
        const std::uint32_t r = (r5 << 3) | (r5 >> 2);
        const std::uint32_t gg = greenBits == 6 ? ((g << 2) | (g >> 4)) : ((g << 3) | (g >> 2));
        const std::uint32_t b = (b5 << 3) | (b5 >> 2);
        palette[p] = r | (gg << 8) | (b << 16) | 0xFF000000u;  // little-endian RGBA
    }
    return palette;
}

}  // namespace

WebHost::WebHost(const WebHostOptions& options) : options_(options), pacer_(1'000'000) {
    startMicroseconds_ = NowMicroseconds();
}

WebHost::~WebHost() {
    CloseAudio();
}

std::uint64_t WebHost::NowMicroseconds() {
    return static_cast<std::uint64_t>(emscripten_get_now() * 1000.0);
}

bool WebHost::CreateMainWindow(const WindowDesc& desc) {
    web_page_set_title(desc.title.c_str());
    window_ = true;
    return true;
}

void WebHost::ShowMainWindow(int) {
    if (!window_ || active_) return;
    active_ = true;
    PostMessage(WM_ACTIVATEAPP, 1, 0);
}

void WebHost::Translate(const std::array<std::int32_t, 4>& e) {
    using namespace web;
    const auto at = [&](int x, int y) {
        return MakeLParam(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
    };
    switch (e[0]) {
        case kKeyDown:
        case kKeyUp: {
            const bool down = e[0] == kKeyDown;
            const bool alt = e[3] != 0 || e[1] == 0x12 || e[1] == 0x79;
            const std::uint32_t message =
                alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            PostMessage(message, static_cast<WParam>(e[1]), e[2] != 0 ? 0x40000000 : 0);
            break;
        }
        case kPointerMove:
            PostMessage(WM_SETCURSOR, 0, 1);
            PostMessage(WM_MOUSEMOVE, 0, at(e[1], e[2]));
            break;
        case kButtonDown:
            PostMessage(e[1] == 2 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, at(e[2], e[3]));
            break;
        case kButtonUp:
            PostMessage(e[1] == 2 ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at(e[2], e[3]));
            break;
        case kDoubleClick:
            PostMessage(e[1] == 2 ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK, 0, at(e[2], e[3]));
            break;
        case kClose:
            PostMessage(WM_CLOSE, 0, 0);
            break;
        case kActive:
            if ((e[1] != 0) != active_) {
                active_ = e[1] != 0;
                PostMessage(WM_ACTIVATEAPP, active_ ? 1 : 0, 0);
                pacer_.Reset();  // a hidden page has no animation frames to keep time by
            }
            break;
        default:
            break;
    }
}

void WebHost::PumpEvents() {
    std::array<std::int32_t, 4> event{};
    while (web_page_next_event(event.data()) != 0) Translate(event);
}

void WebHost::WaitEvents() {
    // Wakes now and then even without an event, as the desktop host does.
    web_page_wait_event(250);
    PumpEvents();
}

std::uint32_t WebHost::Milliseconds() {
    if (options_.steadyClock) return static_cast<std::uint32_t>(steadyMs_);
    return static_cast<std::uint32_t>(NowMicroseconds() / 1000);
}

std::int64_t WebHost::EpochSeconds() {
    if (options_.steadyClock) {
        return HeadlessHost::kDefaultEpochSeconds + static_cast<std::int64_t>(steadyMs_ / 1000);
    }
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

CalendarTime WebHost::LocalTime() {
    return CalendarAt(EpochSeconds(), !options_.steadyClock);
}

void WebHost::Sleep(std::uint32_t milliseconds) {
    if (options_.steadyClock) {
        steadyMs_ += milliseconds;
        emscripten_sleep(0);  // still let the page run
        return;
    }
    emscripten_sleep(milliseconds);
}

bool WebHost::WaitVerticalBlank() {
    const std::uint64_t called = NowMicroseconds();
    if (passStart_ != 0) {
        web_page_pass_done(static_cast<double>(called - passStart_) / 1000.0);
    }
    // Always one animation frame, so that the page paints and takes input between passes;
    // then more while the 60 Hz blank is a whole frame away (a 120 or 144 Hz display), and
    // the last part of the wait on the timer.
    web_page_wait_frame();
    if (options_.steadyClock) {
        // The next 60 Hz boundary: boundary k lies at floor(k * 1000 / 60) ms.
        std::uint64_t k = steadyMs_ * 60 / 1000 + 1;
        while (k * 1000 / 60 <= steadyMs_) ++k;
        steadyMs_ = k * 1000 / 60;
    }
    std::uint64_t lastFrame = called;
    while (!options_.steadyClock) {
        const std::uint64_t now = NowMicroseconds();
        const std::uint64_t wait = pacer_.TicksToWait(now);
        if (wait == 0) break;
        const std::uint64_t frameTime = now - lastFrame;
        if (wait > frameTime / 2 && wait > 4000) {
            lastFrame = now;
            web_page_wait_frame();
        } else {
            emscripten_sleep(static_cast<unsigned>((wait + 999) / 1000));
        }
    }
    const std::uint32_t previousMs = passStartMs_;
    passStart_ = NowMicroseconds();
    pacer_.Advance(passStart_);
    passStartMs_ = Milliseconds();
    // The show's clocks count the hundredths of each gap, as the renderer's count one a pass:
    // the renderer's frame for this moment, however late the page's passes came.
    showMoment_ += showMoment_ == 0 ? 1 : sdl::FramePacer::HundredthsIn(passStartMs_ - previousMs);
    web_page_pass_started(showMoment_);
    return true;
}

void WebHost::PresentFrame(const FrameView& frame) {
    if (!window_ || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
    if (palette_.empty() || layout_ != frame.layout) {
        layout_ = frame.layout;
        palette_ = MakePalette(layout_);
    }
    rgba_.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        const std::uint16_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        std::uint32_t* out = rgba_.data() + static_cast<std::ptrdiff_t>(y) * frame.width;
        for (int x = 0; x < frame.width; ++x) out[x] = palette_[row[x]];
    }
    web_page_present(rgba_.data(), frame.width, frame.height);
}

int WebHost::ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) {
    const std::string captionText(caption);
    const std::string bodyText(text);
    std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
    const bool yesNo = (style & 0x0F) == MB_YESNO;
    const bool okCancel = (style & 0x0F) == MB_OKCANCEL;
    const int answer =
        web_page_message_box(captionText.c_str(), bodyText.c_str(), yesNo || okCancel ? 1 : 0);
    pacer_.Reset();  // the box held the page up: no catching up afterwards
    if (answer < 0) return UnansweredResult(style);
    if (yesNo) return answer == 1 ? IDYES : IDNO;
    if (okCancel) return answer == 1 ? IDOK : IDCANCEL;
    return IDOK;
}

void WebHost::SetCursorVisible(bool visible) {
    web_page_cursor(visible ? 1 : 0);
}

bool WebHost::KeyDown(std::uint32_t virtualKey) {
    return web_page_key_down(virtualKey) != 0;
}

bool WebHost::OpenAudio(AudioSource* source) {
    CloseAudio();
    if (web_page_open_audio() == 0) {
        std::fprintf(stderr, "%s: no sound in this browser; it plays silent\n",
                     program_invocation_short_name);
        return false;
    }
    audioSource_ = source;
    audioHost = this;
    return true;
}

void WebHost::CloseAudio() {
    if (audioSource_ == nullptr) return;
    web_page_close_audio();
    audioSource_ = nullptr;
    if (audioHost == this) audioHost = nullptr;
}

const std::int16_t* WebHost::RenderAudio(int frames) {
    audio_.assign(static_cast<std::size_t>(frames < 0 ? 0 : frames) * 2, 0);
    if (audioSource_ != nullptr && frames > 0)
        audioSource_->Render(audio_.data(), static_cast<std::size_t>(frames));
    return audio_.data();
}

}  // namespace platform

// The page's audio callback calls this between the program's turns.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* web_host_render_audio(int frames) {
    static std::vector<std::int16_t> silence;
    if (platform::audioHost == nullptr) {
        silence.assign(static_cast<std::size_t>(frames < 0 ? 0 : frames) * 2, 0);
        return silence.data();
    }
    return platform::audioHost->RenderAudio(frames);
}
