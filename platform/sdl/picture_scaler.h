// Our own last step from the 16-bit picture to the screen's pixels, for machines where the
// graphics library would do it in software anyway: one table lookup per picture pixel into the
// window's native format, whole factors by plain copies, the sharp and smooth fits by
// separable filters, and only the rows that changed since the previous frame.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/host.h"
#include "platform/sdl/viewport.h"

namespace platform::sdl {

// A packed RGB format of 2 or 4 bytes a pixel, described like SDL describes its formats.
struct NativeFormat {
    int bytesPerPixel = 4;
    int redShift = 16, greenShift = 8, blueShift = 0;
    int redLoss = 0, greenLoss = 0, blueLoss = 0;  // bits dropped from 8-bit components
    std::uint32_t alphaMask = 0;                   // set in every pixel
    bool operator==(const NativeFormat&) const = default;
};

// Where to draw: the window's pixels.
struct PixelTarget {
    void* pixels = nullptr;
    int pitch = 0;  // bytes
    int width = 0;
    int height = 0;
};

struct DirtyRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The 8-bit components of a 16-bit pixel, each widened by bit replication.
void ExpandPixel(std::uint16_t pixel, PixelLayout layout, std::uint8_t& r, std::uint8_t& g,
                 std::uint8_t& b);

class PictureScaler {
  public:
    // Draws the frame into `target`, whose size and format may change from call to call.
    // Everything is drawn (bars included) when `redrawAll` is set or the size, format or
    // filter changed; otherwise only the output rows whose picture rows changed. Returns the
    // rectangles of the target that were written.
    const std::vector<DirtyRect>& Draw(const FrameView& frame, const PixelTarget& target,
                                       const NativeFormat& format, ScaleFilter filter,
                                       bool redrawAll);

    // The last frame drawn (its rows packed), empty before the first: what is on the screen.
    const std::vector<std::uint16_t>& picture() const { return previous_; }
    PixelLayout pictureLayout() const { return layout_; }
    int pictureWidth() const { return pictureWidth_; }
    int pictureHeight() const { return pictureHeight_; }

  private:
    // One output coordinate of a filtered axis: two picture coordinates and the second's
    // weight out of 256.
    struct Tap {
        int first = 0, second = 0, weight = 0;
    };
    void Configure(const FrameView& frame, const PixelTarget& target, const NativeFormat& format,
                   ScaleFilter filter);
    void MarkChangedRows(const FrameView& frame, bool all);
    void DrawWholeFactor(const FrameView& frame, const PixelTarget& target);
    void DrawNearest(const FrameView& frame, const PixelTarget& target);
    void DrawFiltered(const FrameView& frame, const PixelTarget& target);
    void FilterRow(const FrameView& frame, int row, std::vector<std::uint8_t>& out) const;
    void Store(std::uint32_t value, std::uint8_t* line, int x) const;
    void AddRows(int first, int count);
    static std::vector<Tap> Taps(int outputSize, int pictureSize, int factor);

    // What the tables were built for.
    int targetWidth_ = -1, targetHeight_ = -1, pictureWidth_ = 0, pictureHeight_ = 0;
    PixelLayout layout_ = PixelLayout::Rgb565;
    NativeFormat format_{};
    ScaleFilter filter_ = ScaleFilter::kSharp;
    bool configured_ = false;

    Viewport view_;
    enum class Mode { kWhole, kNearest, kFiltered } mode_ = Mode::kWhole;
    std::vector<std::uint32_t> native_;  // 16-bit pixel -> native pixel
    std::vector<int> columnSource_;      // nearest: the picture column of each output column
    std::vector<int> rowSource_;         // nearest: the picture row of each output row
    std::vector<Tap> columnTaps_, rowTaps_;
    std::vector<std::uint16_t> previous_;  // the last frame drawn, to find the rows that changed
    std::vector<bool> changed_;            // per picture row, for this frame
    std::vector<std::uint32_t> line_;      // one picture row in native pixels
    std::vector<std::uint8_t> upper_, lower_;  // filtered rows, RGB
    int upperRow_ = -1, lowerRow_ = -1;
    std::vector<DirtyRect> dirty_;
};

}  // namespace platform::sdl
