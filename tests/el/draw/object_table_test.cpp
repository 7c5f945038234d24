// The object table: names, free entries, blank objects, colour keys and the rebuilding of
// surfaces after a loss.
#include "el/draw/object_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/present.h"
#include "platform/display/display_device.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

using ObjectTable = OpenScreenTest;

std::string NameOf(std::int32_t object) {
    return elDraw::Objects[static_cast<std::size_t>(object)].name.data();
}

TEST_F(ObjectTable, NamesOfThirtyCharactersAreTakenAndLongerOnesRefused) {
    const std::string thirty = "DRAWTEST_NAME_OF_THIRTY_CHARS_";
    ASSERT_EQ(thirty.size(), 30u);
    ProgramFile file(thirty, Bmp24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
    EXPECT_EQ(elDraw::LoadObject(thirty.c_str(), 2), 2);
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
    EXPECT_EQ(NameOf(2), thirty);
    EXPECT_EQ(elDraw::Objects[2].width, 2);

    const std::string thirtyOne = thirty + "X";
    EXPECT_EQ(elDraw::LoadObject(thirtyOne.c_str(), 2), 0);
    ASSERT_EQ(boxCount(), 1u);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(boxCaption(0), "エラー発生");
    // Refused before an entry was taken: the next load gets entry 3.
    EXPECT_EQ(NameOf(3), "");
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 3);

    // A swap with too long a name leaves the entry as it was.
    EXPECT_EQ(elDraw::SwapObject(thirtyOne.c_str(), 3, 2), 0);
    ASSERT_EQ(boxCount(), 2u);
    EXPECT_EQ(boxText(1), "elDraw::SwapObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(NameOf(3), "MACHINE");
    EXPECT_NE(elDraw::ObjectSurface(3), nullptr);
}

TEST_F(ObjectTable, AFullTableRefusesFurtherObjects) {
    for (std::int32_t expected = 2; expected < elDraw::kObjectCount; ++expected) {
        ASSERT_EQ(elDraw::CreateObject(1, 1, 1), expected);
    }
    EXPECT_EQ(boxCount(), 0u);
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 0);
    ASSERT_EQ(boxCount(), 1u);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : オブジェクト数が多過ぎます");
    EXPECT_EQ(elDraw::CreateObject(1, 1, 1), 0);
    ASSERT_EQ(boxCount(), 2u);
    EXPECT_EQ(boxText(1), "elDraw::CreateObject : オブジェクト数が多過ぎます");
    // A released entry is handed out again, and the reserved ones never are.
    elDraw::ReleaseObject(500);
    EXPECT_EQ(NameOf(500), "");
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 500);
    EXPECT_NE(elDraw::ObjectSurface(0), nullptr);
    EXPECT_NE(elDraw::ObjectSurface(1), nullptr);
}

TEST_F(ObjectTable, AFailedLoadKeepsItsEntry) {
    EXPECT_EQ(elDraw::LoadObject("NO_SUCH_PICTURE", 2), 0);
    ASSERT_EQ(boxCount(), 1u);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : BMPファイルを読み込めません");
    EXPECT_EQ(NameOf(2), "NO_SUCH_PICTURE");
    EXPECT_EQ(elDraw::ObjectSurface(2), nullptr);
    // An entry without a surface is not freed by ReleaseObject.
    elDraw::ReleaseObject(2);
    EXPECT_EQ(NameOf(2), "NO_SUCH_PICTURE");
    EXPECT_EQ(elDraw::LoadObject("NO_SUCH_PICTURE", 2), 0);
    EXPECT_EQ(NameOf(3), "NO_SUCH_PICTURE");
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 4);
    EXPECT_EQ(elDraw::SwapObject("NO_SUCH_PICTURE", 4, 2), 0);
    EXPECT_EQ(boxText(2), "elDraw::SwapObject : BMPファイルを読み込めません");
    EXPECT_EQ(elDraw::ObjectSurface(4), nullptr);
}

