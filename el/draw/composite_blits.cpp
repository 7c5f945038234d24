#include "el/draw/composite_blits.h"

#include <algorithm>
#include <limits>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/composite_motion.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/system/c_runtime.h"

namespace elDraw {
namespace {

using std::int32_t;
using std::int64_t;

// The source rectangle of a call, its sizes formed wide.
struct Source {
    int32_t object, left, top, right, bottom;
    int64_t width() const { return int64_t{right} - left; }
    int64_t height() const { return int64_t{bottom} - top; }
};

// Whether rows can be read at all: an object with a surface and every edge inside it.
bool Readable(const Source& s) {
    const platform::Surface* surface = ObjectSurface(s.object);
    if (surface == nullptr) return false;
    const auto inside = [](int32_t v, int32_t size) { return v >= 0 && v <= size; };
    return inside(s.left, surface->width()) && inside(s.right, surface->width()) &&
           inside(s.top, surface->height()) && inside(s.bottom, surface->height());
}

// Source rows row.. row + rows - 1 to a place worked out wide. Beyond the 32-bit range they
// could never reach the back surface, so they are dropped rather than wrapped onto it.
void CopyRows(int64_t x, int64_t y, const Source& s, int64_t row, int64_t rows,
              bool opaque = false) {
    constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
    if (x < kLow || x > kHigh || y < kLow || y > kHigh) return;
    (opaque ? BlitOpaque : BlitKeyed)(static_cast<int32_t>(x), static_cast<int32_t>(y), s.object,
                                      s.left, static_cast<int32_t>(row), s.right,
                                      static_cast<int32_t>(row + rows));
}

// The part of the back surface a copy can reach: ClipRect cut to the surface.
struct Reach {
    int64_t top = 0, bottom = 0, right = 0;
};
Reach Reachable() {
    if (!BackSurface) return {};
    return {std::max<int64_t>(ClipRect.top, 0),
            std::min<int64_t>(ClipRect.bottom, BackSurface->height()),
            std::min<int64_t>(ClipRect.right, BackSurface->width())};
}

// Keyed row copies that follow one another at one x from consecutive source rows go out as one
// copy: the pixels are the same, and a call costs about as much as copying a short row. A run
// is first cut to the rows that can be reached, as a copy reaching past the back surface would
// be refused whole. In a band every run repeats across tiles `stride` apart.
class RowRuns {
  public:
    explicit RowRuns(const Source& s, int64_t columns = 1, int64_t stride = 0)
        : s_(s), reach_(Reachable()), columns_(columns), stride_(stride) {}
    RowRuns(const RowRuns&) = delete;
    RowRuns& operator=(const RowRuns&) = delete;
    ~RowRuns() { Flush(); }

    void Add(int64_t x, int64_t y, int64_t row) {
        if (count_ > 0 && x == x_ && y == y_ + count_ && row == row_ + count_) {
            ++count_;
            return;
        }
        Flush();
        x_ = x;
        y_ = y;
        row_ = row;
        count_ = 1;
    }

  private:
    void Flush() {
        const int64_t top = std::max(y_, reach_.top);
        const int64_t bottom = std::min(y_ + count_, reach_.bottom);
        for (int64_t j = 0; top < bottom && j < columns_ && x_ + j * stride_ < reach_.right; ++j) {
            CopyRows(x_ + j * stride_, top, s_, row_ + top - y_, bottom - top);
        }
        count_ = 0;
    }

    const Source& s_;
    const Reach reach_;
    const int64_t columns_, stride_;
    int64_t x_ = 0, y_ = 0, row_ = 0, count_ = 0;
};

// -v in two's complement, so a sign an outside assignment set to INT32_MIN cannot overflow.
int32_t Negated(int32_t v) {
    return static_cast<int32_t>(0u - static_cast<std::uint32_t>(v));
}

}  // namespace

void WaveBlit(int32_t x, int32_t y, int32_t amplitude, int32_t divisor, float speed, int32_t object,
              int32_t srcLeft, int32_t srcTop, int32_t srcRight, int32_t srcBottom,
              int32_t alternate) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    if (Readable(s)) {
        const int64_t degrees = WholeDegrees(WavePhase);
        RowRuns runs(s);
        for (int64_t r = srcTop; r < srcBottom; ++r) {
            int64_t offset = WaveOffset(r, amplitude, divisor, degrees);
            if (alternate != 0) {
                offset *= WaveSign;
                WaveSign = Negated(WaveSign);
            }
            runs.Add(x + offset, int64_t{y} + r - srcTop, r);
        }
    } else if (alternate != 0 && s.height() > 0 && s.height() % 2 != 0) {
        // The sign flips once a row whether or not the rows could be drawn.
        WaveSign = Negated(WaveSign);
    }
    TurnAngle(WavePhase, speed);
}

void TileScrollBlit(float speedX, float speedY, int32_t object, int32_t srcLeft, int32_t srcTop,
                    int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    const int64_t w = s.width(), h = s.height();
    if (w >= 1 && h >= 1 && Readable(s)) {
        const int64_t left = TileStart(TileOffsetX, w), top = TileStart(TileOffsetY, h);
        const int64_t columns = ScreenWidth / w + 2, rows = ScreenHeight / h + 2;
        const Reach reach = Reachable();
        // Tiles start left of and above the screen and go right and down: once past what can be
        // reached, the rest of the row (or of the screen) is too.
        for (int64_t i = 0; i < rows && i * h + top < reach.bottom; ++i) {
            for (int64_t j = 0; j < columns && j * w + left < reach.right; ++j) {
                BlitKeyed(static_cast<int32_t>(j * w + left), static_cast<int32_t>(i * h + top),
                          object, srcLeft, srcTop, srcRight, srcBottom);
            }
        }
    }
    SlideTile(TileOffsetX, speedX, w);
    SlideTile(TileOffsetY, speedY, h);
}

