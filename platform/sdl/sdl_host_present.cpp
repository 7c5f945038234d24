// The desktop host's way from a finished frame to the screen, and the 60 Hz pace of passes.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>

#include "platform/sdl/sdl_host.h"
#include "platform/sdl/x11_window.h"

namespace platform {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;

// Graphics libraries that draw on the processor: scaling through them costs more than doing
// it ourselves, and their vertical sync is the clock's at best.
bool DrawsInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
    const std::string_view name = info.name != nullptr ? info.name : "";
    if (name == "software") return true;
    if (name.rfind("opengl", 0) != 0) return false;
    // The renderer's context is current on this thread once the renderer exists.
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr) return false;
    const auto* text = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (text == nullptr) return false;
    const std::string_view renderer_name(text);
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (renderer_name.find(software) != std::string_view::npos) return true;
    }
    return false;
}

bool ToNative(const SDL_PixelFormat* format, sdl::NativeFormat& native) {
    if (format == nullptr || format->palette != nullptr ||
        (format->BytesPerPixel != 2 && format->BytesPerPixel != 4)) {
        return false;
    }
    native.bytesPerPixel = format->BytesPerPixel;
    native.redShift = format->Rshift;
    native.greenShift = format->Gshift;
    native.blueShift = format->Bshift;
    native.redLoss = format->Rloss;
    native.greenLoss = format->Gloss;
    native.blueLoss = format->Bloss;
    native.alphaMask = format->Amask;
    return true;
}

}  // namespace

std::uint64_t SdlHost::ClockNanoseconds() {
    // The clock Milliseconds() reads, so that the pacer knows what the program will measure.
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

void SdlHost::ChoosePresentation() {
    presentation_ = Presentation::kNone;
    renderer_ =
        SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (renderer_ != nullptr && !DrawsInSoftware(renderer_)) {
        presentation_ = Presentation::kTexture;
        // Present with the display's vertical sync where the display says it runs at 60 Hz;
        // the first second of presents shows whether it really holds them there.
        SDL_DisplayMode mode;
        const int display = SDL_GetWindowDisplayIndex(window_);
        vsync_ = SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 &&
                 sdl::FramePacer::VsyncAgrees(mode.refresh_rate) &&
                 SDL_RenderSetVSync(renderer_, 1) == 0;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        return;
    }
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    vsync_ = false;
    // Without this SDL would put the window's pixels through the same graphics library.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    sdl::NativeFormat native;
    if (surface != nullptr && ToNative(surface->format, native)) {
        presentation_ = Presentation::kWindowPixels;
        return;
    }
    // A window format of our own we cannot write: let SDL's software renderer convert.
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ != nullptr) presentation_ = Presentation::kTexture;
}

void SdlHost::UpdatePointMapping() {
    if (window_ == nullptr) return;
    sdl::PointMapping mapping;
    mapping.pictureWidth = pictureWidth_;
    mapping.pictureHeight = pictureHeight_;
    SDL_GetWindowSize(window_, &mapping.windowWidth, &mapping.windowHeight);
    SDL_GetWindowSizeInPixels(window_, &mapping.outputWidth, &mapping.outputHeight);
    if (presentation_ == Presentation::kTexture && renderer_ != nullptr) {
        SDL_GetRendererOutputSize(renderer_, &mapping.outputWidth, &mapping.outputHeight);
    } else if (int width = 0, height = 0; sdl::X11WindowSize(window_, width, height)) {
        // X11 has no scaled points: the server's size is both.
        mapping.windowWidth = mapping.outputWidth = width;
        mapping.windowHeight = mapping.outputHeight = height;
    }
    const bool moved = mapping.outputWidth != mapping_.outputWidth ||
                       mapping.outputHeight != mapping_.outputHeight ||
                       mapping.windowWidth != mapping_.windowWidth ||
                       mapping.windowHeight != mapping_.windowHeight;
    mapping_ = mapping;
    if (moved) {
        redrawAll_ = true;
        ApplyCursorClip();
    }
}

bool SdlHost::WaitVerticalBlank() {
    if (vsync_) return true;  // the presentation itself waits for the 60 Hz blank
    // The wait is owed until the frame that follows it is on the screen: presenting (which
    // includes waiting for the display server to take the pixels) then happens before the
    // sleep, and every pass starts right at its 60 Hz time, however long that took. The
    // scene clocks count whole hundredths from the gaps between passes, so a gap stretched
    // past 20 ms by a slow present would count twice. Two waits without a frame between
    // them: the first is paid now.
    if (waitOwed_) FinishWait();
    waitOwed_ = true;
    return true;
}

void SdlHost::FinishWait() {
    if (!waitOwed_) return;
    waitOwed_ = false;
    const std::uint64_t wait = pacer_.TicksToWait(ClockNanoseconds());
    // The kernel's timer sleeps to within a fraction of a millisecond: no need to spin.
    if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    pacer_.Advance(ClockNanoseconds());
}

void SdlHost::PresentFrame(const FrameView& frame) {
    if (window_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
        FinishWait();
        return;
    }
    if (presentation_ == Presentation::kWindowPixels) {
        PresentToWindowPixels(frame);
    } else if (presentation_ == Presentation::kTexture) {
        PresentToTexture(frame);
    } else {
        FinishWait();
    }
}

