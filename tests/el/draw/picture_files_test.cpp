// Pictures from files next to the executable: colour conversion to the display's layout, and
// files that must not be loaded because they are broken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "el/draw/object_table.h"
#include "platform/resources.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

// Colours whose low bits differ from their top bits, so rounding instead of truncating shows.
const std::vector<std::uint32_t> kColours = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x847F21,
    0x07FC08, 0xF80408, 0x123456, 0xABCDEF, 0x0C0C0C, 0xFBFDFE,
};

std::uint16_t ExpectedFor(std::uint32_t rgb, PixelLayout layout) {
    return Expected16((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, layout);
}

using PictureLayout = LayoutTest;

TEST_P(PictureLayout, LoadingConvertsColoursToTheLayoutsTopBits) {
    // 4 x 3, rows top to bottom; the files store them bottom-up.
    const int w = 4, h = 3;
    std::vector<std::uint8_t> indices;
    for (std::size_t i = 0; i < kColours.size(); ++i)
        indices.push_back(static_cast<std::uint8_t>(i));
    const std::string suffix = GetParam() == PixelLayout::Rgb565 ? "565" : "555";
    ProgramFile file24("DRAWTEST_CONV24_" + suffix, Bmp24(w, h, kColours));
    ProgramFile file8("DRAWTEST_CONV8_" + suffix, Bmp8(w, h, kColours, indices));
    for (const std::string& name : {"DRAWTEST_CONV24_" + suffix, "DRAWTEST_CONV8_" + suffix}) {
        SCOPED_TRACE(name);
        const std::int32_t object = elDraw::LoadObject(name.c_str(), 2);
        ASSERT_GT(object, 0) << boxText(0);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].width, w);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].height, h);
        const std::vector<std::uint16_t> pixels = ObjectPixels(object);
        ASSERT_EQ(pixels.size(), kColours.size());
        for (std::size_t i = 0; i < kColours.size(); ++i) {
            EXPECT_EQ(pixels[i], ExpectedFor(kColours[i], GetParam())) << "pixel " << i;
        }
    }
    EXPECT_EQ(boxCount(), 0u);
}

TEST_P(PictureLayout, BuiltInPicturesAreConvertedTheSameWay) {
    // MACHINE's corner is black and it holds other colours; check its whole first row against
    // the picture decoded from the resource bytes.
    const auto bytes = platform::FindResource("MACHINE", platform::RT_BITMAP);
    ASSERT_TRUE(bytes.has_value());
    const std::vector<std::uint8_t> file(bytes->begin(), bytes->end());
    // 8-bit, bottom-up, 40-byte header, palette before the pixels.
    const std::uint32_t offset = file[10] | file[11] << 8 | file[12] << 16;
    const int width = file[18] | file[19] << 8;
    const int height = file[22] | file[23] << 8;
    ASSERT_EQ(file[28], 8);
    const std::int32_t object = elDraw::LoadObject("MACHINE", 2);
    ASSERT_GT(object, 0);
    const std::vector<std::uint16_t> pixels = ObjectPixels(object);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width * height));
    const int stride = (width + 3) / 4 * 4;
    for (int y : {0, height / 2, height - 1}) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index =
                file[offset + static_cast<std::size_t>((height - 1 - y) * stride + x)];
            const std::size_t entry = 54 + 4 * static_cast<std::size_t>(index);
            const std::uint16_t expected =
                Expected16(file[entry + 2], file[entry + 1], file[entry], GetParam());
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * width + x)], expected) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PictureLayout,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555), LayoutName);

// ---- A broken FIGHTER next to the executable ----
// Only this test uses the name FIGHTER, so that tests running side by side do not meet its file.

using PictureFiles = OpenScreenTest;

