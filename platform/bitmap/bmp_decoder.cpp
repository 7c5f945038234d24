#include "platform/bitmap/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>

namespace platform {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kFileHeaderSize = 14;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,  // Huffman 1D in an OS/2 2.x header
    kJpeg = 4,       // RLE24 in an OS/2 2.x header
    kPng = 5,
    kAlphaBitfields = 6,
};

// Callers check the bounds first; every read below is inside `data`.
std::uint16_t U16(Bytes data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}
std::uint32_t U32(Bytes data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 |
           static_cast<std::uint32_t>(data[at + 3]) << 24;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits by rounding so that the widest
// value of any width is 255 (5-bit 31 -> 255, 2-bit 1 -> 85).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;  // mask >> shift; 0 for a channel the picture does not have

    std::uint32_t Scale(std::uint32_t pixel) const {
        if (max == 0) return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint32_t>((v * 510 + max) / (2 * max));
    }
};

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool top_down = false;
    int bpp = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t size_image = 0;
    std::uint32_t colors_used = 0;  // 0: the depth's full palette
    bool core = false;              // OS/2 1.x: 16-bit sizes, 3-byte palette entries
    std::size_t palette_start = 0;
    std::size_t pixel_offset = 0;
    std::array<std::uint32_t, 3> masks{};
};

// The reason a file is refused; each step returns false after setting it.
class Refusal {
  public:
    bool operator()(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }
    const std::string& reason() const { return reason_; }

  private:
    std::string reason_;
};

bool IsKnownHeaderSize(std::uint32_t size) {
    // 12: OS/2 1.x core; 16 and 64: OS/2 2.x; 40: INFO; 52, 56: V2, V3; 108: V4; 124: V5.
    for (std::uint32_t known : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        if (size == known) return true;
    }
    return false;
}

