#include "platform/headless/headless_host.h"

#include <algorithm>
#include <array>

#include "platform/system_info.h"

namespace platform {

HeadlessHost::HeadlessHost(std::int64_t epochSeconds, std::uint32_t startMilliseconds)
    : epochSeconds_(epochSeconds), startMilliseconds_(startMilliseconds) {}

bool HeadlessHost::CreateMainWindow(const WindowDesc& desc) {
    window_ = true;
    pictureWidth_ = std::max(1, desc.width);
    pictureHeight_ = std::max(1, desc.height);
    return true;
}

void HeadlessHost::ShowMainWindow(int) {
    // Showing a window makes its program the active application, as on a desktop.
    if (window_) PostMessage(WM_ACTIVATEAPP, 1, 0);
}

void HeadlessHost::ScheduleAt(std::uint64_t elapsedMs, const Msg& msg) {
    scheduled_.emplace(elapsedMs, msg);
    DeliverDue();
}

void HeadlessHost::DeliverDue() {
    while (!scheduled_.empty() && scheduled_.begin()->first <= elapsedMs_) {
        const Msg msg = scheduled_.begin()->second;
        scheduled_.erase(scheduled_.begin());
        PostInput(msg);
    }
}

void HeadlessHost::PostInput(const Msg& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            SetKeyDown(static_cast<std::uint32_t>(msg.wParam), true);
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SetKeyDown(static_cast<std::uint32_t>(msg.wParam), false);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetKeyDown(1, true);
            break;
        case WM_LBUTTONUP:
            SetKeyDown(1, false);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            SetKeyDown(2, true);
            break;
        case WM_RBUTTONUP:
            SetKeyDown(2, false);
            break;
        default:
            break;
    }
    PostMessage(msg.message, msg.wParam, msg.lParam);
}

void HeadlessHost::SetKeyDown(std::uint32_t virtualKey, bool down) {
    if (virtualKey < keys_.size()) keys_[virtualKey] = down;
}

bool HeadlessHost::KeyDown(std::uint32_t virtualKey) {
    return virtualKey < keys_.size() && keys_[virtualKey];
}

void HeadlessHost::WarpPointer(int pictureX, int pictureY) {
    pointerX_ = std::clamp(pictureX, 0, pictureWidth_ - 1);
    pointerY_ = std::clamp(pictureY, 0, pictureHeight_ - 1);
    PostMessage(
        WM_MOUSEMOVE, 0,
        MakeLParam(static_cast<std::uint16_t>(pointerX_), static_cast<std::uint16_t>(pointerY_)));
}

void HeadlessHost::SetJoystick(int slot, std::uint32_t x, std::uint32_t y, std::uint32_t buttons) {
    if (slot < 0 || slot >= kJoystickSlots) return;
    JoystickReading& joystick = joysticks_[static_cast<std::size_t>(slot)];
    if (!joystick.present) {
        joystick.present = true;
        joystick.connection = ++connections_;
    }
    joystick.x = std::min<std::uint32_t>(x, 65535);
    joystick.y = std::min<std::uint32_t>(y, 65535);
    joystick.buttons = buttons;
}

void HeadlessHost::UnplugJoystick(int slot) {
    if (slot >= 0 && slot < kJoystickSlots) joysticks_[static_cast<std::size_t>(slot)] = {};
}

bool HeadlessHost::ReadJoystick(int slot, JoystickReading& reading) {
    reading = {};
    if (slot < 0 || slot >= kJoystickSlots) return false;
    reading = joysticks_[static_cast<std::size_t>(slot)];
    return reading.present;
}

void HeadlessHost::RenderAudioUpTo(std::uint64_t elapsedMs) {
    const std::uint64_t target = elapsedMs * kAudioRate / 1000;
    std::array<std::int16_t, 2 * 1024> chunk{};
    while (audioFramesRendered_ < target) {
        const std::size_t frames = static_cast<std::size_t>(
            std::min<std::uint64_t>(target - audioFramesRendered_, chunk.size() / 2));
        if (audio_ != nullptr) {
            audio_->Render(chunk.data(), frames);
        } else {
            chunk.fill(0);
        }
        if (onAudio) onAudio(chunk.data(), frames);
        audioFramesRendered_ += frames;
    }
}

void HeadlessHost::AdvanceClock(std::uint64_t ms) {
    elapsedMs_ += ms;
    RenderAudioUpTo(elapsedMs_);
    DeliverDue();
}

void HeadlessHost::PumpEvents() {
    DeliverDue();
}

void HeadlessHost::WaitEvents() {
    if (HasPendingMessage()) return;
    if (scheduled_.empty()) {
        // Nothing can ever wake the program: end the run instead of hanging.
        stalled_ = true;
        PostQuitMessage(0);
        return;
    }
    AdvanceClock(scheduled_.begin()->first - elapsedMs_);
}

std::uint32_t HeadlessHost::Milliseconds() {
    return static_cast<std::uint32_t>(startMilliseconds_ + elapsedMs_);
}

std::int64_t HeadlessHost::EpochSeconds() {
    // In unsigned arithmetic: a start near the end of the 64-bit range wraps like any counter
    // instead of overflowing.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(epochSeconds_) + elapsedMs_ / 1000);
}

CalendarTime HeadlessHost::LocalTime() {
    return CalendarAt(EpochSeconds(), false);
}

bool HeadlessHost::WaitVerticalBlank() {
    if (failVerticalBlanks_ > 0) {
        --failVerticalBlanks_;
        return false;
    }
    // The next 60 Hz boundary after now: boundary k lies at floor(k * 1000 / 60) ms.
    std::uint64_t k = elapsedMs_ * 60 / 1000 + 1;
    while (k * 1000 / 60 <= elapsedMs_) ++k;
    ++verticalBlanks_;
    AdvanceClock(k * 1000 / 60 - elapsedMs_);
    return true;
}

void HeadlessHost::PresentFrame(const FrameView& frame) {
    if (onFrame) onFrame(frame);
}

int HeadlessHost::ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) {
    int answer = UnansweredResult(style);
    const unsigned buttons = style & 0x0F;
    if (buttons == MB_YESNO || buttons == MB_OKCANCEL) {
        if (!messageBoxAnswers.empty()) {
            const int scripted = messageBoxAnswers.front();
            messageBoxAnswers.pop_front();
            const bool fits = buttons == MB_YESNO ? (scripted == IDYES || scripted == IDNO)
                                                  : (scripted == IDOK || scripted == IDCANCEL);
            if (fits) answer = scripted;
        }
    }
    boxes_.push_back(RecordedBox{std::string(caption), std::string(text), style, answer});
    if (onMessageBox) onMessageBox(boxes_.back());
    return answer;
}

bool HeadlessHost::ClipCursor(const int* rect) {
    cursorClipped_ = rect != nullptr;
    return true;
}

bool HeadlessHost::OpenAudio(AudioSource* source) {
    if (audioDeviceMissing) return false;
    audio_ = source;
    return true;
}

}  // namespace platform
