#include "platform/sdl/sdl_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/messages.h"
#include "platform/png_file.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/x11_window.h"
#include "platform/system_info.h"

namespace platform {

std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string* whyNot) {
    auto host = std::make_unique<SdlHost>(options);
    if (!host->unavailableReason().empty()) {
        if (whyNot != nullptr) *whyNot = host->unavailableReason();
        return nullptr;
    }
    return host;
}

namespace {

bool AskedFor(const char* driver) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked != nullptr && std::string_view(asked) == driver;
}

}  // namespace

SdlHost::SdlHost(const SdlHostOptions& options)
    : options_(options), vsyncCheck_(1'000'000'000), pacer_(1'000'000'000) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        unavailable_ = "no display to show the " + options.program +
                       " on (neither DISPLAY nor WAYLAND_DISPLAY is set); " + options.program +
                       "-render makes a video of it instead";
        initialised_ = false;
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        unavailable_ = "no display to show the " + options.program + " on (" + SDL_GetError() +
                       "); " + options.program + "-render makes a video of it instead";
        initialised_ = false;
        return;
    }
    // SDL falls back to an invisible driver when there is no display; an invisible run is
    // never what someone who started the player wants, so only take one when asked for it.
    const char* driver = SDL_GetCurrentVideoDriver();
    for (const char* invisible : {"offscreen", "dummy"}) {
        if (driver != nullptr && std::string_view(driver) == invisible && !AskedFor(invisible)) {
            unavailable_ = "no display to show the " + options.program +
                           " on (set DISPLAY or WAYLAND_DISPLAY); " + options.program +
                           "-render makes a video of it instead";
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
            initialised_ = false;
            return;
        }
    }
    // Xlib would end the program through exit(), whose handlers wait on the dead display.
    sdl::EndOnDisplayLoss(1);
}

SdlHost::~SdlHost() {
    CloseAudio();
    joysticks_.Close();
    DestroyMainWindow();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool SdlHost::CreateMainWindow(const WindowDesc& desc) {
    if (!unavailable_.empty()) return false;
    pictureWidth_ = desc.width;
    pictureHeight_ = desc.height;
    fullScreen_ = desc.fullScreen && !options_.windowed;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen_) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               desc.width, desc.height, flags);
    if (window_ == nullptr) return false;
    SetIcon(desc.icon);
    ChoosePresentation();
    if (presentation_ == Presentation::kNone) {
        DestroyMainWindow();
        return false;
    }
    // After the renderer: making one may create the window anew, at its first place.
    if (!fullScreen_) ApplyWindowedSize();
    UpdatePointMapping();
    return true;
}

void SdlHost::SetIcon(std::span<const std::uint8_t> png) {
    if (png.empty()) return;
    const std::optional<RgbaImage> icon = ReadPngRgba(png);
    if (!icon) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(icon->pixels.data()), icon->width, icon->height, 32,
        icon->width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

void SdlHost::ApplyWindowedSize() {
    SDL_Rect usable{0, 0, pictureWidth_, pictureHeight_};
    const int display = SDL_GetWindowDisplayIndex(window_);
    SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable);
    int factor = sdl::LargestWholeFactor(usable.w, usable.h, pictureWidth_, pictureHeight_);
    if (options_.scale > 0) factor = options_.scale;
    const int width = pictureWidth_ * factor;
    const int height = pictureHeight_ * factor;
    SDL_SetWindowSize(window_, width, height);
    // Centred by our own sums: SDL centres by the size it had before the resize took effect,
    // which without a window manager leaves a larger window partly off the screen.
    SDL_SetWindowPosition(window_, usable.x + std::max(0, (usable.w - width) / 2),
                          usable.y + std::max(0, (usable.h - height) / 2));
}

void SdlHost::ToggleFullScreen() {
    if (window_ == nullptr) return;
    fullScreen_ = !fullScreen_;
    SDL_SetWindowFullscreen(window_, fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullScreen_) ApplyWindowedSize();
    pacer_.Reset();
    vsyncCheck_.Restart();
    UpdatePointMapping();
    redrawAll_ = true;
}