bool IsKnownDepth(int bpp) {
    return bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

bool ReadLayout(Bytes data, Layout& out, Refusal& refuse) {
    if (data.size() < kFileHeaderSize + 4) return refuse("too short for a bitmap file header");
    if (data[0] != 'B' || data[1] != 'M') return refuse("not a bitmap: no 'BM' signature");
    const std::uint32_t header_size = U32(data, kFileHeaderSize);
    if (!IsKnownHeaderSize(header_size)) {
        return refuse("unknown bitmap header size " + std::to_string(header_size));
    }
    if (data.size() < kFileHeaderSize + header_size) return refuse("file ends inside the header");
    const std::size_t h = kFileHeaderSize;
    std::uint32_t planes = 0;
    out.core = header_size == 12;
    if (out.core) {
        out.width = U16(data, h + 4);
        out.height = U16(data, h + 6);
        planes = U16(data, h + 8);
        out.bpp = U16(data, h + 10);
    } else {
        out.width = static_cast<std::int32_t>(U32(data, h + 4));
        out.height = static_cast<std::int32_t>(U32(data, h + 8));
        planes = U16(data, h + 12);
        out.bpp = U16(data, h + 14);
        if (header_size >= 40) {
            out.compression = U32(data, h + 16);
            out.size_image = U32(data, h + 20);
            out.colors_used = U32(data, h + 32);
        }
    }
    if (planes != 1) return refuse("plane count is " + std::to_string(planes) + ", not 1");
    if (out.width <= 0) return refuse("width " + std::to_string(out.width) + " is not positive");
    if (out.height == 0) return refuse("height is zero");
    out.top_down = out.height < 0;
    if (out.top_down) out.height = -out.height;
    if (out.width > kMaxBmpSide || out.height > kMaxBmpSide ||
        out.width * out.height > kMaxBmpPixels) {
        return refuse("picture too large: " + std::to_string(out.width) + " x " +
                      std::to_string(out.height));
    }

    const bool os2v2 = header_size == 16 || header_size == 64;
    std::size_t mask_bytes = 0;
    switch (out.compression) {
        case kRgb:
            break;
        case kRle8:
        case kRle4:
            if (out.bpp != (out.compression == kRle8 ? 8 : 4)) {
                return refuse("run-length compression does not match the depth");
            }
            if (out.top_down) return refuse("run-length pictures cannot be top-down");
            break;
        case kBitfields:
        case kAlphaBitfields:
            if (os2v2) return refuse("OS/2 Huffman compression is not supported");
            if (out.bpp != 16 && out.bpp != 32) return refuse("colour masks need 16 or 32 bits");
            // An INFO header is followed by the masks; later headers hold them.
            if (header_size == 40) mask_bytes = out.compression == kBitfields ? 12 : 16;
            if (data.size() < h + 40 + 12) return refuse("file ends inside the colour masks");
            for (std::size_t i = 0; i < 3; ++i) out.masks[i] = U32(data, h + 40 + 4 * i);
            break;
        case kJpeg:
        case kPng:
            return refuse(os2v2 ? "OS/2 RLE24 compression is not supported"
                                : "embedded JPEG and PNG pictures are not supported");
        default:
            return refuse("unknown compression " + std::to_string(out.compression));
    }
    if (!IsKnownDepth(out.bpp)) {
        return refuse("unsupported depth of " + std::to_string(out.bpp) + " bits");
    }
    if (out.compression == kRgb && out.bpp == 16) out.masks = {0x7C00, 0x03E0, 0x001F};
    if (out.compression == kRgb && out.bpp == 32) out.masks = {0xFF0000, 0xFF00, 0xFF};

    out.palette_start = h + header_size + mask_bytes;
    out.pixel_offset = U32(data, 10);
    if (out.pixel_offset < out.palette_start || out.pixel_offset >= data.size()) {
        return refuse("pixel data offset " + std::to_string(out.pixel_offset) +
                      " lies outside the file's pixel area");
    }
    return true;
}

// Indices past the palette read black: the table always has 256 entries.
bool ReadPalette(Bytes data, const Layout& layout, std::array<std::uint32_t, 256>& palette,
                 Refusal& refuse) {
    const std::size_t entry = layout.core ? 3 : 4;
    const std::size_t room = (layout.pixel_offset - layout.palette_start) / entry;
    const std::size_t full = std::size_t{1} << layout.bpp;
    std::size_t count = full;
    if (layout.colors_used != 0) {
        if (layout.colors_used > room) {
            return refuse("palette of " + std::to_string(layout.colors_used) +
                          " colours does not fit before the pixel data");
        }
        count = std::min<std::size_t>(layout.colors_used, full);
    }
    // Files with a short palette and no count exist (OS/2 1.x); the offset tells its length.
    count = std::min(count, room);
    if (count == 0) return refuse("paletted picture without a palette");
    palette.fill(0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = layout.palette_start + i * entry;
        palette[i] = static_cast<std::uint32_t>(data[at + 2]) << 16 |
                     static_cast<std::uint32_t>(data[at + 1]) << 8 | data[at];
    }
    return true;
}

bool MakeChannels(const Layout& layout, std::array<Channel, 3>& channels, Refusal& refuse) {
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint32_t mask = layout.masks[i];
        if (layout.bpp == 16 && (mask >> 16) != 0) return refuse("colour mask wider than a pixel");
        Channel& c = channels[i];
        c.mask = mask;
        if (mask == 0) continue;
        c.shift = std::countr_zero(mask);
        const std::uint32_t bits = mask >> c.shift;
        if ((bits & (bits + 1)) != 0) return refuse("colour mask with gaps");
        c.max = bits;
    }
    return true;
}

void DecodeRows(Bytes data, const Layout& layout, const std::array<std::uint32_t, 256>& palette,
                const std::array<Channel, 3>& channels, std::size_t stride, DecodedBitmap& out) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    const int bpp = layout.bpp;
    const std::uint32_t index_mask = (1u << (bpp < 8 ? bpp : 8)) - 1;
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t start = layout.pixel_offset + row * stride;
        const std::uint8_t* src = data.data() + start;
        const std::size_t out_row = layout.top_down ? row : height - 1 - row;
        std::uint32_t* dst = out.pixels.data() + out_row * width;
        for (std::size_t x = 0; x < width; ++x) {
            if (bpp <= 8) {
                const std::size_t bit = x * bpp;
                const int shift = 8 - bpp - static_cast<int>(bit % 8);
                dst[x] = palette[(src[bit / 8] >> shift) & index_mask];
            } else if (bpp == 24) {
                const std::uint8_t* p = src + 3 * x;
                dst[x] = static_cast<std::uint32_t>(p[2]) << 16 |
                         static_cast<std::uint32_t>(p[1]) << 8 | p[0];
            } else {
                const std::uint32_t pixel =
                    bpp == 16 ? U16(data, start + 2 * x) : U32(data, start + 4 * x);
                dst[x] = channels[0].Scale(pixel) << 16 | channels[1].Scale(pixel) << 8 |
                         channels[2].Scale(pixel);
            }
        }
    }
}

