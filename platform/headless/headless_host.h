// The deterministic host: a virtual clock that only the vertical-blank wait (and an explicit
// advance) moves, scripted messages, keys and joysticks, frames and audio handed to the caller
// as they come, and message boxes recorded and answered from a script instead of shown. Tests
// and the offline renderer run on it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/messages.h"

namespace platform {

class HeadlessHost : public Host {
  public:
    // The default start of the virtual wall clock: 2000-01-01 00:00:00 UTC.
    static constexpr std::int64_t kDefaultEpochSeconds = 946684800;

    explicit HeadlessHost(std::int64_t epochSeconds = kDefaultEpochSeconds,
                          std::uint32_t startMilliseconds = 0);

    struct RecordedBox {
        std::string caption;
        std::string text;
        unsigned style;
        int answer;
    };

    // Called with every presented frame, as it comes; nothing is kept.
    std::function<void(const FrameView&)> onFrame;
    // Called with the mix as the virtual clock moves (interleaved stereo, 44100 Hz).
    std::function<void(const std::int16_t*, std::size_t frames)> onAudio;
    // Called with every message box as it is raised (the renderer prints them).
    std::function<void(const RecordedBox&)> onMessageBox;

    const std::vector<RecordedBox>& messageBoxes() const { return boxes_; }
    // Answers for the boxes that ask (IDYES or IDNO, IDOK or IDCANCEL), taken in order. A box
    // left without a fitting answer gets UnansweredResult: No, or Cancel. An OK box needs none.
    std::deque<int> messageBoxAnswers;

    // Posts msg when the virtual clock reaches elapsedMs (counted from the host's creation).
    void ScheduleAt(std::uint64_t elapsedMs, const Msg& msg);
    // Posts an input message now, and keeps the key state it implies: a key or mouse button
    // is down from its down message to its up message.
    void PostInput(const Msg& msg);
    void SetKeyDown(std::uint32_t virtualKey, bool down);
    // Where the program last put the pointer (picture coordinates).
    int pointerX() const { return pointerX_; }
    int pointerY() const { return pointerY_; }

    // No joystick until one is set: the first setting of a slot plugs a joystick in there.
    void SetJoystick(int slot, std::uint32_t x, std::uint32_t y, std::uint32_t buttons);
    void UnplugJoystick(int slot);
    int joystickRefreshes() const { return joystickRefreshes_; }
    // Moves the virtual clock on, delivering scheduled messages and rendering audio.
    void AdvanceClock(std::uint64_t ms);
    std::uint64_t elapsedMs() const { return elapsedMs_; }
    // The number of vertical-blank waits so far; the next one ends at the next 60 Hz boundary.
    std::uint64_t verticalBlanks() const { return verticalBlanks_; }
    // The next `count` vertical-blank waits fail (and take no time).
    void FailVerticalBlanks(int count) { failVerticalBlanks_ = count; }
    // True once WaitEvents found nothing that could ever wake the program.
    bool stalled() const { return stalled_; }
    bool cursorVisible() const { return cursorVisible_; }
    bool audioOpen() const { return audio_ != nullptr; }
    // Makes OpenAudio fail, as a machine without a sound device does.
    bool audioDeviceMissing = false;

    const char* Name() const override { return "headless"; }
    bool CreateMainWindow(const WindowDesc& desc) override;
    void ShowMainWindow(int showCommand) override;
    void MinimizeMainWindow() override { minimized_ = true; }
    void DestroyMainWindow() override { window_ = false; }
    bool HasMainWindow() const override { return window_; }
    void PumpEvents() override;
    void WaitEvents() override;
    std::uint32_t Milliseconds() override;
    std::int64_t EpochSeconds() override;
    // The virtual wall clock in UTC: the same calendar in every time zone.
    CalendarTime LocalTime() override;
    void Sleep(std::uint32_t milliseconds) override { AdvanceClock(milliseconds); }
    void PollPause() override { AdvanceClock(1); }
    bool WaitVerticalBlank() override;
    void PresentFrame(const FrameView& frame) override;
    int ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    void Beep() override { ++beeps_; }
    void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool ClipCursor(const int* rect) override;
    // Moves the virtual pointer and tells the program, as a real pointer's move would.
    void WarpPointer(int pictureX, int pictureY) override;
    bool KeyDown(std::uint32_t virtualKey) override;
    void RefreshJoysticks() override { ++joystickRefreshes_; }
    bool ReadJoystick(int slot, JoystickReading& reading) override;
    bool OpenAudio(AudioSource* source) override;
    void CloseAudio() override { audio_ = nullptr; }
    void LockAudio() override {}
    void UnlockAudio() override {}

    int beeps() const { return beeps_; }
    bool cursorClipped() const { return cursorClipped_; }
    bool minimized() const { return minimized_; }

  private:
    void DeliverDue();
    void RenderAudioUpTo(std::uint64_t elapsedMs);

    std::int64_t epochSeconds_;
    std::uint32_t startMilliseconds_;
    std::uint64_t elapsedMs_ = 0;
    std::uint64_t verticalBlanks_ = 0;
    std::uint64_t audioFramesRendered_ = 0;
    int failVerticalBlanks_ = 0;
    bool window_ = false;
    bool minimized_ = false;
    bool stalled_ = false;
    bool cursorVisible_ = true;
    bool cursorClipped_ = false;
    int beeps_ = 0;
    int pictureWidth_ = 640;
    int pictureHeight_ = 480;
    int pointerX_ = 0;
    int pointerY_ = 0;
    std::array<bool, 256> keys_{};
    std::array<JoystickReading, kJoystickSlots> joysticks_{};
    std::uint32_t connections_ = 0;
    int joystickRefreshes_ = 0;
    AudioSource* audio_ = nullptr;
    std::multimap<std::uint64_t, Msg> scheduled_;
    std::vector<RecordedBox> boxes_;
};

}  // namespace platform
