// Shared ground of the drawing-core tests: a fresh headless host, pixels read and written
// through locks, and picture files next to the test executable.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/system/frame_timing.h"
#include "el/system/program_directory.h"
#include "platform/display/display_device.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "tests/el/library_fixture.h"

namespace drawtest {

using platform::PixelLayout;

class DrawFixture : public ::testing::Test {
  protected:
    void SetUp() override { host = eltest::StartLibrary(); }
    void TearDown() override { eltest::StopLibrary(); }
    // 640 x 480, full screen, memory mode 1.
    void OpenScreen(PixelLayout layout = PixelLayout::Rgb565) {
        platform::SetDisplayLayout(layout);
        ASSERT_EQ(elDraw::Screen(640, 480, 1), 1);
        ASSERT_EQ(boxCount(), 0u) << boxText(0);
    }
    std::size_t boxCount() const { return host->messageBoxes().size(); }
    std::string boxText(std::size_t index) const {
        return index < boxCount() ? host->messageBoxes()[index].text : std::string();
    }

    platform::HeadlessHost* host = nullptr;
};

class OpenScreenTest : public DrawFixture {
  protected:
    void SetUp() override {
        DrawFixture::SetUp();
        OpenScreen();
    }
};

class LayoutTest : public DrawFixture, public ::testing::WithParamInterface<PixelLayout> {
  protected:
    void SetUp() override {
        DrawFixture::SetUp();
        OpenScreen(GetParam());
    }
};

inline const auto kBothLayouts = ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555);
inline std::string LayoutName(const ::testing::TestParamInfo<PixelLayout>& info) {
    return info.param == PixelLayout::Rgb565 ? "Rgb565" : "Rgb555";
}

inline const elDraw::ObjectRecord& Record(std::int32_t object) {
    return elDraw::Objects[static_cast<std::size_t>(object)];
}
inline std::string NameOf(std::int32_t object) {
    return Record(object).name.data();
}

// Row after row; empty when the surface is missing or cannot be locked.
inline std::vector<std::uint16_t> LockedPixels(platform::Surface* surface) {
    platform::SurfaceDesc desc;
    if (surface == nullptr || surface->Lock(desc) != platform::DD_OK) return {};
    std::vector<std::uint16_t> pixels;
    for (std::int32_t y = 0; y < desc.height; ++y) {
        const std::uint16_t* row = desc.memory + y * (desc.pitch / 2);
        pixels.insert(pixels.end(), row, row + desc.width);
    }
    surface->Unlock();
    return pixels;
}
inline std::vector<std::uint16_t> ObjectPixels(std::int32_t object) {
    return LockedPixels(elDraw::ObjectSurface(object));
}
inline std::vector<std::uint16_t> BackPixels() {
    return LockedPixels(elDraw::BackSurface.get());
}

inline void WritePixels(platform::Surface& surface, const std::vector<std::uint16_t>& pixels) {
    platform::SurfaceDesc desc;
    ASSERT_EQ(surface.Lock(desc), platform::DD_OK);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(desc.width * desc.height));
    for (std::int32_t y = 0; y < desc.height; ++y) {
        std::copy_n(pixels.begin() + y * desc.width, desc.width,
                    desc.memory + y * (desc.pitch / 2));
    }
    surface.Unlock();
}

// Every pixel distinct and none black.
inline std::uint16_t PatternValue(std::int32_t x, std::int32_t y, std::int32_t width) {
    return static_cast<std::uint16_t>(1 + (x + y * width) % 65535);
}
inline void FillPattern(std::int32_t object) {
    platform::Surface* surface = elDraw::ObjectSurface(object);
    ASSERT_NE(surface, nullptr);
    std::vector<std::uint16_t> pixels;
    for (std::int32_t i = 0; i < surface->width() * surface->height(); ++i) {
        pixels.push_back(PatternValue(i, 0, 0));
    }
    WritePixels(*surface, pixels);
}

// The top bits of each component in that layout.
inline std::uint16_t Expected16(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                PixelLayout layout) {
    const bool wide = layout == PixelLayout::Rgb565;
    return static_cast<std::uint16_t>((r >> 3) << (wide ? 11 : 10) | (g >> (wide ? 2 : 3)) << 5 |
                                      (b >> 3));
}

inline void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = (value >> (8 * i)) & 0xFF;
}

// A 24-bit BMP of 0x00RRGGBB pixels, rows top to bottom; with a width that is a multiple of 4
// the rows need no padding.
inline std::vector<std::uint8_t> Bmp24(std::size_t width,
                                       const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint8_t> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<std::uint32_t>(54 + 3 * pixels.size()));
    Put32(bytes, 10, 54);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<std::uint32_t>(width));
    Put32(bytes, 22, static_cast<std::uint32_t>(pixels.size() / width));
    bytes[26] = 1;                                               // planes
    bytes[28] = 24;                                              // bits per pixel
    for (std::size_t row = pixels.size() / width; row-- > 0;) {  // bottom-up
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t rgb = pixels[row * width + x];
            bytes.insert(bytes.end(),
                         {std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16)});
        }
    }
    return bytes;
}

// A 640 x 480 picture with the rectangle set to `value`.
inline std::vector<std::uint16_t> Painted(std::vector<std::uint16_t> pixels, int left, int top,
                                          int right, int bottom, std::uint16_t value) {
    for (int y = top; y < bottom; ++y) {
        std::fill(pixels.begin() + y * 640 + left, pixels.begin() + y * 640 + right, value);
    }
    return pixels;
}
inline std::vector<std::uint16_t> Filled(std::uint16_t value) {
    return std::vector<std::uint16_t>(640 * 480, value);
}

// A file in the program directory, removed when the scope ends.
class ProgramFile {
  public:
    ProgramFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
        : path_(std::string(elSystem::ProgramDirectory()) + name) {
        Rewrite(bytes);
    }
    ~ProgramFile() { std::remove(path_.c_str()); }
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;
    void Rewrite(const std::vector<std::uint8_t>& bytes) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path_;
        if (!bytes.empty()) {
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        std::fclose(file);
    }

  private:
    std::string path_;
};

}  // namespace drawtest
