#include "el/effects/clip_wipe.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "el/draw/clip_rect.h"
#include "el/system/frame_timing.h"
#include "platform/crt.h"

namespace elDraw {

namespace {

using Wide = std::int64_t;

// Edges move in 64 bits and saturate, so a clip near the 32-bit limits cannot wrap round and
// send an edge the wrong way.
std::int32_t Saturate(Wide v) {
    return static_cast<std::int32_t>(std::clamp<Wide>(v, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max()));
}

// Halfway from low to high, rounded toward low's side as the integer division falls.
std::int32_t Middle(std::int32_t low, std::int32_t high) {
    return static_cast<std::int32_t>((Wide{high} - low) / 2 + low);
}

struct Span {
    std::int32_t low;
    std::int32_t high;
};

// The slit of types 8 and 9 across low..high: band wide about the middle, but never reaching
// outside the saved clip, which would let blits draw where the caller's clip forbids.
Span Slit(std::int32_t low, std::int32_t high) {
    const Wide mid = Middle(low, high);
    const Wide half = std::max(WipeBand, 0) / 2;
    return {Saturate(std::max<Wide>(mid - half, low)), Saturate(std::min<Wide>(mid + half, high))};
}

// Pixels each moving edge travels this frame. The product may be NaN, negative or enormous
// (a stalled frame, a bad speed); it is held to 1..(width + height + 1) of the saved clip,
// which is enough to finish any shape and keeps the edge arithmetic small.
Wide StepLength() {
    const Wide width = std::llabs(Wide{WipeRect.right} - WipeRect.left);
    const Wide height = std::llabs(Wide{WipeRect.bottom} - WipeRect.top);
    const Wide most = width + height + 1;
    double pixels = static_cast<double>(elSystem::FrameDelta) * static_cast<double>(WipeSpeed);
    if (!(pixels > 0.0)) pixels = 0.0;
    if (pixels >= static_cast<double>(most)) return most;
    return std::min<Wide>(static_cast<Wide>(pixels) + 1, most);
}

bool SameRect(const platform::Rect& a, const platform::Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Spreads a pair outward; as soon as either edge reaches its saved value both take theirs, so
// an uneven split still lands exactly on the saved clip. True once the pair is home.
bool OpenPair(std::int32_t& low, std::int32_t& high, std::int32_t savedLow, std::int32_t savedHigh,
              Wide d) {
    if (low == savedLow && high == savedHigh) return true;
    low = Saturate(low - d);
    high = Saturate(high + d);
    if (low <= savedLow || high >= savedHigh) {
        low = savedLow;
        high = savedHigh;
        return true;
    }
    return false;
}

// Draws a pair inward until they meet or cross, then parks both on the middle.
void CloseToMiddle(std::int32_t& low, std::int32_t& high, std::int32_t mid, Wide d) {
    if (low == high) return;
    low = Saturate(low + d);
    high = Saturate(high - d);
    if (high <= low) low = high = mid;
}

// Narrows a pair onto the slit; both land on it as soon as either edge gets there.
void NarrowToSlit(std::int32_t& low, std::int32_t& high, Span slit, Wide d) {
    low = Saturate(low + d);
    high = Saturate(high - d);
    if (low >= slit.low || high <= slit.high) {
        low = slit.low;
        high = slit.high;
    }
}

// Pinches a pair shut; true once the edges have met or crossed.
bool Pinch(std::int32_t& low, std::int32_t& high, Wide d) {
    low = Saturate(low + d);
    high = Saturate(high - d);
    return high <= low;
}

bool StepOpening(platform::Rect& c, const platform::Rect& r, Wide d) {
    switch (WipeType) {
        case 1:
            c.top = Saturate(c.top - d);
            if (c.top > r.top) return false;
            c.top = r.top;
            return true;
        case 2:
            c.bottom = Saturate(c.bottom + d);
            if (c.bottom < r.bottom) return false;
            c.bottom = r.bottom;
            return true;
        case 3:
            c.left = Saturate(c.left - d);
            if (c.left > r.left) return false;
            c.left = r.left;
            return true;
        case 4:
            c.right = Saturate(c.right + d);
            if (c.right < r.right) return false;
            c.right = r.right;
            return true;
        case 5:
            return OpenPair(c.top, c.bottom, r.top, r.bottom, d);
        case 6:
            return OpenPair(c.left, c.right, r.left, r.right, d);
        case 7:
            OpenPair(c.left, c.right, r.left, r.right, d);
            OpenPair(c.top, c.bottom, r.top, r.bottom, d);
            break;
        case 8:
            // The slit grows to full height first; only then does it widen.
            if (c.top != r.top || c.bottom != r.bottom) {
                OpenPair(c.top, c.bottom, r.top, r.bottom, d);
            } else {
                OpenPair(c.left, c.right, r.left, r.right, d);
            }
            break;
        default:
            if (c.left != r.left || c.right != r.right) {
                OpenPair(c.left, c.right, r.left, r.right, d);
            } else {
                OpenPair(c.top, c.bottom, r.top, r.bottom, d);
            }
            break;
    }
    return SameRect(c, r);
}

bool StepClosing(platform::Rect& c, const platform::Rect& r, Wide d) {
    switch (WipeType) {
        case 1:
            c.top = Saturate(c.top + d);
            return c.top >= r.bottom;
        case 2:
            c.bottom = Saturate(c.bottom - d);
            return c.bottom <= r.top;
        case 3:
            c.left = Saturate(c.left + d);
            return c.left >= r.right;
        case 4:
            c.right = Saturate(c.right - d);
            return c.right <= r.left;
        case 5:
            return Pinch(c.top, c.bottom, d);
        case 6:
            return Pinch(c.left, c.right, d);
        case 7:
            CloseToMiddle(c.left, c.right, Middle(r.left, r.right), d);
            CloseToMiddle(c.top, c.bottom, Middle(r.top, r.bottom), d);
            return c.left == c.right && c.top == c.bottom;
        case 8: {
            // The slit narrows until both edges sit on it (not merely one, which would leave
            // it lopsided), and only then does it close from top and bottom.
            const Span slit = Slit(r.left, r.right);
            if (c.left != slit.low || c.right != slit.high) {
                NarrowToSlit(c.left, c.right, slit, d);
                return false;
            }
            return Pinch(c.top, c.bottom, d);
        }
        default: {
            const Span slit = Slit(r.top, r.bottom);
            if (c.top != slit.low || c.bottom != slit.high) {
                NarrowToSlit(c.top, c.bottom, slit, d);
                return false;
            }
            return Pinch(c.left, c.right, d);
        }
    }
}

}  // namespace

int StartWipe(std::int32_t closing, std::int32_t type, float speed, std::int32_t band) {
    if (WipeState >= 1) return 0;
    if (type == 0) type = crt::rand() % kWipeTypeCount + 1;
    if (type < 1 || type > kWipeTypeCount) return 0;

    if (WipeState == -1) ClipRect = WipeRect;
    WipeRect = ClipRect;
    WipeOpened = 0;
    WipeClosed = 0;
    WipeClosing = closing;
    WipeType = type;
    WipeSpeed = speed;
    WipeBand = band;

    if (closing != 0) {
        WipeState = 2;
        return 1;
    }
    WipeState = 1;
    platform::Rect& c = ClipRect;
    const std::int32_t hmid = Middle(WipeRect.left, WipeRect.right);
    const std::int32_t vmid = Middle(WipeRect.top, WipeRect.bottom);
    switch (type) {
        case 1:
            c.top = c.bottom;
            break;
        case 2:
            c.bottom = c.top;
            break;
        case 3:
            c.left = c.right;
            break;
        case 4:
            c.right = c.left;
            break;
        case 5:
            c.top = c.bottom = vmid;
            break;
        case 6:
            c.left = c.right = hmid;
            break;
        case 7:
            c.left = c.right = hmid;
            c.top = c.bottom = vmid;
            break;
        case 8: {
            const Span slit = Slit(WipeRect.left, WipeRect.right);
            c.left = slit.low;
            c.right = slit.high;
            c.top = c.bottom = vmid;
            break;
        }
        default: {
            const Span slit = Slit(WipeRect.top, WipeRect.bottom);
            c.top = slit.low;
            c.bottom = slit.high;
            c.left = c.right = hmid;
            break;
        }
    }
    return 1;
}

int StepWipe() {
    if (WipeState < 1) return 0;
    const Wide d = StepLength();
    if (WipeState == 1) {
        if (StepOpening(ClipRect, WipeRect, d)) {
            WipeState = 0;
            WipeOpened = 1;
        }
    } else if (StepClosing(ClipRect, WipeRect, d)) {
        WipeState = -1;
        WipeClosed = 1;
    }
    return 1;
}

void CollapseClip() {
    // While a wipe runs or the clip is already closed, ClipRect is only part of the picture and
    // WipeRect holds the whole; saving the part would lose the full clip for good.
    if (WipeState == 0) WipeRect = ClipRect;
    ClipRect = {WipeRect.left, WipeRect.top, WipeRect.left, WipeRect.top};
    WipeState = -1;
}

void CancelWipe() {
    if (WipeState <= 0) return;
    ClipRect = WipeRect;
    WipeState = 0;
}

}  // namespace elDraw