TEST_F(ObjectTable, BlankObjectsAreOneRowTallerThanAsked) {
    const std::int32_t blank = elDraw::CreateObject(40, 100, 1);
    ASSERT_EQ(blank, 2);
    EXPECT_EQ(NameOf(blank), "*");
    EXPECT_EQ(elDraw::Objects[2].width, 40);
    EXPECT_EQ(elDraw::Objects[2].height, 101);
    ASSERT_NE(elDraw::ObjectSurface(blank), nullptr);
    EXPECT_EQ(elDraw::ObjectSurface(blank)->width(), 40);
    EXPECT_EQ(elDraw::ObjectSurface(blank)->height(), 101);
    // ClearObject covers the whole recorded size, the extra row included.
    FillPattern(blank);
    EXPECT_EQ(elDraw::ClearObject(blank), platform::DD_OK);
    for (std::uint16_t pixel : ObjectPixels(blank)) ASSERT_EQ(pixel, 0);
}

TEST_F(ObjectTable, ImpossibleBlankSizesAreRefused) {
    const std::int32_t sizes[][2] = {{0, 10},       {-5, 10},           {10, -1},
                                     {10, INT_MAX}, {INT_MIN, INT_MIN}, {100000, 100000}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        const std::size_t before = boxCount();
        EXPECT_EQ(elDraw::CreateObject(size[0], size[1], 1), 0);
        ASSERT_EQ(boxCount(), before + 1);
        EXPECT_EQ(boxText(before), "elDraw::CreateObject : スプライトを作成できません");
    }
}

TEST_F(ObjectTable, SwapKeepsTheNumberAndTakesTheNewPicture) {
    const std::int32_t object = elDraw::LoadObject("MACHINE", 2);
    const std::int32_t reference = elDraw::LoadObject("RUNNER", 2);
    ASSERT_GT(object, 0);
    ASSERT_GT(reference, 0);
    EXPECT_EQ(elDraw::SwapObject("RUNNER", object, 2), 1);
    EXPECT_EQ(NameOf(object), "RUNNER");
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].width, 104);
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].height, 1020);
    EXPECT_EQ(ObjectPixels(object), ObjectPixels(reference));
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

TEST_F(ObjectTable, KeyAndReleaseCallsIgnoreNumbersWithoutAnObject) {
    const std::int32_t object = elDraw::CreateObject(4, 4, 1);
    ASSERT_GT(object, 0);
    // 900 is a free entry: in range, but without a surface.
    for (std::int32_t bad : {-1, 1024, INT_MIN, INT_MAX, 900}) {
        SCOPED_TRACE(bad);
        EXPECT_NE(elDraw::SetObjectKey(bad, 0), platform::DD_OK);
        elDraw::SetObjectKeyFromCorner(bad);
        elDraw::CopyKey(bad, object);
        elDraw::CopyKey(object, bad);
        elDraw::ReleaseObject(bad);
        if (bad != 900) {
            EXPECT_EQ(elDraw::SwapObject("MACHINE", bad, 2), 0);
        }
    }
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(object)].key, 0u);
    EXPECT_NE(elDraw::ObjectSurface(object), nullptr);
}

// ---- Colour keys ----

using KeyTest = LayoutTest;

