// The renderer's parts on their own: the frame hash, the colour widening, the contact sheet's
// choice and layout, the progress line.
#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "tools/render/contact_sheet.h"
#include "tools/render/frame_hash.h"
#include "tools/render/progress.h"
#include "tools/render/rgb_image.h"
#include "tools/render/tiny_font.h"

namespace {

using namespace render;

// The expected values come from xxhsum -H1 (the reference tool) on the same bytes.
TEST(FrameHash, MatchesTheReferenceXxh64) {
    std::vector<std::uint8_t> bytes(768);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    const std::string x1000(1000, 'x');
    EXPECT_EQ(HashText(Xxh64("", 0)), "ef46db3751d8e999");
    EXPECT_EQ(HashText(Xxh64("abc", 3)), "44bc2cf5ad770999");
    EXPECT_EQ(HashText(Xxh64(x1000.data(), x1000.size())), "4cb9a3b69cb700e1");
    EXPECT_EQ(HashText(Xxh64(bytes.data(), 768)), "8e03c838c596036f");
    EXPECT_EQ(HashText(Xxh64(bytes.data(), 37)), "d93fa2dfee5c24c9");
}

TEST(FrameHash, CoversThePixelsOnlyNotThePitchPadding) {
    constexpr int kWidth = 5, kHeight = 3, kPitch = 8;
    std::vector<std::uint16_t> padded(kPitch * kHeight, 0xDEAD);
    std::vector<std::uint16_t> tight(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const auto value = static_cast<std::uint16_t>(0x1234 * (y + 1) + x);
            padded[y * kPitch + x] = value;
            tight[y * kWidth + x] = value;
        }
    }
    FrameHasher hasher;
    const platform::FrameView a{padded.data(), kWidth, kHeight, kPitch};
    const platform::FrameView b{tight.data(), kWidth, kHeight, kWidth};
    EXPECT_EQ(hasher.Hash(a), hasher.Hash(b));
    EXPECT_EQ(hasher.Hash(b), Xxh64(tight.data(), tight.size() * 2));
    padded[kPitch + 4] ^= 1;  // one bit of one visible pixel
    EXPECT_NE(hasher.Hash(a), hasher.Hash(b));
}

TEST(RgbImage, WidensEachComponentByBitReplication) {
    const std::uint16_t pixels[] = {0xFFFF, 0x0000, 0x8410, 0x0821};
    std::uint8_t rgb[12];
    platform::PixelsToRgb(pixels, 4, platform::PixelLayout::Rgb565, rgb);
    const std::uint8_t expected565[12] = {255, 255, 255, 0, 0, 0, 132, 130, 132, 8, 4, 8};
    EXPECT_TRUE(std::equal(rgb, rgb + 12, expected565));
    const std::uint16_t pixels555[] = {0x7FFF, 0x4210};
    platform::PixelsToRgb(pixels555, 2, platform::PixelLayout::Rgb555, rgb);
    const std::uint8_t expected555[6] = {255, 255, 255, 132, 132, 132};
    EXPECT_TRUE(std::equal(rgb, rgb + 6, expected555));
}

// A frame of one colour per pass, so each thumbnail shows which pass it came from.
struct FakeScreen {
    std::vector<std::uint16_t> pixels = std::vector<std::uint16_t>(64 * 48);
    platform::FrameView Show(std::uint16_t colour) {
        std::fill(pixels.begin(), pixels.end(), colour);
        return {pixels.data(), 64, 48, 64};
    }
};

TEST(ContactSheet, TakesEachSceneOneSecondInOrItsLastFrameWhenShorter) {
    ContactSheet sheet;
    FakeScreen screen;
    std::uint32_t pass = 1;
    // Scene 1 for 100 passes, scene 3 for 30 (cut short), scene 4 for 61 with no frame at first.
    for (; pass <= 100; ++pass) {
        const auto frame = screen.Show(static_cast<std::uint16_t>(pass));
        sheet.EndPass(pass, 1, &frame);
    }
    for (; pass <= 130; ++pass) {
        const auto frame = screen.Show(static_cast<std::uint16_t>(pass));
        sheet.EndPass(pass, 3, &frame);
    }
    EXPECT_TRUE(sheet.WantsFrame(4));
    sheet.EndPass(pass++, 4, nullptr);
    for (; pass <= 192; ++pass) {
        const auto frame = screen.Show(static_cast<std::uint16_t>(pass));
        sheet.EndPass(pass, 4, &frame);
    }
    EXPECT_FALSE(sheet.WantsFrame(4));
    ASSERT_EQ(sheet.entries().size(), 3u);
    const std::uint32_t firstPasses[] = {1, 101, 131};
    const std::uint32_t shownPasses[] = {61, 130, 191};
    for (int i = 0; i < 3; ++i) {
        const ContactSheet::Entry& entry = sheet.entries()[i];
        EXPECT_EQ(entry.firstPass, firstPasses[i]) << i;
        EXPECT_EQ(entry.shownPass, shownPasses[i]) << i;
        // The thumbnail is that pass's colour, widened: blue holds the low five bits.
        const unsigned blue = shownPasses[i] & 31;
        ASSERT_EQ(entry.thumbnail.width, 32);
        EXPECT_EQ(entry.thumbnail.pixels[2], (blue << 3) | (blue >> 2)) << i;
    }
}

