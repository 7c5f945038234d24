// Shared ground of the drawing-core tests: a fresh headless host with every module reset,
// pixel access through locks, the expected 16-bit value of a colour, small bitmap files written
// next to the test executable, and the message boxes raised so far.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display/surface.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"

namespace drawtest {

using platform::PixelLayout;

class DrawFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a 640 x 480 screen (full screen, memory mode 1) in the given layout.
    void OpenScreen(PixelLayout layout = PixelLayout::Rgb565);

    std::size_t boxCount() const { return host->messageBoxes().size(); }
    // "" when there is no box with that index.
    std::string boxText(std::size_t index) const;
    std::string boxCaption(std::size_t index) const;

    platform::HeadlessHost* host = nullptr;
};

// The screen opened in 5-6-5 before every test.
class OpenScreenTest : public DrawFixture {
  protected:
    void SetUp() override;
};

// The screen opened in the layout given as the test's parameter.
class LayoutTest : public DrawFixture, public ::testing::WithParamInterface<PixelLayout> {
  protected:
    void SetUp() override;
};

std::string LayoutName(const ::testing::TestParamInfo<PixelLayout>& info);

// A surface's pixels, row after row, read through a lock (empty when it cannot be locked).
std::vector<std::uint16_t> LockedPixels(platform::Surface& surface);
std::vector<std::uint16_t> ObjectPixels(std::int32_t object);
std::vector<std::uint16_t> BackPixels();
// Writes the pixels through a lock; the size must match the surface.
void WritePixels(platform::Surface& surface, const std::vector<std::uint16_t>& pixels);
// Fills an object with 1 + x + y * width: every pixel distinct and none black.
void FillPattern(std::int32_t object);
std::uint16_t PatternValue(std::int32_t x, std::int32_t y, std::int32_t width);

// The top bits of each component in that layout.
std::uint16_t Expected16(std::uint8_t r, std::uint8_t g, std::uint8_t b, PixelLayout layout);

// Bottom-up BMP files; pixels are 0x00RRGGBB, rows top to bottom.
std::vector<std::uint8_t> Bmp24(int width, int height, const std::vector<std::uint32_t>& pixels);
std::vector<std::uint8_t> Bmp8(int width, int height, const std::vector<std::uint32_t>& palette,
                               const std::vector<std::uint8_t>& indices);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);

// A file in the program directory that is removed again when the scope ends.
class ProgramFile {
  public:
    ProgramFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
    ~ProgramFile();
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;
    void Rewrite(const std::vector<std::uint8_t>& bytes);

  private:
    std::string path_;
};

}  // namespace drawtest