TEST_P(KeyTest, KeyedCopiesLeaveTheKeyOutAndKeysFollowSetKeyColor) {
    const PixelLayout layout = GetParam();
    elDraw::SetKeyColor(platform::Rgb(0, 255, 0));
    const std::int32_t runner = elDraw::LoadObject("RUNNER", 2);
    elDraw::SetKeyColor(0);
    const std::int32_t machine = elDraw::LoadObject("MACHINE", 2);
    ASSERT_GT(runner, 0);
    ASSERT_GT(machine, 0);
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(runner)].key, 0x00FF00u);
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(machine)].key, 0u);

    const std::uint16_t background = 0x5555;
    struct Case {
        std::int32_t object;
        std::uint16_t key;
    };
    for (const Case& c : {Case{runner, Expected16(0, 255, 0, layout)}, Case{machine, 0}}) {
        SCOPED_TRACE(NameOf(c.object));
        const platform::Surface* surface = elDraw::ObjectSurface(c.object);
        ASSERT_NE(surface, nullptr);
        const std::int32_t w = surface->width();
        const std::int32_t h = std::min(surface->height(), 480);
        const std::vector<std::uint16_t> source = ObjectPixels(c.object);
        ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, background), platform::DD_OK);
        elDraw::BlitKeyed(0, 0, c.object, 0, 0, w, h);
        const std::vector<std::uint16_t> back = BackPixels();
        std::size_t keyed = 0;
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint16_t s = source[static_cast<std::size_t>(y * w + x)];
                const std::uint16_t d = back[static_cast<std::size_t>(y * 640 + x)];
                keyed += s == c.key ? 1 : 0;
                ASSERT_EQ(d, s == c.key ? background : s) << x << "," << y;
            }
        }
        // Both pictures have key pixels and others, so the check above means something.
        EXPECT_GT(keyed, 0u);
        EXPECT_LT(keyed, static_cast<std::size_t>(w * h));
        // The opaque copy takes the key pixels too.
        elDraw::BlitOpaque(0, 0, c.object, 0, 0, w, h);
        const std::vector<std::uint16_t> opaque = BackPixels();
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(opaque[static_cast<std::size_t>(y * 640 + x)],
                          source[static_cast<std::size_t>(y * w + x)]);
            }
        }
    }
}

TEST_P(KeyTest, FindingTheKeyLeavesThePictureUnchanged) {
    // Red is not in the picture; the key search writes it to the corner for a moment only.
    const std::int32_t plain = elDraw::LoadObject("TANUKI", 2);
    elDraw::SetKeyColor(platform::Rgb(255, 0, 0));
    const std::int32_t redKeyed = elDraw::LoadObject("TANUKI", 2);
    ASSERT_GT(plain, 0);
    ASSERT_GT(redKeyed, 0);
    EXPECT_EQ(ObjectPixels(redKeyed), ObjectPixels(plain));
    EXPECT_EQ(elDraw::MatchColor(elDraw::ObjectSurface(redKeyed), platform::Rgb(255, 0, 0)),
              Expected16(255, 0, 0, GetParam()));
    // From the corner: the key is the top-left pixel itself.
    elDraw::SetKeyFromCorner();
    const std::int32_t cornerKeyed = elDraw::LoadObject("TANUKI", 2);
    ASSERT_GT(cornerKeyed, 0);
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(cornerKeyed)].key, platform::CLR_INVALID);
    platform::ColorKey key;
    ASSERT_EQ(elDraw::ObjectSurface(cornerKeyed)->GetColorKey(platform::DDCKEY_SRCBLT, key),
              platform::DD_OK);
    EXPECT_EQ(key.low, ObjectPixels(cornerKeyed)[0]);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, KeyTest,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555), LayoutName);

// ---- Surface loss ----

class SurfaceLoss : public OpenScreenTest {
  protected:
    void SetUp() override {
        OpenScreenTest::SetUp();
        elDraw::SetKeyColor(platform::Rgb(0, 255, 0));
        runner = elDraw::LoadObject("RUNNER", 1);  // system memory at first
        elDraw::SetKeyColor(0);
        machine = elDraw::LoadObject("MACHINE", 2);
        blank = elDraw::CreateObject(8, 8, 1);
        ASSERT_GT(runner, 0);
        ASSERT_GT(machine, 0);
        ASSERT_GT(blank, 0);
        runnerPixels = ObjectPixels(runner);
        machinePixels = ObjectPixels(machine);
    }