void WaveScrollBlit(int32_t x, int32_t y, int32_t amplitude, int32_t divisor, float waveSpeed,
                    float scrollSpeed, int32_t object, int32_t srcLeft, int32_t srcTop,
                    int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    const int64_t h = s.height();
    if (h >= 1 && Readable(s)) {
        const int64_t shift = RowShift(WaveScrollOffset, h);
        const int64_t degrees = WholeDegrees(WaveScrollPhase);
        RowRuns runs(s);
        for (int64_t r = srcTop; r < srcBottom; ++r) {
            int64_t row = r + shift;
            // One past a plain wrap: the wrapped part starts a row below the top.
            if (row >= srcBottom) row = srcTop + (row - srcBottom) + 1;
            runs.Add(x + WaveOffset(r, amplitude, divisor, degrees), int64_t{y} + r, row);
        }
    }
    TurnAngle(WaveScrollPhase, waveSpeed);
    ScrollRows(WaveScrollOffset, scrollSpeed, h);
}

void WaveBandBlit(int32_t top, int32_t bottom, int32_t amplitude, int32_t divisor, float waveSpeed,
                  float scrollSpeed, int32_t object, int32_t srcLeft, int32_t srcTop,
                  int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    const int64_t w = s.width(), h = s.height();
    if (w >= 1 && h >= 1 && Readable(s)) {
        const int64_t shift = RowShift(BandOffset, h);
        const int64_t degrees = WholeDegrees(BandPhase);
        const Reach reach = Reachable();
        RowRuns runs(s, ScreenWidth / w + 2, w);
        // Only the band's rows that can be reached: a band may be given billions of rows.
        const int64_t last = std::min<int64_t>(bottom, reach.bottom);
        for (int64_t dy = std::max<int64_t>(top, reach.top); dy < last; ++dy) {
            const int64_t i = dy - top;
            int64_t row = i % h + shift;
            if (row > h - 1) row -= h;
            runs.Add(WaveOffset(i, amplitude, divisor, degrees) - amplitude, dy, srcTop + row);
        }
    }
    TurnAngle(BandPhase, waveSpeed);
    ScrollRows(BandOffset, scrollSpeed, h);
}

void RowRepeatBlit(int32_t x, int32_t y, int32_t step, int32_t object, int32_t srcLeft,
                   int32_t srcTop, int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    if (step < 1 || !Readable(s)) return;
    // Row q of a group lands on y + q - srcTop; a huge step need not be walked row by row.
    const Reach reach = Reachable();
    const int64_t firstQ = reach.top - y + srcTop, lastQ = reach.bottom - y + srcTop;
    RowRuns runs(s);
    for (int64_t r = srcTop; r < srcBottom && r < lastQ; r += step) {
        const int64_t end = std::min(r + step, lastQ);
        for (int64_t q = std::max(r, firstQ); q < end; ++q) runs.Add(x, y + q - srcTop, r);
    }
}

void ScanlineBlit(int32_t x, int32_t y, int32_t step, int32_t object, int32_t srcLeft,
                  int32_t srcTop, int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    if (step == 0 || !Readable(s)) return;
    RowRuns runs(s);
    if (step > 0) {
        for (int64_t r = int64_t{srcTop} + step; r < srcBottom; r += step) {
            runs.Add(x, int64_t{y} + r - srcTop, r);
        }
        return;
    }
    const int64_t gap = -int64_t{step};  // wide: INT32_MIN has no 32-bit negation
    for (int64_t r = srcTop + elSystem::rand() % gap + 1; r < srcBottom;
         r += elSystem::rand() % gap + 1) {
        runs.Add(x, int64_t{y} + r - srcTop, r);
    }
}

void JitterBlit(int32_t x, int32_t y, int32_t amount, int32_t object, int32_t srcLeft,
                int32_t srcTop, int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    if (!Readable(s)) return;
    if (amount <= 0) {
        BlitKeyed(x, y, object, srcLeft, srcTop, srcRight, srcBottom);
        return;
    }
    const int64_t span = 2 * int64_t{amount};  // wide: twice a large amount overflows 32 bits
    RowRuns runs(s);
    for (int64_t r = srcTop; r < srcBottom; ++r) {
        runs.Add(x + elSystem::rand() % span - amount, int64_t{y} + r - srcTop, r);
    }
}

void RollBlit(int32_t x, int32_t y, int32_t direction, float speed, int32_t object, int32_t srcLeft,
              int32_t srcTop, int32_t srcRight, int32_t srcBottom) {
    const Source s{object, srcLeft, srcTop, srcRight, srcBottom};
    const int64_t h = s.height();
    if (h < 2) return;  // the cosine turns every h - 1 rows: one row has no roll to show
    if (Readable(s)) {
        int64_t next = 0;
        // Source rows count from the object's top; srcTop only sets the height with srcBottom.
        for (int64_t i = 0; i < h; ++i) {
            const int64_t last = RollRowBottom(i, RollPhase, h);
            for (int64_t q = next; q <= last; ++q) CopyRows(x, int64_t{y} + q, s, i, 1, true);
            next = last + 1;
        }
    }
    TurnRoll(RollPhase, speed, direction, h);
}

}  // namespace elDraw
