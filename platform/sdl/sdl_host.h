// The host for a real desktop: one SDL window showing the 640 x 480 picture letterboxed,
// passes paced at 60 Hz by the monotonic clock, the default audio device, message boxes, the
// keyboard's state and two joysticks.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/joysticks.h"
#include "platform/sdl/picture_scaler.h"
#include "platform/sdl/sdl_host_factory.h"
#include "platform/sdl/viewport.h"

namespace platform {

class SdlHost : public Host {
  public:
    explicit SdlHost(const SdlHostOptions& options = {});
    ~SdlHost() override;
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    // Empty when the host is usable; otherwise why there is no display.
    const std::string& unavailableReason() const { return unavailable_; }

    const char* Name() const override { return "sdl"; }
    bool CreateMainWindow(const WindowDesc& desc) override;
    void ShowMainWindow(int showCommand) override;
    void MinimizeMainWindow() override;
    void DestroyMainWindow() override;
    bool HasMainWindow() const override { return window_ != nullptr; }
    void PumpEvents() override;
    void WaitEvents() override;
    std::uint32_t Milliseconds() override;
    std::int64_t EpochSeconds() override;
    CalendarTime LocalTime() override;
    void Sleep(std::uint32_t milliseconds) override { SDL_Delay(milliseconds); }
    bool WaitVerticalBlank() override;
    void PresentFrame(const FrameView& frame) override;
    int ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    void Beep() override;
    void SetCursorVisible(bool visible) override;
    bool ClipCursor(const int* rect) override;
    SDL_Window* window() const { return window_; }
    void WarpPointer(int pictureX, int pictureY) override;
    bool KeyDown(std::uint32_t virtualKey) override;
    void RefreshJoysticks() override { joysticks_.Refresh(); }
    bool ReadJoystick(int slot, JoystickReading& reading) override {
        return joysticks_.Read(slot, reading);
    }
    // How window points relate to the picture just now.
    const sdl::PointMapping& pointMapping() const { return mapping_; }
    // How frames reach the window: our own scaling into the window's pixels, or a texture
    // that the graphics card scales. Known once the main window exists.
    enum class Presentation { kNone, kWindowPixels, kTexture };
    Presentation presentation() const { return presentation_; }
    bool OpenAudio(AudioSource* source) override;
    void CloseAudio() override;
    void LockAudio() override;
    void UnlockAudio() override;

  private:
    void Translate(const SDL_Event& event);
    // Keys that belong to the host: full screen on and off, screenshots.
    bool HandleHostKey(const SDL_KeyboardEvent& key);
    void ToggleFullScreen();
    void SaveScreenshot();
    void ApplyWindowedSize();
    void SetIcon(std::span<const std::uint8_t> png);
    bool PrepareScaling(int outputWidth, int outputHeight);
    void ChoosePresentation();
    void PresentToWindowPixels(const FrameView& frame);
    void PresentToTexture(const FrameView& frame);
    // Sleeps to the 60 Hz blank a WaitVerticalBlank asked for, if one is owed.
    void FinishWait();
    static std::uint64_t ClockNanoseconds();
    void UpdatePointMapping();
    void ApplyCursorClip();
    void PostMouse(std::uint32_t message, int x, int y);
    void SetActive(bool active);
    static void AudioCallback(void* user, Uint8* stream, int length);

    SdlHostOptions options_;
    std::string unavailable_;
    bool initialised_ = true;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* scaled_ = nullptr;  // the picture at a whole factor, for the sharp filter
    int scaledFactor_ = 0;
    Uint32 textureFormat_ = 0;
    sdl::NativeFormat textureNative_{};
    std::vector<std::uint32_t> converted_;  // the picture in the texture's format
    int pictureWidth_ = 640;
    int pictureHeight_ = 480;
    bool fullScreen_ = true;
    Presentation presentation_ = Presentation::kNone;
    sdl::PictureScaler scaler_;
    bool redrawAll_ = true;  // the window's pixels were lost or moved: draw everything
    const SDL_Surface* lastSurface_ = nullptr;  // the window's pixels drawn last time
    int lastSurfaceWidth_ = 0;
    int lastSurfaceHeight_ = 0;
    bool vsync_ = false;  // presenting waits for the display's 60 Hz blank (checked)
    sdl::VsyncCheck vsyncCheck_;
    bool waitOwed_ = false;  // a blank was asked for: it is slept to just before presenting
    sdl::PointMapping mapping_;
    bool clipped_ = false;
    int clipRect_[4] = {0, 0, 0, 0};  // in picture coordinates
    SDL_AudioDeviceID audioDevice_ = 0;
    AudioSource* audioSource_ = nullptr;
    bool active_ = false;
    sdl::FramePacer pacer_;
    sdl::Joysticks joysticks_;
};

}  // namespace platform
