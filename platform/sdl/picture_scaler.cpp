#include "platform/sdl/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::sdl {
namespace {

std::uint32_t Pack(const NativeFormat& f, unsigned r, unsigned g, unsigned b) {
    return ((r >> f.redLoss) << f.redShift) | ((g >> f.greenLoss) << f.greenShift) |
           ((b >> f.blueLoss) << f.blueShift) | f.alphaMask;
}

std::uint8_t* Line(const PixelTarget& target, int y) {
    return static_cast<std::uint8_t*>(target.pixels) +
           static_cast<std::ptrdiff_t>(y) * target.pitch;
}

const std::uint16_t* PictureRow(const FrameView& frame, int y) {
    return frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
}

}  // namespace

void ExpandPixel(std::uint16_t pixel, PixelLayout layout, std::uint8_t& r, std::uint8_t& g,
                 std::uint8_t& b) {
    unsigned red = 0;
    unsigned green = 0;
    const unsigned blue = pixel & 0x1Fu;
    if (layout == PixelLayout::Rgb565) {
        red = (pixel >> 11) & 0x1Fu;
        green = (pixel >> 5) & 0x3Fu;
        g = static_cast<std::uint8_t>((green << 2) | (green >> 4));
    } else {
        red = (pixel >> 10) & 0x1Fu;
        green = (pixel >> 5) & 0x1Fu;
        g = static_cast<std::uint8_t>((green << 3) | (green >> 2));
    }
    r = static_cast<std::uint8_t>((red << 3) | (red >> 2));
    b = static_cast<std::uint8_t>((blue << 3) | (blue >> 2));
}

std::vector<PictureScaler::Tap> PictureScaler::Taps(int outputSize, int pictureSize, int factor) {
    // Sampling the picture enlarged `factor` times with texel centres at (i + 0.5), as a
    // graphics card's linear filter does, clamped at the edges.
    std::vector<Tap> taps(static_cast<std::size_t>(std::max(outputSize, 0)));
    const int enlarged = pictureSize * factor;
    for (int o = 0; o < outputSize; ++o) {
        const double at = (o + 0.5) * enlarged / outputSize - 0.5;
        const double floor = std::floor(at);
        int first = static_cast<int>(floor);
        int weight = static_cast<int>(std::lround((at - floor) * 256.0));
        if (weight == 256) {
            ++first;
            weight = 0;
        }
        const int second = std::clamp(first + 1, 0, enlarged - 1);
        first = std::clamp(first, 0, enlarged - 1);
        Tap& tap = taps[static_cast<std::size_t>(o)];
        tap.first = first / factor;
        tap.second = second / factor;
        tap.weight = tap.first == tap.second ? 0 : weight;
    }
    return taps;
}

void PictureScaler::Configure(const FrameView& frame, const PixelTarget& target,
                              const NativeFormat& format, ScaleFilter filter) {
    if (!configured_ || layout_ != frame.layout || !(format_ == format)) {
        native_.resize(65536);
        for (std::uint32_t p = 0; p < 65536; ++p) {
            std::uint8_t r = 0;
            std::uint8_t g = 0;
            std::uint8_t b = 0;
            ExpandPixel(static_cast<std::uint16_t>(p), frame.layout, r, g, b);
            native_[p] = Pack(format, r, g, b);
        }
    }
    configured_ = true;
    layout_ = frame.layout;
    format_ = format;
    filter_ = filter;
    targetWidth_ = target.width;
    targetHeight_ = target.height;
    pictureWidth_ = frame.width;
    pictureHeight_ = frame.height;
    view_ = FitViewport(target.width, target.height, frame.width, frame.height);
    if (view_.exact && filter != ScaleFilter::kLinear) {
        mode_ = Mode::kWhole;
    } else if (filter == ScaleFilter::kNearest) {
        mode_ = Mode::kNearest;
        columnSource_.resize(static_cast<std::size_t>(view_.width));
        rowSource_.resize(static_cast<std::size_t>(view_.height));
        // The picture pixel under each output pixel's centre.
        for (int x = 0; x < view_.width; ++x) {
            columnSource_[static_cast<std::size_t>(x)] = static_cast<int>(
                (2 * static_cast<std::int64_t>(x) + 1) * frame.width / (2 * view_.width));
        }
        for (int y = 0; y < view_.height; ++y) {
            rowSource_[static_cast<std::size_t>(y)] = static_cast<int>(
                (2 * static_cast<std::int64_t>(y) + 1) * frame.height / (2 * view_.height));
        }
    } else {
        mode_ = Mode::kFiltered;
        const int factor = filter == ScaleFilter::kLinear ? 1 : view_.wholeFactor;
        columnTaps_ = Taps(view_.width, frame.width, factor);
        rowTaps_ = Taps(view_.height, frame.height, factor);
    }
}