void SdlHost::PresentToWindowPixels(const FrameView& frame) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    sdl::NativeFormat native;
    if (surface == nullptr || !ToNative(surface->format, native)) {
        FinishWait();
        return;
    }
    if (mapping_.outputWidth <= 0) UpdatePointMapping();
    if (surface != lastSurface_ || surface->w != lastSurfaceWidth_ ||
        surface->h != lastSurfaceHeight_) {
        redrawAll_ = true;  // new pixels, whatever the events said
        lastSurface_ = surface;
        lastSurfaceWidth_ = surface->w;
        lastSurfaceHeight_ = surface->h;
    }
    // SDL sizes its pixels by the size it believes in; draw only what the window really has.
    sdl::PixelTarget target;
    target.pixels = surface->pixels;
    target.pitch = surface->pitch;
    target.width = std::min(surface->w, mapping_.outputWidth);
    target.height = std::min(surface->h, mapping_.outputHeight);
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const std::vector<sdl::DirtyRect>& dirty =
        scaler_.Draw(frame, target, native, options_.filter, redrawAll_);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    redrawAll_ = false;
    if (!dirty.empty()) {  // otherwise the same picture as last time is already there
        std::vector<SDL_Rect> rects;
        rects.reserve(dirty.size());
        for (const sdl::DirtyRect& r : dirty) {
            rects.push_back(SDL_Rect{r.x, r.y, r.width, r.height});
        }
        SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
    }
    FinishWait();
}

bool SdlHost::PrepareScaling(int outputWidth, int outputHeight) {
    const sdl::Viewport view =
        sdl::FitViewport(outputWidth, outputHeight, pictureWidth_, pictureHeight_);
    if (options_.filter != sdl::ScaleFilter::kSharp || view.exact) return false;
    if (scaled_ == nullptr || scaledFactor_ != view.wholeFactor) {
        if (scaled_ != nullptr) SDL_DestroyTexture(scaled_);
        scaled_ =
            SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                              pictureWidth_ * view.wholeFactor, pictureHeight_ * view.wholeFactor);
        scaledFactor_ = view.wholeFactor;
        if (scaled_ == nullptr) return false;
        SDL_SetTextureScaleMode(scaled_, SDL_ScaleModeLinear);
    }
    return true;
}

void SdlHost::PresentToTexture(const FrameView& frame) {
    if (texture_ == nullptr) {
        // The renderer's own first format, so that the upload is a plain copy; the
        // conversion from 16 bits is ours, by table.
        SDL_RendererInfo info;
        Uint32 format = SDL_PIXELFORMAT_ARGB8888;
        if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.num_texture_formats > 0) {
            for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
                const Uint32 candidate = info.texture_formats[i];
                if (!SDL_ISPIXELFORMAT_FOURCC(candidate) && !SDL_ISPIXELFORMAT_INDEXED(candidate) &&
                    SDL_BYTESPERPIXEL(candidate) == 4) {
                    format = candidate;
                    break;
                }
            }
        }
        SDL_PixelFormat* described = SDL_AllocFormat(format);
        const bool known = ToNative(described, textureNative_);
        if (described != nullptr) SDL_FreeFormat(described);
        if (!known) {
            FinishWait();
            return;
        }
        texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, pictureWidth_,
                                     pictureHeight_);
        textureFormat_ = format;
        redrawAll_ = true;
        if (texture_ == nullptr) {
            FinishWait();
            return;
        }
    }
    // The texture holds the picture at its own size: a whole factor of one, a plain conversion.
    converted_.resize(static_cast<std::size_t>(pictureWidth_) * pictureHeight_);
    sdl::PixelTarget target{converted_.data(), pictureWidth_ * 4, pictureWidth_, pictureHeight_};
    FrameView picture = frame;
    picture.width = std::min(frame.width, pictureWidth_);
    picture.height = std::min(frame.height, pictureHeight_);
    const bool changed =
        !scaler_.Draw(picture, target, textureNative_, sdl::ScaleFilter::kNearest, redrawAll_)
             .empty();
    if (changed) SDL_UpdateTexture(texture_, nullptr, converted_.data(), pictureWidth_ * 4);
    redrawAll_ = false;

    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    const sdl::Viewport view =
        sdl::FitViewport(outputWidth, outputHeight, pictureWidth_, pictureHeight_);
    const SDL_Rect placed{view.x, view.y, view.width, view.height};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    if (PrepareScaling(outputWidth, outputHeight)) {
        // Sharp: whole-factor nearest into the intermediate picture, then a smooth fit.
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        SDL_SetRenderTarget(renderer_, scaled_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_SetRenderTarget(renderer_, nullptr);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, scaled_, nullptr, &placed);
    } else {
        SDL_SetTextureScaleMode(texture_, options_.filter == sdl::ScaleFilter::kLinear
                                              ? SDL_ScaleModeLinear
                                              : SDL_ScaleModeNearest);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &placed);
    }
    SDL_RenderPresent(renderer_);
    FinishWait();
    if (vsync_ &&
        vsyncCheck_.Presented(ClockNanoseconds()) == sdl::VsyncCheck::Verdict::kRejected) {
        // The blank did not hold passes at 60 a second: the clock paces from now on.
        SDL_RenderSetVSync(renderer_, 0);
        vsync_ = false;
        pacer_.Reset();
    }
}

}  // namespace platform