TEST(ContactSheet, ShrinksByAveragingAndLaysOutFourToARow) {
    // A 2 x 2 checker of black and white averages to mid grey.
    std::vector<std::uint16_t> pixels = {0xFFFF, 0x0000, 0x0000, 0xFFFF};
    const RgbImage grey = Shrink({pixels.data(), 2, 2, 2}, 2);
    ASSERT_EQ(grey.pixels.size(), 3u);
    EXPECT_EQ(grey.pixels[0], 128);

    ContactSheet sheet;
    FakeScreen screen;
    for (int scene = 1; scene <= 5; ++scene) {
        const auto frame = screen.Show(0xFFFF);
        sheet.EndPass(static_cast<std::uint32_t>(scene), scene, &frame);
    }
    const RgbImage image = sheet.Compose();
    // Five 32 x 24 thumbnails: four in the first row, one in the second, each with a caption.
    const int cellWidth = 32, cellHeight = 24 + kGlyphHeight * 2 + 8, margin = 8;
    EXPECT_EQ(image.width, margin + 4 * (cellWidth + margin));
    EXPECT_EQ(image.height, margin + 2 * (cellHeight + margin));
    // The fifth thumbnail starts the second row, white.
    const std::uint8_t* fifth = image.Row(margin + cellHeight + margin) + margin * 3;
    EXPECT_EQ(fifth[0], 255);
    EXPECT_EQ(ContactSheet().Compose().pixels.size(), 0u);
}

TEST(TinyFont, DrawsDigitsAndCapitalsAndClipsAtTheEdges) {
    RgbImage image(12, 7);
    const std::uint8_t white[3] = {255, 255, 255};
    EXPECT_EQ(DrawText(image, 0, 0, "1", 1, white), 6);
    // The "1": a full-height stem in the middle column.
    for (int y = 0; y < 7; ++y) EXPECT_EQ(image.Row(y)[2 * 3], 255) << y;
    EXPECT_EQ(image.Row(3)[0], 0);
    // Partly or wholly outside, and characters the font lacks, draw only what fits.
    DrawText(image, -3, -4, "SCENE 8 PASS 0?", 3, white);
    DrawText(image, 100, 100, "8", 2, white);
    EXPECT_EQ(TextWidth("PASS 12", 2), 7 * 12);
}

std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

TEST(ProgressBar, StaysQuietForTheFirstSecondThenRedrawsAtMostTenTimesASecond) {
    using namespace std::chrono_literals;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    const auto start = ProgressBar::Clock::time_point{} + 100s;
    ProgressBar bar(out, true, 1000, start);
    for (int ms = 0; ms < 1000; ms += 10)
        bar.Update(static_cast<std::uint32_t>(ms), start + 1ms * ms);
    EXPECT_EQ(bar.redraws(), 0);
    // Two seconds of passes every millisecond: at most ten lines a second.
    for (int ms = 1000; ms < 3000; ++ms)
        bar.Update(static_cast<std::uint32_t>(ms / 3), start + 1ms * ms);
    EXPECT_GE(bar.redraws(), 19);
    EXPECT_LE(bar.redraws(), 21);
    bar.Finish(1000, start + 4s);
    const std::string text = ReadAll(out);
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line, ended once";
    EXPECT_NE(text.find("pass 1000  100%  250 passes/s  0:00 left"), std::string::npos) << text;
    std::fclose(out);

    // Past the estimate it stays at 100 %.
    out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ProgressBar over(out, true, 10, start);
    over.Update(50, start + 2s);
    EXPECT_NE(ReadAll(out).find("pass 50  100%"), std::string::npos) << ReadAll(out);
    std::fclose(out);
}

TEST(ProgressBar, DrawsNothingWhenDisabledOrForAShortRun) {
    using namespace std::chrono_literals;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    const auto start = ProgressBar::Clock::time_point{} + 100s;
    ProgressBar off(out, false, 100, start);
    off.Update(50, start + 5s);
    off.Finish(100, start + 6s);
    ProgressBar quick(out, true, 100, start);
    quick.Update(100, start + 500ms);
    quick.Finish(100, start + 600ms);
    EXPECT_EQ(ReadAll(out), "");
    std::fclose(out);
}

}  // namespace