void PictureScaler::MarkChangedRows(const FrameView& frame, bool all) {
    const std::size_t width = static_cast<std::size_t>(frame.width);
    const std::size_t size = width * static_cast<std::size_t>(frame.height);
    if (previous_.size() != size) all = true;
    previous_.resize(size);
    changed_.assign(static_cast<std::size_t>(frame.height), all);
    for (int y = 0; y < frame.height; ++y) {
        std::uint16_t* kept = &previous_[static_cast<std::size_t>(y) * width];
        const std::uint16_t* row = PictureRow(frame, y);
        if (all || std::memcmp(kept, row, width * 2) != 0) {
            std::memcpy(kept, row, width * 2);
            changed_[static_cast<std::size_t>(y)] = true;
        }
    }
}

void PictureScaler::AddRows(int first, int count) {
    if (count <= 0) return;
    if (!dirty_.empty() && dirty_.back().x == view_.x &&
        dirty_.back().y + dirty_.back().height == first) {
        dirty_.back().height += count;
        return;
    }
    dirty_.push_back(DirtyRect{view_.x, first, view_.width, count});
}

void PictureScaler::Store(std::uint32_t value, std::uint8_t* line, int x) const {
    if (format_.bytesPerPixel == 4) {
        std::memcpy(line + static_cast<std::ptrdiff_t>(x) * 4, &value, 4);
    } else {
        const auto narrow = static_cast<std::uint16_t>(value);
        std::memcpy(line + static_cast<std::ptrdiff_t>(x) * 2, &narrow, 2);
    }
}

void PictureScaler::DrawWholeFactor(const FrameView& frame, const PixelTarget& target) {
    const int factor = view_.wholeFactor;
    const std::size_t bytes = static_cast<std::size_t>(view_.width) * format_.bytesPerPixel;
    for (int y = 0; y < frame.height; ++y) {
        if (!changed_[static_cast<std::size_t>(y)]) continue;
        const int top = view_.y + y * factor;
        std::uint8_t* first =
            Line(target, top) + static_cast<std::ptrdiff_t>(view_.x) * format_.bytesPerPixel;
        const std::uint16_t* row = PictureRow(frame, y);
        if (format_.bytesPerPixel == 4) {
            for (int x = 0; x < frame.width; ++x) {
                const std::uint32_t value = native_[row[x]];
                std::uint8_t* out = first + static_cast<std::ptrdiff_t>(x) * factor * 4;
                for (int k = 0; k < factor; ++k) std::memcpy(out + k * 4, &value, 4);
            }
        } else {
            for (int x = 0; x < frame.width; ++x) {
                const auto value = static_cast<std::uint16_t>(native_[row[x]]);
                std::uint8_t* out = first + static_cast<std::ptrdiff_t>(x) * factor * 2;
                for (int k = 0; k < factor; ++k) std::memcpy(out + k * 2, &value, 2);
            }
        }
        for (int k = 1; k < factor; ++k) {
            std::memcpy(Line(target, top + k) +
                            static_cast<std::ptrdiff_t>(view_.x) * format_.bytesPerPixel,
                        first, bytes);
        }
        AddRows(top, factor);
    }
}

void PictureScaler::DrawNearest(const FrameView& frame, const PixelTarget& target) {
    const std::size_t bytes = static_cast<std::size_t>(view_.width) * format_.bytesPerPixel;
    line_.resize(static_cast<std::size_t>(frame.width));
    int lastDrawn = -1;  // the output row the previous one can be copied from
    for (int y = 0; y < view_.height; ++y) {
        const int source = rowSource_[static_cast<std::size_t>(y)];
        if (!changed_[static_cast<std::size_t>(source)]) continue;
        std::uint8_t* out = Line(target, view_.y + y) +
                            static_cast<std::ptrdiff_t>(view_.x) * format_.bytesPerPixel;
        if (lastDrawn == y - 1 && y > 0 && rowSource_[static_cast<std::size_t>(y - 1)] == source) {
            std::memcpy(out, out - target.pitch, bytes);
        } else {
            const std::uint16_t* row = PictureRow(frame, source);
            for (int x = 0; x < frame.width; ++x)
                line_[static_cast<std::size_t>(x)] = native_[row[x]];
            for (int x = 0; x < view_.width; ++x) {
                Store(line_[static_cast<std::size_t>(columnSource_[static_cast<std::size_t>(x)])],
                      out, x);
            }
        }
        lastDrawn = y;
        AddRows(view_.y + y, 1);
    }
}

