// The host for a browser page: the picture on a canvas, passes paced at 60 Hz by the page's
// animation frames, the page's keyboard, pointer and touch events as window messages, and the
// sound pulled from the mixer by Web Audio. The page's side of it is web_host.js.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/host.h"
#include "platform/sdl/frame_pacer.h"

namespace platform {

struct WebHostOptions {
    // The program's clock moves only as it waits, by a 60th of a second at each blank, and the
    // calendar starts where the renderer's does: the page then shows the renderer's frames,
    // however late the browser's animation frames come. For a page that checks itself.
    bool steadyClock = false;
};

class WebHost : public Host {
  public:
    explicit WebHost(const WebHostOptions& options = {});
    ~WebHost() override;
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    const char* Name() const override { return "web"; }
    bool CreateMainWindow(const WindowDesc& desc) override;
    void ShowMainWindow(int showCommand) override;
    void MinimizeMainWindow() override {}
    void DestroyMainWindow() override { window_ = false; }
    bool HasMainWindow() const override { return window_; }
    void PumpEvents() override;
    void WaitEvents() override;
    std::uint32_t Milliseconds() override;
    std::int64_t EpochSeconds() override;
    CalendarTime LocalTime() override;
    void Sleep(std::uint32_t milliseconds) override;
    void PollPause() override {
        if (options_.steadyClock) ++steadyMs_;
    }
    bool WaitVerticalBlank() override;
    void PresentFrame(const FrameView& frame) override;
    int ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    void Beep() override {}
    void SetCursorVisible(bool visible) override;
    bool ClipCursor(const int*) override { return window_; }  // a page cannot hold the pointer
    void WarpPointer(int, int) override {}                    // nor move it
    bool KeyDown(std::uint32_t virtualKey) override;
    void RefreshJoysticks() override {}
    bool ReadJoystick(int, JoystickReading& reading) override {
        reading = {};
        return false;
    }
    bool OpenAudio(AudioSource* source) override;
    void CloseAudio() override;
    // One thread: the page's audio callback runs between the program's turns, never during.
    void LockAudio() override {}
    void UnlockAudio() override {}

    // The page's audio callback: `frames` frames of the mix, or silence when none is open.
    const std::int16_t* RenderAudio(int frames);

  private:
    void Translate(const std::array<std::int32_t, 4>& event);
    static std::uint64_t NowMicroseconds();

    WebHostOptions options_;
    bool window_ = false;
    bool active_ = false;
    PixelLayout layout_ = PixelLayout::Rgb565;
    std::vector<std::uint32_t> palette_;  // 16-bit pixel -> RGBA bytes, for layout_
    std::vector<std::uint32_t> rgba_;     // the frame as the canvas takes it
    std::vector<std::int16_t> audio_;
    AudioSource* audioSource_ = nullptr;
    sdl::FramePacer pacer_;
    std::uint64_t startMicroseconds_ = 0;
    std::uint64_t passStart_ = 0;    // when the pass now running began
    std::uint32_t passStartMs_ = 0;  // the same on the program's clock
    std::uint64_t showMoment_ = 0;
    std::uint64_t steadyMs_ = 0;  // the steady clock's milliseconds since the start
};

}  // namespace platform
