#include "show/transitions.h"

#include "el/draw/blits.h"
#include "el/draw/present.h"
#include "el/draw/screen.h"
#include "el/system/c_runtime.h"
#include "el/system/scroll_page_state.h"
#include "show/scene_state.h"
#include "show/scroll_page.h"

namespace show {
namespace {

using elDraw::BlitOpaque;

constexpr std::int32_t kCapture = 1;  // the reserved object that holds the old picture

// A random shift in -(k + 1)..k for the jittered rows and bands. Past the reveal's length
// (StartReveal10 on a short reveal) k is negative: the formula still holds, with C's remainder
// by a negative number, except at k = -1, where it would divide by zero and there is no shift.
std::int32_t Jitter(std::int32_t k) {
    if (k == -1) return 0;
    const std::int64_t wide = k;  // 2k + 2 in 64 bits: no overflow for any length
    return static_cast<std::int32_t>(elSystem::rand() % (2 * wide + 2) - (wide + 1));
}

void DrawReveal(std::int32_t style, std::int32_t t) {
    const std::int32_t W = elDraw::ScreenWidth;
    const std::int32_t H = elDraw::ScreenHeight;
    const std::int32_t L = TransitionLength;
    const std::int32_t s = L - t + 1;
    const std::int32_t k = L - t;
    switch (style) {
        case 1:
        case 3:
            for (std::int32_t y = 0; y < H; ++y) {
                if (y % t == 0) continue;
                BlitOpaque(style == 3 ? Jitter(k) : 0, y, kCapture, 0, y, W, y + 1);
            }
            break;
        case 2:
        case 4:
            for (std::int32_t y = 0; y < H; y += L) {
                BlitOpaque(style == 4 ? Jitter(k) : 0, y, kCapture, 0, y, W, y + t + 1);
            }
            break;
        case 5:
            BlitOpaque(0, (-H / L) * s, kCapture, 0, 0, W, H);
            break;
        case 6:
            BlitOpaque(0, (H / L) * s, kCapture, 0, 0, W, H);
            break;
        case 7:
            BlitOpaque((-W / L) * s, 0, kCapture, 0, 0, W, H);
            break;
        case 8:
            BlitOpaque((W / L) * s, 0, kCapture, 0, 0, W, H);
            break;
        case 9:
            BlitOpaque(0, ((-H) / 2 / L) * s, kCapture, 0, 0, W, H / 2);
            BlitOpaque(0, H / 2 + (H / 2 / L) * s, kCapture, 0, H / 2, W, H);
            break;
        case 10:
            BlitOpaque(((-W) / 2 / L) * s, 0, kCapture, 0, 0, W / 2, H);
            BlitOpaque(W / 2 + (W / 2 / L) * s, 0, kCapture, W / 2, 0, W, H);
            break;
        case 11:
            BlitOpaque(0, 0, kCapture, 0, 0, (W / L) * t, H);
            break;
        case 12: {
            const std::int32_t x = (W / L) * s;
            BlitOpaque(x, 0, kCapture, x, 0, W, H);
            break;
        }
        default:
            break;
    }
}

void DrawCover(std::int32_t t) {
    // Without a tile strip of its own (none set, or its load failed) a cover lays no tiles: the
    // reserved objects are not tiles.
    if (elSystem::TileObject < 2) return;
    for (std::int32_t j = 0; j < 10; ++j) {
        for (std::int32_t i = 0; i < 10; ++i) {
            elDraw::BlitKeyed(64 * j, 48 * i, elSystem::TileObject, 64 * (t - 1), 0,
                              64 * (t - 1) + 64, 48);
        }
    }
}

void StepTransition() {
    TransitionCounter += TransitionDirection;
    if ((TransitionDirection == -1 && TransitionCounter < 1) ||
        (TransitionDirection == 1 && TransitionCounter > 10)) {
        TransitionCounter = 0;
        TransitionDirection = 0;
    }
}

}  // namespace

void StartCover() {
    TransitionCounter = 1;
    TransitionDirection = 1;
}

void StartReveal10() {
    TransitionCounter = 10;
    TransitionDirection = -1;
}

void ChangeScene(std::int32_t scene) {
    if (TransitionStyle == 0) {
        NextScene = scene;
        StartCover();
        return;
    }
    if (TransitionStyle != 13) {
        elDraw::CaptureScreen(kCapture, 0, 0, elDraw::ScreenWidth, elDraw::ScreenHeight);
    }
    SceneNumber = scene;
    PreviousScene = 0;
    TransitionCounter = TransitionLength > 0 ? TransitionLength : 0;  // no steps below 1
    TransitionDirection = -1;
}

void EndFrame() {
    if (TransitionCounter != 0) {
        if (TransitionStyle == 0) {
            DrawCover(TransitionCounter);
        } else if (TransitionLength >= 1 && TransitionCounter >= 1) {
            // The patterns divide and step by the length and the step: without them a reveal
            // draws nothing (and a length below 1 would step a band loop backwards forever).
            DrawReveal(TransitionStyle, TransitionCounter);
        }
        StepTransition();
    }
    DrawScrollPage();
    elDraw::PresentFrame();
}

}  // namespace show