void PictureScaler::FilterRow(const FrameView& frame, int row,
                              std::vector<std::uint8_t>& out) const {
    out.resize(static_cast<std::size_t>(view_.width) * 3);
    const std::uint16_t* pixels = PictureRow(frame, row);
    for (int x = 0; x < view_.width; ++x) {
        const Tap& tap = columnTaps_[static_cast<std::size_t>(x)];
        std::uint8_t a[3];
        std::uint8_t b[3];
        ExpandPixel(pixels[tap.first], frame.layout, a[0], a[1], a[2]);
        ExpandPixel(pixels[tap.second], frame.layout, b[0], b[1], b[2]);
        for (int c = 0; c < 3; ++c) {
            out[static_cast<std::size_t>(x) * 3 + c] = static_cast<std::uint8_t>(
                (a[c] * (256 - tap.weight) + b[c] * tap.weight + 128) >> 8);
        }
    }
}

void PictureScaler::DrawFiltered(const FrameView& frame, const PixelTarget& target) {
    upperRow_ = -1;
    lowerRow_ = -1;
    for (int y = 0; y < view_.height; ++y) {
        const Tap& tap = rowTaps_[static_cast<std::size_t>(y)];
        if (!changed_[static_cast<std::size_t>(tap.first)] &&
            !changed_[static_cast<std::size_t>(tap.second)]) {
            continue;
        }
        // Output rows go down the picture, so the two filtered rows in hand are mostly reused.
        if (upperRow_ != tap.first) {
            if (lowerRow_ == tap.first) {
                std::swap(upper_, lower_);
                std::swap(upperRow_, lowerRow_);
            } else {
                FilterRow(frame, tap.first, upper_);
                upperRow_ = tap.first;
            }
        }
        if (tap.weight != 0 && lowerRow_ != tap.second) {
            FilterRow(frame, tap.second, lower_);
            lowerRow_ = tap.second;
        }
        std::uint8_t* out = Line(target, view_.y + y) +
                            static_cast<std::ptrdiff_t>(view_.x) * format_.bytesPerPixel;
        const int w = tap.weight;
        for (int x = 0; x < view_.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            unsigned c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = w == 0 ? upper_[i + k]
                              : (upper_[i + k] * (256u - w) + lower_[i + k] * w + 128u) >> 8;
            }
            Store(Pack(format_, c[0], c[1], c[2]), out, x);
        }
        AddRows(view_.y + y, 1);
    }
}

const std::vector<DirtyRect>& PictureScaler::Draw(const FrameView& frame, const PixelTarget& target,
                                                  const NativeFormat& format, ScaleFilter filter,
                                                  bool redrawAll) {
    dirty_.clear();
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 ||
        target.pixels == nullptr || target.width <= 0 || target.height <= 0 ||
        (format.bytesPerPixel != 2 && format.bytesPerPixel != 4)) {
        return dirty_;
    }
    if (!configured_ || target.width != targetWidth_ || target.height != targetHeight_ ||
        frame.width != pictureWidth_ || frame.height != pictureHeight_ || frame.layout != layout_ ||
        !(format == format_) || filter != filter_) {
        Configure(frame, target, format, filter);
        redrawAll = true;
    }
    if (view_.width <= 0 || view_.height <= 0) return dirty_;
    MarkChangedRows(frame, redrawAll);
    if (redrawAll) {
        // The bars too: whatever was there (another size, another window's pixels) goes.
        const std::uint32_t black = Pack(format_, 0, 0, 0);
        for (int y = 0; y < target.height; ++y) {
            std::uint8_t* line = Line(target, y);
            for (int x = 0; x < target.width; ++x) Store(black, line, x);
        }
    }
    switch (mode_) {
        case Mode::kWhole:
            DrawWholeFactor(frame, target);
            break;
        case Mode::kNearest:
            DrawNearest(frame, target);
            break;
        case Mode::kFiltered:
            DrawFiltered(frame, target);
            break;
    }
    if (redrawAll) {
        dirty_.clear();
        dirty_.push_back(DirtyRect{0, 0, target.width, target.height});
    }
    return dirty_;
}

}  // namespace platform::sdl
