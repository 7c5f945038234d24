#include "platform/sdl/sdl_host.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/messages.h"
#include "platform/sdl/sdl_keys.h"

namespace platform {

std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string* whyNot) {
    auto host = std::make_unique<SdlHost>(options);
    if (!host->unavailableReason().empty()) {
        if (whyNot != nullptr) *whyNot = host->unavailableReason();
        return nullptr;
    }
    return host;
}

std::unique_ptr<Host> CreateSdlHost() {
    std::string whyNot;
    auto host = CreateSdlHost(SdlHostOptions{}, &whyNot);
    if (!host) std::fprintf(stderr, "greeting: %s\n", whyNot.c_str());
    return host;
}

namespace {

bool AskedFor(const char* driver) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked != nullptr && std::string_view(asked) == driver;
}

}  // namespace

SdlHost::SdlHost(const SdlHostOptions& options) : options_(options) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        unavailable_ =
            "no display to show the greeting on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
            "greeting-render makes a video of it instead";
        initialised_ = false;
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        unavailable_ = std::string("no display to show the greeting on (") + SDL_GetError() +
                       "); greeting-render makes a video of it instead";
        initialised_ = false;
        return;
    }
    // SDL falls back to an invisible driver when there is no display; an invisible run is
    // never what someone who started the player wants, so only take one when asked for it.
    const char* driver = SDL_GetCurrentVideoDriver();
    for (const char* invisible : {"offscreen", "dummy"}) {
        if (driver != nullptr && std::string_view(driver) == invisible && !AskedFor(invisible)) {
            unavailable_ =
                "no display to show the greeting on (set DISPLAY or WAYLAND_DISPLAY); "
                "greeting-render makes a video of it instead";
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
            initialised_ = false;
            return;
        }
    }
}

SdlHost::~SdlHost() {
    CloseAudio();
    DestroyMainWindow();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool SdlHost::CreateMainWindow(const WindowDesc& desc) {
    if (!unavailable_.empty()) return false;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (desc.fullScreen && !options_.windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               desc.width, desc.height, flags);
    if (window_ == nullptr) return false;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
        DestroyMainWindow();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_RenderSetLogicalSize(renderer_, desc.width, desc.height);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    return true;
}

void SdlHost::ShowMainWindow(int) {
    if (window_ == nullptr) return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SetActive(true);
}

void SdlHost::MinimizeMainWindow() {
    if (window_ != nullptr) SDL_MinimizeWindow(window_);
}

void SdlHost::DestroyMainWindow() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
}

void SdlHost::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    PostMessage(WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

void SdlHost::Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            PostMessage(WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    PostMessage(WM_CLOSE, 0, 0);
                    break;
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    SetActive(true);
                    break;
                case SDL_WINDOWEVENT_HIDDEN:
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    SetActive(false);
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    PostMessage(WM_MOVE, 0,
                                MakeLParam(static_cast<std::uint16_t>(event.window.data1),
                                           static_cast<std::uint16_t>(event.window.data2)));
                    break;
                default:
                    break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const std::uint32_t key = sdl::VirtualKeyFor(event.key.keysym.sym);
            if (key == 0) break;
            const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 || key == 0x12 || key == 0x79;
            const bool down = event.type == SDL_KEYDOWN;
            const std::uint32_t message =
                alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            PostMessage(message, key, event.key.repeat ? 0x40000000 : 0);
            break;
        }
        case SDL_MOUSEMOTION:
            PostMessage(WM_SETCURSOR, 0, 1);
            PostMessage(WM_MOUSEMOVE, 0,
                        MakeLParam(static_cast<std::uint16_t>(event.motion.x),
                                   static_cast<std::uint16_t>(event.motion.y)));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            const LParam where = MakeLParam(static_cast<std::uint16_t>(event.button.x),
                                            static_cast<std::uint16_t>(event.button.y));
            if (event.button.button == SDL_BUTTON_LEFT) {
                PostMessage(down ? (event.button.clicks == 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN)
                                 : WM_LBUTTONUP,
                            0, where);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                PostMessage(down ? (event.button.clicks == 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN)
                                 : WM_RBUTTONUP,
                            0, where);
            }
            break;
        }
        default:
            break;
    }
}

void SdlHost::PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) Translate(event);
}