std::vector<std::uint8_t> BuiltInFighter() {
    const auto bytes = platform::FindResource("FIGHTER", platform::RT_BITMAP);
    if (!bytes) return {};
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

// An RLE8 picture of FIGHTER's size: header of the built-in file, then the given stream.
std::vector<std::uint8_t> Rle8Fighter(const std::vector<std::uint8_t>& stream) {
    std::vector<std::uint8_t> bytes = BuiltInFighter();
    const std::uint32_t offset = bytes[10] | bytes[11] << 8 | bytes[12] << 16;
    bytes.resize(offset);
    Put32(bytes, 30, 1);  // compression RLE8
    Put32(bytes, 34, static_cast<std::uint32_t>(stream.size()));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

TEST_F(PictureFiles, BrokenFilesGiveWayToTheBuiltInPicture) {
    const std::vector<std::uint8_t> original = BuiltInFighter();
    ASSERT_GT(original.size(), 1078u);
    const std::int32_t reference = elDraw::LoadObject("FIGHTER", 2);
    ASSERT_GT(reference, 0);
    const std::vector<std::uint16_t> builtIn = ObjectPixels(reference);
    ASSERT_EQ(builtIn.size(), 200u * 150u);

    {
        // A well-formed picture file next to the executable takes the built-in picture's place.
        ProgramFile good("FIGHTER", Bmp24(3, 2, {0xFF0000, 0, 0, 0, 0, 0x0000FF}));
        const std::int32_t replaced = elDraw::LoadObject("FIGHTER", 2);
        ASSERT_GT(replaced, 0);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(replaced)].width, 3);
        EXPECT_EQ(ObjectPixels(replaced)[0], 0xF800);
        elDraw::ReleaseObject(replaced);

        // So does a well-formed run-length file: every row one run of palette colour 5.
        std::vector<std::uint8_t> stream;
        for (int row = 0; row < 150; ++row) stream.insert(stream.end(), {200, 5, 0, 0});
        stream.insert(stream.end(), {0, 1});
        good.Rewrite(Rle8Fighter(stream));
        const std::int32_t runs = elDraw::LoadObject("FIGHTER", 2);
        ASSERT_GT(runs, 0);
        const std::size_t entry = 54 + 4 * 5;
        const std::uint16_t colour5 = Expected16(original[entry + 2], original[entry + 1],
                                                 original[entry], PixelLayout::Rgb565);
        EXPECT_EQ(ObjectPixels(runs), std::vector<std::uint16_t>(200 * 150, colour5));
        elDraw::ReleaseObject(runs);
    }

    struct Broken {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Broken> broken;
    broken.push_back({"empty", {}});
    broken.push_back({"not a picture", {'h', 'e', 'l', 'l', 'o'}});
    broken.push_back({"truncated in the pixels",
                      std::vector<std::uint8_t>(original.begin(), original.begin() + 20000)});
    broken.push_back({"truncated in the header",
                      std::vector<std::uint8_t>(original.begin(), original.begin() + 30)});
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 22, 300);  // twice the rows the file holds
        broken.push_back({"height larger than the data", b});
    }
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 18, 16000);
        Put32(b, 22, 16000);
        broken.push_back({"enormous size", b});
    }
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 18, 0x80000000u);  // negative width
        broken.push_back({"negative width", b});
    }
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 10, static_cast<std::uint32_t>(b.size() + 100));
        broken.push_back({"pixel offset past the end", b});
    }
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 46, 100000);  // palette far larger than the room before the pixels
        broken.push_back({"palette too large", b});
    }
    {
        std::vector<std::uint8_t> b = original;
        Put32(b, 10, 54);  // pixels start where the palette should be: no palette at all
        broken.push_back({"no palette", b});
    }
    broken.push_back({"run longer than a row", Rle8Fighter({255, 1, 0, 1})});
    {
        std::vector<std::uint8_t> stream = {0, 250};
        stream.resize(stream.size() + 250, 3);
        stream.insert(stream.end(), {0, 1});
        broken.push_back({"literal past the row", Rle8Fighter(stream)});
    }
    broken.push_back({"delta out of the picture", Rle8Fighter({0, 2, 10, 200, 0, 1})});
    broken.push_back({"stream ends early", Rle8Fighter({10, 3})});
    {
        std::vector<std::uint8_t> stream;
        for (int row = 0; row < 152; ++row) {  // two end-of-lines more than there are rows
            stream.insert(stream.end(), {0, 0});
        }
        stream.insert(stream.end(), {4, 7, 0, 1});
        broken.push_back({"rows past the top", Rle8Fighter(stream)});
    }

    ProgramFile file("FIGHTER", {});
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.what);
        file.Rewrite(b.bytes);
        const std::int32_t object = elDraw::LoadObject("FIGHTER", 2);
        ASSERT_GT(object, 0);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].width, 200);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].height, 150);
        EXPECT_EQ(ObjectPixels(object), builtIn);
        elDraw::ReleaseObject(object);
    }
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

}  // namespace
}  // namespace drawtest
