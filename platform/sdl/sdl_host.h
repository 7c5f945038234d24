// The host for a real desktop: one SDL window showing the 640 x 480 picture letterboxed,
// passes paced at 60 Hz by the monotonic clock, the default audio device, message boxes.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/host.h"
#include "platform/sdl/sdl_host_factory.h"

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
    void Sleep(std::uint32_t milliseconds) override { SDL_Delay(milliseconds); }
    bool WaitVerticalBlank() override;
    void PresentFrame(const FrameView& frame) override;
    int ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    void Beep() override;
    void SetCursorVisible(bool visible) override;
    bool ClipCursor(const int* rect) override;
    bool OpenAudio(AudioSource* source) override;
    void CloseAudio() override;
    void LockAudio() override;
    void UnlockAudio() override;

  private:
    void Translate(const SDL_Event& event);
    void SetActive(bool active);
    static void AudioCallback(void* user, Uint8* stream, int length);

    SdlHostOptions options_;
    std::string unavailable_;
    bool initialised_ = true;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    Uint32 textureFormat_ = 0;
    SDL_AudioDeviceID audioDevice_ = 0;
    AudioSource* audioSource_ = nullptr;
    bool active_ = false;
    std::uint64_t nextFrameTick_ = 0;  // performance-counter time of the next 60 Hz blank
};

}  // namespace platform
