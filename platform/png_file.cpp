#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace {

std::uint8_t Widen5(unsigned v) {
    return static_cast<std::uint8_t>((v << 3) | (v >> 2));
}
std::uint8_t Widen6(unsigned v) {
    return static_cast<std::uint8_t>((v << 2) | (v >> 4));
}

void ToRgb(const FrameView& frame, int y, std::vector<std::uint8_t>& row) {
    const std::uint16_t* pixels = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    for (int x = 0; x < frame.width; ++x) {
        const unsigned p = pixels[x];
        std::uint8_t* rgb = &row[static_cast<std::size_t>(x) * 3];
        if (frame.layout == PixelLayout::Rgb565) {
            rgb[0] = Widen5((p >> 11) & 31);
            rgb[1] = Widen6((p >> 5) & 63);
        } else {
            rgb[0] = Widen5((p >> 10) & 31);
            rgb[1] = Widen5((p >> 5) & 31);
        }
        rgb[2] = Widen5(p & 31);
    }
}

bool Encode(std::FILE* file, const FrameView& frame) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Frames are many and alike: fast compression keeps a whole-run export quick.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width),
                 static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(frame.width) * 3);
    for (int y = 0; y < frame.height; ++y) {
        ToRgb(frame, y, row);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteFramePng(const std::string& path, const FrameView& frame, std::string* error) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        if (error) *error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool encoded = Encode(file, frame);
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