// RLE rows run bottom-up. A run, literal or delta that would leave the picture marks a broken
// stream, which is refused rather than clipped: such files are made to attack decoders.
bool DecodeRle(Bytes data, const Layout& layout, const std::array<std::uint32_t, 256>& palette,
               DecodedBitmap& out, Refusal& refuse) {
    Bytes stream = data.subspan(layout.pixel_offset);
    if (layout.size_image != 0 && layout.size_image < stream.size()) {
        stream = stream.first(layout.size_image);
    }
    const bool rle4 = layout.compression == kRle4;
    const std::int64_t width = layout.width;
    const std::int64_t height = layout.height;
    std::int64_t x = 0;
    std::int64_t y = 0;
    auto put = [&](std::uint32_t index) {
        if (x >= width || y >= height) return false;
        out.pixels[static_cast<std::size_t>((height - 1 - y) * width + x)] = palette[index];
        ++x;
        return true;
    };
    const char* const overrun = "run-length data writes outside the picture";
    std::size_t pos = 0;
    while (true) {
        if (stream.size() - pos < 2) {
            // A stream that stops after its last row is only missing the end marker.
            if (pos == stream.size() && y >= height) return true;
            return refuse("run-length data ends early");
        }
        const std::uint8_t count = stream[pos];
        const std::uint8_t value = stream[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                const std::uint32_t index = !rle4 ? value : (i % 2 == 0 ? value >> 4 : value & 15);
                if (!put(index)) return refuse(overrun);
            }
        } else if (value == 0) {  // end of line
            x = 0;
            if (++y > height) return refuse(overrun);
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta
            if (stream.size() - pos < 2) return refuse("run-length data ends early");
            x += stream[pos];
            y += stream[pos + 1];
            pos += 2;
            if (x > width || y > height) return refuse(overrun);
        } else {  // `value` literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = rle4 ? (value + 1u) / 2 : value;
            if (stream.size() - pos < bytes) return refuse("run-length data ends early");
            for (std::size_t i = 0; i < value; ++i) {
                const std::uint8_t b = stream[pos + (rle4 ? i / 2 : i)];
                const std::uint32_t index = !rle4 ? b : (i % 2 == 0 ? b >> 4 : b & 15);
                if (!put(index)) return refuse(overrun);
            }
            pos = std::min(stream.size(), pos + bytes + bytes % 2);
        }
    }
}

std::optional<DecodedBitmap> Decode(Bytes data, Refusal& refuse) {
    Layout layout;
    if (!ReadLayout(data, layout, refuse)) return std::nullopt;
    std::array<std::uint32_t, 256> palette{};
    if (layout.bpp <= 8 && !ReadPalette(data, layout, palette, refuse)) return std::nullopt;
    std::array<Channel, 3> channels;
    if ((layout.bpp == 16 || layout.bpp == 32) && !MakeChannels(layout, channels, refuse)) {
        return std::nullopt;
    }
    const bool rle = layout.compression == kRle8 || layout.compression == kRle4;
    const auto row_bits = static_cast<std::uint64_t>(layout.width) * layout.bpp;
    const std::uint64_t stride = (row_bits + 31) / 32 * 4;
    if (!rle) {
        // The last row's padding may be missing; its pixels may not.
        const std::uint64_t needed =
            stride * static_cast<std::uint64_t>(layout.height - 1) + (row_bits + 7) / 8;
        if (needed > data.size() - layout.pixel_offset) {
            refuse("file is truncated: the pixels need " + std::to_string(needed) +
                   " bytes, the file holds " + std::to_string(data.size() - layout.pixel_offset));
            return std::nullopt;
        }
    }
    DecodedBitmap out;
    out.width = static_cast<int>(layout.width);
    out.height = static_cast<int>(layout.height);
    // Pixels an RLE stream skips keep palette colour 0.
    out.pixels.assign(static_cast<std::size_t>(layout.width * layout.height), palette[0]);
    if (rle) {
        if (!DecodeRle(data, layout, palette, out, refuse)) return std::nullopt;
    } else {
        DecodeRows(data, layout, palette, channels, static_cast<std::size_t>(stride), out);
    }
    return out;
}

}  // namespace

std::optional<DecodedBitmap> DecodeBmp(std::span<const std::uint8_t> data, std::string* error) {
    Refusal refuse;
    std::optional<DecodedBitmap> result = Decode(data, refuse);
    if (!result && error != nullptr) *error = refuse.reason();
    return result;
}

}  // namespace platform