void SdlHost::WaitEvents() {
    SDL_Event event;
    // A sleeping program still wakes now and then, so that a host signal is never missed.
    if (SDL_WaitEventTimeout(&event, 250)) Translate(event);
    PumpEvents();
}

std::uint32_t SdlHost::Milliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::int64_t SdlHost::EpochSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

bool SdlHost::WaitVerticalBlank() {
    // The library waits for the blank of a 60 Hz display; pace to that on any monitor.
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    const std::uint64_t period = frequency / 60;
    std::uint64_t now = SDL_GetPerformanceCounter();
    if (nextFrameTick_ == 0 || now > nextFrameTick_ + period) nextFrameTick_ = now;
    while (now < nextFrameTick_) {
        const std::uint64_t remainingMs = (nextFrameTick_ - now) * 1000 / frequency;
        if (remainingMs > 1) SDL_Delay(static_cast<Uint32>(remainingMs - 1));
        now = SDL_GetPerformanceCounter();
    }
    nextFrameTick_ += period;
    return true;
}

void SdlHost::PresentFrame(const FrameView& frame) {
    if (renderer_ == nullptr || frame.pixels == nullptr) return;
    const Uint32 format =
        frame.layout == PixelLayout::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
    if (texture_ == nullptr || textureFormat_ != format) {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                     frame.height);
        textureFormat_ = format;
        if (texture_ == nullptr) return;
    }
    SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch * 2);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

int SdlHost::ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) {
    const std::string captionText(caption);
    const std::string bodyText(text);
    std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
    const bool yesNo = (style & 0x0F) == MB_YESNO;
    const bool okCancel = (style & 0x0F) == MB_OKCANCEL;
    SDL_MessageBoxButtonData buttons[2];
    int count = 1;
    if (yesNo) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "はい"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "いいえ"};
        count = 2;
    } else if (okCancel) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "キャンセル"};
        count = 2;
    } else {
        buttons[0] = {
            SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
            "OK"};
    }
    const SDL_MessageBoxData data{
        (style & MB_ICONWARNING) ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION,
        window_,
        captionText.c_str(),
        bodyText.c_str(),
        count,
        buttons,
        nullptr};
    int answer = IDOK;
    if (SDL_ShowMessageBox(&data, &answer) != 0) return (yesNo ? IDYES : IDOK);
    if (answer < 0) answer = yesNo ? IDNO : (okCancel ? IDCANCEL : IDOK);
    // The box's own loop swallowed the pacing; do not make the next pass catch up.
    nextFrameTick_ = 0;
    return answer;
}

void SdlHost::Beep() {
    // A desktop without a bell: the box that follows is the signal.
}

void SdlHost::SetCursorVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlHost::ClipCursor(const int* rect) {
    if (window_ == nullptr) return false;
    if (rect == nullptr) return SDL_SetWindowMouseRect(window_, nullptr) == 0;
    const SDL_Rect area{rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1]};
    return SDL_SetWindowMouseRect(window_, &area) == 0;
}

void SdlHost::AudioCallback(void* user, Uint8* stream, int length) {
    auto* self = static_cast<SdlHost*>(user);
    auto* samples = reinterpret_cast<std::int16_t*>(stream);
    const std::size_t frames = static_cast<std::size_t>(length) / 4;
    if (self->audioSource_ != nullptr && !self->options_.mute) {
        self->audioSource_->Render(samples, frames);
    } else {
        std::memset(stream, 0, static_cast<std::size_t>(length));
    }
}

bool SdlHost::OpenAudio(AudioSource* source) {
    CloseAudio();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "greeting: no sound device (%s); the greeting plays silent\n",
                     SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kAudioRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlHost::AudioCallback;
    want.userdata = this;
    audioSource_ = source;
    audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (audioDevice_ == 0) {
        std::fprintf(stderr, "greeting: no sound device (%s); the greeting plays silent\n",
                     SDL_GetError());
        audioSource_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(audioDevice_, 0);
    return true;
}

void SdlHost::CloseAudio() {
    if (audioDevice_ == 0) return;
    SDL_CloseAudioDevice(audioDevice_);
    audioDevice_ = 0;
    audioSource_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlHost::LockAudio() {
    if (audioDevice_ != 0) SDL_LockAudioDevice(audioDevice_);
}

void SdlHost::UnlockAudio() {
    if (audioDevice_ != 0) SDL_UnlockAudioDevice(audioDevice_);
}

}  // namespace platform