    void ExpectPicturesBack() {
        for (std::int32_t n : {runner, machine, blank}) {
            ASSERT_NE(elDraw::ObjectSurface(n), nullptr) << n;
            EXPECT_FALSE(elDraw::ObjectSurface(n)->IsLost()) << n;
        }
        EXPECT_FALSE(elDraw::BackSurface->IsLost());
        EXPECT_FALSE(elDraw::ObjectSurface(0)->IsLost());
        EXPECT_FALSE(elDraw::ObjectSurface(1)->IsLost());
        EXPECT_EQ(ObjectPixels(runner), runnerPixels);
        EXPECT_EQ(ObjectPixels(machine), machinePixels);
        EXPECT_EQ(NameOf(runner), "RUNNER");
        EXPECT_EQ(NameOf(blank), "*");
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(runner)].key, 0x00FF00u);
        EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(machine)].key, 0u);
        // Reloaded pictures come back placed by the display, whatever they asked for first.
        EXPECT_EQ(elDraw::ObjectSurface(runner)->caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
        // The green key survived: a keyed copy leaves every green pixel out.
        const std::uint16_t green = Expected16(0, 255, 0, PixelLayout::Rgb565);
        elDraw::FillRect(0, 0, 640, 480, 0x1234);
        elDraw::BlitKeyed(0, 0, runner, 0, 0, 104, 480);
        const std::vector<std::uint16_t> back = BackPixels();
        for (std::int32_t y = 0; y < 480; ++y) {
            for (std::int32_t x = 0; x < 104; ++x) {
                const std::uint16_t s = runnerPixels[static_cast<std::size_t>(y * 104 + x)];
                ASSERT_EQ(back[static_cast<std::size_t>(y * 640 + x)], s == green ? 0x1234 : s);
            }
        }
        EXPECT_EQ(boxCount(), 0u) << boxText(0);
    }

    std::int32_t runner = 0, machine = 0, blank = 0;
    std::vector<std::uint16_t> runnerPixels, machinePixels;
};

TEST_F(SurfaceLoss, RestoreReloadsPicturesWithTheirKeys) {
    platform::LoseAllSurfaces();
    elDraw::RestoreSurfaces();
    ExpectPicturesBack();
}

TEST_F(SurfaceLoss, SurfacesThatWereNotLostAreLeftAlone) {
    platform::LoseAllSurfaces();
    const std::int32_t later = elDraw::LoadObject("TANUKI", 1);
    ASSERT_GT(later, 0);
    std::vector<std::uint16_t> marked = ObjectPixels(later);
    marked[5] ^= 0x0841;
    WritePixels(*elDraw::ObjectSurface(later), marked);
    elDraw::RestoreSurfaces();
    EXPECT_EQ(ObjectPixels(later), marked);
    EXPECT_NE(elDraw::ObjectSurface(later)->caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
    ExpectPicturesBack();
}

TEST_F(SurfaceLoss, ABlitMeetingALostSurfaceRestoresEverything) {
    platform::LoseAllSurfaces();
    elDraw::BlitKeyed(0, 0, machine, 0, 0, 200, 150);
    ExpectPicturesBack();
}

TEST_F(SurfaceLoss, PresentingALostFrameRestoresEverything) {
    int frames = 0;
    host->onFrame = [&](const platform::FrameView&) { ++frames; };
    platform::LoseAllSurfaces();
    elDraw::PresentFrame();
    EXPECT_EQ(frames, 0);
    ExpectPicturesBack();
    elDraw::PresentFrame();
    EXPECT_EQ(frames, 1);
}

TEST_F(SurfaceLoss, ObjectToObjectCopiesAndCapturesRestoreToo) {
    platform::LoseAllSurfaces();
    EXPECT_EQ(elDraw::BlitObjectOpaque(blank, 0, 0, machine, 0, 0, 8, 8),
              platform::DDERR_SURFACELOST);
    ExpectPicturesBack();
    platform::LoseAllSurfaces();
    elDraw::CaptureScreen(1, 0, 0, 640, 480);
    ExpectPicturesBack();
}

}  // namespace
}  // namespace drawtest