void SdlHost::SaveScreenshot() {
    // The scaler keeps the frame on the screen to find the rows that change: save that one.
    const std::vector<std::uint16_t>& shown = scaler_.picture();
    if (shown.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(options_.screenshotDir, error);
    // A name nobody has taken: the time, then a counter if two come in the same second.
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::string path;
    for (int n = 0; n < 1000; ++n) {
        char name[64];
        if (n == 0) {
            std::snprintf(name, sizeof name, "%s-%s.png", options_.program.c_str(), stamp);
        } else {
            std::snprintf(name, sizeof name, "%s-%s-%d.png", options_.program.c_str(), stamp, n);
        }
        path = (std::filesystem::path(options_.screenshotDir) / name).string();
        if (!std::filesystem::exists(path, error)) break;
    }
    FrameView frame;
    frame.pixels = shown.data();
    frame.width = scaler_.pictureWidth();
    frame.height = scaler_.pictureHeight();
    frame.pitch = frame.width;
    frame.layout = scaler_.pictureLayout();
    std::string why;
    // Past a file-size limit the write fails with EFBIG and says so, instead of SIGXFSZ
    // ending the whole player.
    struct sigaction ignore {};
    struct sigaction before {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &before);
    const bool saved = WriteFramePng(path, frame, &why);
    sigaction(SIGXFSZ, &before, nullptr);
    if (saved) {
        std::fprintf(stderr, "%s: saved %s\n", options_.program.c_str(), path.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", options_.program.c_str(), why.c_str());
    }
}

bool SdlHost::HandleHostKey(const SDL_KeyboardEvent& key) {
    const SDL_Keycode code = key.keysym.sym;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    const bool toggle = code == SDLK_F11 || (alt && (code == SDLK_RETURN || code == SDLK_KP_ENTER));
    if (!toggle && code != SDLK_PRINTSCREEN) return false;
    if (key.type == SDL_KEYDOWN && !key.repeat) {
        if (toggle) {
            ToggleFullScreen();
        } else {
            SaveScreenshot();
        }
    }
    return true;
}

void SdlHost::ShowMainWindow(int) {
    if (window_ == nullptr) return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    UpdatePointMapping();
    SetActive(true);
}

void SdlHost::MinimizeMainWindow() {
    if (window_ != nullptr) SDL_MinimizeWindow(window_);
}

void SdlHost::DestroyMainWindow() {
    if (scaled_ != nullptr) SDL_DestroyTexture(scaled_);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    scaled_ = nullptr;
    scaledFactor_ = 0;
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    presentation_ = Presentation::kNone;
    lastSurface_ = nullptr;
    scaler_ = sdl::PictureScaler();
    mapping_ = sdl::PointMapping();
    redrawAll_ = true;
    waitOwed_ = false;
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
                    UpdatePointMapping();
                    redrawAll_ = true;
                    SetActive(true);
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    SetActive(true);
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_RESIZED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    // SDL makes the window's pixels anew: nothing of the last frame is there.
                    redrawAll_ = true;
                    UpdatePointMapping();
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    UpdatePointMapping();
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                    redrawAll_ = true;
                    break;
                case SDL_WINDOWEVENT_HIDDEN:
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    SetActive(false);
                    break;
                default:
                    break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (HandleHostKey(event.key)) break;
            const std::uint32_t key =
                sdl::VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode);
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
            PostMouse(WM_MOUSEMOVE, event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            const bool twice = event.button.clicks == 2;
            if (event.button.button == SDL_BUTTON_LEFT) {
                PostMouse(down ? (twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP,
                          event.button.x, event.button.y);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                PostMouse(down ? (twice ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP,
                          event.button.x, event.button.y);
            }
            break;
        }
        case SDL_JOYDEVICEADDED:
            joysticks_.DeviceAdded(event.jdevice.which);
            break;
        case SDL_JOYDEVICEREMOVED:
            joysticks_.DeviceRemoved(event.jdevice.which);
            break;
        default:
            break;
    }
}

void SdlHost::PostMouse(std::uint32_t message, int x, int y) {
    // The program knows only its 640 x 480 picture, wherever and however large it is shown.
    if (mapping_.outputWidth <= 0) UpdatePointMapping();
    int pictureX = 0;
    int pictureY = 0;
    sdl::WindowToPicture(mapping_, x, y, pictureX, pictureY);
    PostMessage(
        message, 0,
        MakeLParam(static_cast<std::uint16_t>(pictureX), static_cast<std::uint16_t>(pictureY)));
}

void SdlHost::WarpPointer(int pictureX, int pictureY) {
    if (window_ == nullptr) return;
    if (mapping_.outputWidth <= 0) UpdatePointMapping();
    int x = 0;
    int y = 0;
    sdl::PictureToWindow(mapping_, pictureX, pictureY, x, y);
    SDL_WarpMouseInWindow(window_, x, y);
}

bool SdlHost::KeyDown(std::uint32_t virtualKey) {
    if (virtualKey == 1 || virtualKey == 2) {
        const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
        return (buttons & (virtualKey == 1 ? SDL_BUTTON_LMASK : SDL_BUTTON_RMASK)) != 0;
    }
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    return sdl::AnyKeyDownFor(virtualKey, keys, count);
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

CalendarTime SdlHost::LocalTime() {
    return CalendarAt(EpochSeconds(), true);
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
        (style & 0xF0) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION,
        window_,
        captionText.c_str(),
        bodyText.c_str(),
        count,
        buttons,
        nullptr};
    int answer = IDOK;
    // A box that cannot be shown has agreed to nothing.
    if (SDL_ShowMessageBox(&data, &answer) != 0) return UnansweredResult(style);
    if (answer < 0) answer = UnansweredResult(style);  // closed without a button
    // The box's own loop swallowed the pacing; do not make the next pass catch up.
    pacer_.Reset();
    vsyncCheck_.Restart();
    redrawAll_ = true;
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
    clipped_ = rect != nullptr;
    if (clipped_) std::copy(rect, rect + 4, clipRect_);
    ApplyCursorClip();
    return true;
}

void SdlHost::ApplyCursorClip() {
    if (window_ == nullptr) return;
    int area[4];
    // The rectangle is the picture's; on the screen it is wherever the picture is now.
    if (!clipped_ || !sdl::PictureRectToWindow(mapping_, clipRect_, area)) {
        SDL_SetWindowMouseRect(window_, nullptr);
        return;
    }
    const SDL_Rect onScreen{area[0], area[1], area[2] - area[0], area[3] - area[1]};
    SDL_SetWindowMouseRect(window_, &onScreen);
}

void SdlHost::AudioCallback(void* user, Uint8* stream, int length) {
    auto* self = static_cast<SdlHost*>(user);
    auto* samples = reinterpret_cast<std::int16_t*>(stream);
    const std::size_t frames = static_cast<std::size_t>(length) / 4;
    if (self->audioSource_ != nullptr) {
        self->audioSource_->Render(samples, frames);
        if (self->options_.volume < 100) {
            const int volume = std::max(0, self->options_.volume);
            for (std::size_t i = 0; i < frames * 2; ++i)
                samples[i] = static_cast<std::int16_t>(samples[i] * volume / 100);
        }
    } else {
        std::memset(stream, 0, static_cast<std::size_t>(length));
    }
}

// The sound library underneath prints its own complaints when a machine has no sound card;
// the player says it once, in one line, so those are kept off the terminal while it looks.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 2);
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_ = -1;
};

bool SdlHost::OpenAudio(AudioSource* source) {
    CloseAudio();
    if (options_.mute) return false;  // asked for silence: the show plays without sound
    bool initialised = false;
    {
        const QuietStderr quiet;
        initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (initialised) {
            SDL_AudioSpec want{};
            want.freq = kAudioRate;
            want.format = AUDIO_S16SYS;
            want.channels = 2;
            want.samples = 512;  // about 12 ms: small enough that a fade follows the picture
            want.callback = &SdlHost::AudioCallback;
            want.userdata = this;
            audioSource_ = source;
            audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        }
    }
    if (!initialised) {
        std::fprintf(stderr, "%s: no sound device (%s); it plays silent\n",
                     options_.program.c_str(), SDL_GetError());
        return false;
    }
    if (audioDevice_ == 0) {
        std::fprintf(stderr, "%s: no sound device (%s); it plays silent\n",
                     options_.program.c_str(), SDL_GetError());
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
