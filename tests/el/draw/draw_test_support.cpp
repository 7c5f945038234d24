#include "tests/el/draw/draw_test_support.h"

#include <cstdio>
#include <memory>

#include "app/shell.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/system/frame_timing.h"
#include "el/system/program_directory.h"
#include "platform/display/display_device.h"

namespace drawtest {

void DrawFixture::SetUp() {
    app::ResetProgramState();
    auto owned = std::make_unique<platform::HeadlessHost>();
    host = owned.get();
    platform::InstallHost(std::move(owned));
    elSystem::StaticStartup();
}

void DrawFixture::TearDown() {
    app::ResetProgramState();
    platform::InstallHost(nullptr);
}

void DrawFixture::OpenScreen(PixelLayout layout) {
    platform::SetDisplayLayout(layout);
    ASSERT_EQ(elDraw::Screen(640, 480, 1), 1);
    ASSERT_EQ(boxCount(), 0u) << boxText(0);
}

std::string DrawFixture::boxText(std::size_t index) const {
    const auto& boxes = host->messageBoxes();
    return index < boxes.size() ? boxes[index].text : std::string();
}

std::string DrawFixture::boxCaption(std::size_t index) const {
    const auto& boxes = host->messageBoxes();
    return index < boxes.size() ? boxes[index].caption : std::string();
}

void OpenScreenTest::SetUp() {
    DrawFixture::SetUp();
    OpenScreen();
}

void LayoutTest::SetUp() {
    DrawFixture::SetUp();
    OpenScreen(GetParam());
}

std::string LayoutName(const ::testing::TestParamInfo<PixelLayout>& info) {
    return info.param == PixelLayout::Rgb565 ? "Rgb565" : "Rgb555";
}

std::vector<std::uint16_t> LockedPixels(platform::Surface& surface) {
    platform::SurfaceDesc desc;
    if (surface.Lock(desc) != platform::DD_OK) return {};
    std::vector<std::uint16_t> pixels;
    pixels.reserve(static_cast<std::size_t>(desc.width) * static_cast<std::size_t>(desc.height));
    const std::ptrdiff_t stride = desc.pitch / 2;
    for (std::int32_t y = 0; y < desc.height; ++y) {
        const std::uint16_t* row = desc.memory + y * stride;
        pixels.insert(pixels.end(), row, row + desc.width);
    }
    surface.Unlock();
    return pixels;
}

std::vector<std::uint16_t> ObjectPixels(std::int32_t object) {
    platform::Surface* surface = elDraw::ObjectSurface(object);
    return surface != nullptr ? LockedPixels(*surface) : std::vector<std::uint16_t>{};
}

std::vector<std::uint16_t> BackPixels() {
    return elDraw::BackSurface ? LockedPixels(*elDraw::BackSurface) : std::vector<std::uint16_t>{};
}

void WritePixels(platform::Surface& surface, const std::vector<std::uint16_t>& pixels) {
    platform::SurfaceDesc desc;
    ASSERT_EQ(surface.Lock(desc), platform::DD_OK);
    ASSERT_EQ(pixels.size(),
              static_cast<std::size_t>(desc.width) * static_cast<std::size_t>(desc.height));
    const std::ptrdiff_t stride = desc.pitch / 2;
    for (std::int32_t y = 0; y < desc.height; ++y) {
        for (std::int32_t x = 0; x < desc.width; ++x) {
            desc.memory[y * stride + x] = pixels[static_cast<std::size_t>(y * desc.width + x)];
        }
    }
    surface.Unlock();
}

std::uint16_t PatternValue(std::int32_t x, std::int32_t y, std::int32_t width) {
    return static_cast<std::uint16_t>(1 + (x + y * width) % 65535);
}

void FillPattern(std::int32_t object) {
    platform::Surface* surface = elDraw::ObjectSurface(object);
    ASSERT_NE(surface, nullptr);
    std::vector<std::uint16_t> pixels;
    for (std::int32_t y = 0; y < surface->height(); ++y) {
        for (std::int32_t x = 0; x < surface->width(); ++x) {
            pixels.push_back(PatternValue(x, y, surface->width()));
        }
    }
    WritePixels(*surface, pixels);
}

std::uint16_t Expected16(std::uint8_t r, std::uint8_t g, std::uint8_t b, PixelLayout layout) {
    if (layout == PixelLayout::Rgb565) {
        return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    }
    return static_cast<std::uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

namespace {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = value & 0xFF;
    bytes[at + 1] = value >> 8;
}

// File header and 40-byte info header; the caller appends palette and pixels.
std::vector<std::uint8_t> Headers(int width, int height, int bpp, std::uint32_t paletteBytes,
                                  std::uint32_t pixelBytes) {
    std::vector<std::uint8_t> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, 54 + paletteBytes + pixelBytes);
    Put32(bytes, 10, 54 + paletteBytes);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<std::uint32_t>(width));
    Put32(bytes, 22, static_cast<std::uint32_t>(height));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, static_cast<std::uint16_t>(bpp));
    Put32(bytes, 34, pixelBytes);
    Put32(bytes, 46, paletteBytes / 4);
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> Bmp24(int width, int height, const std::vector<std::uint32_t>& pixels) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes =
        Headers(width, height, 24, 0, static_cast<std::uint32_t>(stride * height));
    for (int row = height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = pixels[static_cast<std::size_t>(row * width + x)];
            line[static_cast<std::size_t>(3 * x)] = rgb & 0xFF;
            line[static_cast<std::size_t>(3 * x + 1)] = (rgb >> 8) & 0xFF;
            line[static_cast<std::size_t>(3 * x + 2)] = (rgb >> 16) & 0xFF;
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    return bytes;
}

std::vector<std::uint8_t> Bmp8(int width, int height, const std::vector<std::uint32_t>& palette,
                               const std::vector<std::uint8_t>& indices) {
    const int stride = (width + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes =
        Headers(width, height, 8, static_cast<std::uint32_t>(palette.size() * 4),
                static_cast<std::uint32_t>(stride * height));
    for (std::uint32_t rgb : palette) {
        bytes.push_back(rgb & 0xFF);
        bytes.push_back((rgb >> 8) & 0xFF);
        bytes.push_back((rgb >> 16) & 0xFF);
        bytes.push_back(0);
    }
    for (int row = height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width; ++x) {
            line[static_cast<std::size_t>(x)] = indices[static_cast<std::size_t>(row * width + x)];
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    return bytes;
}

ProgramFile::ProgramFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    : path_(std::string(elSystem::ProgramDirectory()) + name) {
    Rewrite(bytes);
}

ProgramFile::~ProgramFile() {
    std::remove(path_.c_str());
}

void ProgramFile::Rewrite(const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path_;
    if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

}  // namespace drawtest
