// The object table: names, free entries, blank objects, pictures from files next to the
// executable, colour keys and the rebuilding of surfaces after a loss.
#include "el/draw/object_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/present.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"
#include "platform/resources.h"
#include "tests/el/draw/draw_test_support.h"
#include "tests/platform/audio/unusual_files.h"

namespace drawtest {
namespace {

using ObjectTable = OpenScreenTest;

TEST_F(ObjectTable, NamesOfThirtyCharactersAreTakenAndLongerOnesRefused) {
    const std::string thirty = "DRAWTEST_NAME_OF_THIRTY_CHARS_";
    ASSERT_EQ(thirty.size(), 30u);
    ProgramFile file(thirty, Bmp24(4, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
    EXPECT_EQ(elDraw::LoadObject(thirty.c_str(), 2), 2);
    EXPECT_EQ(NameOf(2), thirty);
    EXPECT_EQ(Record(2).width, 4);

    const std::string thirtyOne = thirty + "X";
    EXPECT_EQ(elDraw::LoadObject(thirtyOne.c_str(), 2), 0);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 3);  // refused before an entry was taken
    EXPECT_EQ(elDraw::SwapObject(thirtyOne.c_str(), 3, 2), 0);
    EXPECT_EQ(boxText(1), "elDraw::SwapObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(NameOf(3), "MACHINE");
    EXPECT_NE(elDraw::ObjectSurface(3), nullptr);
    EXPECT_EQ(boxCount(), 2u);
}

// Names are measured as the two-byte character set counts them: 1 per ASCII character, 2 per
// other character, whatever its length in UTF-8.
TEST(NameUnits, CountOneForAsciiAndTwoForAnyOtherCharacter) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 0},
        {"FIGHTER", 7},
        {"\u3042", 2},      // hiragana a: 3 bytes
        {"\u00e9", 2},      // e acute: 2 bytes
        {"\U0001F382", 2},  // birthday cake: 4 bytes
        {"A\u541bB", 4},
        {"\xFF", 1},      // no character starts so
        {"\xE3\x81", 2},  // a sequence cut short: its bytes one each
        {"\xE3\x81"
         "A",
         3},
        {"\xC0\xAF", 2},          // an overlong '/'
        {"\xED\xA0\x80", 3},      // a surrogate half
        {"\xF4\x90\x80\x80", 4},  // beyond U+10FFFF
        {"\x80\xE3\x81\x82", 3},  // a stray continuation byte, then hiragana a
    };
    for (const auto& [name, units] : cases) {
        EXPECT_EQ(platform::NameUnits(name), units) << testing::PrintToString(name);
    }
}

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// The limit is 30 units: 15 Japanese characters (45 bytes of UTF-8) fit, and the stored name
// keeps every byte of the longest name allowed.
TEST_F(ObjectTable, NamesAreMeasuredInTwoByteUnits) {
    const std::string fifteen =
        "\u30dd\u30dd\u30ed\u541b\u4e8c\u5341\u4e09\u6b73\u8a95\u751f"
        "\u65e5\u304a\u3081\u3067\u3068";
    ASSERT_EQ(fifteen.size(), 45u);
    const std::vector<std::pair<std::string, bool>> names = {
        {fifteen, true},
        {fifteen + "\u3046", false},
        {Repeat("A", 30), true},
        {Repeat("A", 31), false},
        // Appended, not "A" + ...: GCC 12 at -O2 misreads that sum as an overlapping copy.
        {std::string("A").append(fifteen, 0, 42).append("B"), true},  // 1 + 14 x 2 + 1
        {std::string("AB").append(fifteen, 0, 42).append("C"), false},
        {Repeat("\U0001F382", 15), true},  // 60 bytes
        {Repeat("\U0001F382", 15) + "A", false},
        {Repeat("\xFF", 30), true},
        {Repeat("\xFF", 31), false},
    };
    const std::vector<std::uint8_t> picture = Bmp24(1, {0x00FF00});
    for (const auto& [name, fits] : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        ProgramFile file(name, picture);
        const std::size_t boxes = boxCount();
        const std::int32_t object = elDraw::LoadObject(name.c_str(), 2);
        if (fits) {
            ASSERT_GT(object, 0);
            EXPECT_EQ(NameOf(object), name);
            EXPECT_EQ(ObjectPixels(object), std::vector<std::uint16_t>{0x07E0});  // the file
            EXPECT_EQ(elDraw::SwapObject(name.c_str(), object, 2), 1);
            EXPECT_EQ(NameOf(object), name);
            elDraw::ReleaseObject(object);
        } else {
            EXPECT_EQ(object, 0);
            EXPECT_EQ(boxText(boxes),
                      "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");
        }
    }
}

TEST_F(ObjectTable, AFullTableRefusesFurtherObjects) {
    for (std::int32_t expected = 2; expected < elDraw::kObjectCount; ++expected) {
        ASSERT_EQ(elDraw::CreateObject(1, 1, 1), expected);
    }
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 0);
    EXPECT_EQ(elDraw::CreateObject(1, 1, 1), 0);
    EXPECT_EQ(boxCount(), 2u);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : オブジェクト数が多過ぎます");
    EXPECT_EQ(boxText(1), "elDraw::CreateObject : オブジェクト数が多過ぎます");
    // A released entry is handed out again.
    elDraw::ReleaseObject(500);
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 500);
}

TEST_F(ObjectTable, AFailedLoadKeepsItsEntry) {
    EXPECT_EQ(elDraw::LoadObject("NO_SUCH_PICTURE", 2), 0);
    EXPECT_EQ(boxText(0), "elDraw::LoadObject : BMPファイルを読み込めません");
    EXPECT_EQ(NameOf(2), "NO_SUCH_PICTURE");
    EXPECT_EQ(elDraw::ObjectSurface(2), nullptr);
    elDraw::ReleaseObject(2);  // does not free an entry without a surface
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
    EXPECT_EQ(Record(blank).width, 40);
    EXPECT_EQ(Record(blank).height, 101);
    // ClearObject covers the whole recorded size, the extra row included.
    FillPattern(blank);
    EXPECT_EQ(elDraw::ClearObject(blank), platform::DD_OK);
    EXPECT_EQ(ObjectPixels(blank), std::vector<std::uint16_t>(40 * 101, 0));

    const std::int32_t sizes[][2] = {{0, 10},       {-5, 10},           {10, -1},
                                     {10, INT_MAX}, {INT_MIN, INT_MIN}, {100000, 100000}};
    for (const auto& [w, h] : sizes) {
        EXPECT_EQ(elDraw::CreateObject(w, h, 1), 0) << w << " x " << h;
        EXPECT_EQ(boxText(boxCount() - 1), "elDraw::CreateObject : スプライトを作成できません");
    }
    EXPECT_EQ(boxCount(), std::size(sizes));
}

TEST_F(ObjectTable, SwapKeepsTheNumberAndTakesTheNewPicture) {
    const std::int32_t object = elDraw::LoadObject("MACHINE", 2);
    const std::int32_t reference = elDraw::LoadObject("RUNNER", 2);
    ASSERT_TRUE(object > 0 && reference > 0);
    EXPECT_EQ(elDraw::SwapObject("RUNNER", object, 2), 1);
    EXPECT_EQ(NameOf(object), "RUNNER");
    EXPECT_EQ(Record(object).width, 104);
    EXPECT_EQ(Record(object).height, 1020);
    EXPECT_EQ(ObjectPixels(object), ObjectPixels(reference));
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

TEST_F(ObjectTable, KeyAndReleaseCallsIgnoreNumbersWithoutAnObject) {
    const std::int32_t object = elDraw::CreateObject(4, 4, 1);
    ASSERT_GT(object, 0);
    for (std::int32_t bad : {-1, 1024, INT_MIN, INT_MAX, 900}) {  // 900: a free entry
        EXPECT_NE(elDraw::SetObjectKey(bad, 0), platform::DD_OK) << bad;
        elDraw::SetObjectKeyFromCorner(bad);
        elDraw::CopyKey(bad, object);
        elDraw::CopyKey(object, bad);
        elDraw::ReleaseObject(bad);
        if (bad != 900) {
            EXPECT_EQ(elDraw::SwapObject("MACHINE", bad, 2), 0) << bad;
        }
    }
    EXPECT_EQ(Record(object).key, 0u);
    EXPECT_NE(elDraw::ObjectSurface(object), nullptr);
}

using PictureLayout = LayoutTest;

TEST_P(PictureLayout, LoadingConvertsColoursToTheLayoutsTopBits) {
    // Low bits that differ from the top bits, so rounding instead of truncating shows.
    const std::vector<std::uint32_t> colours = {
        0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x847F21,
        0x07FC08, 0xF80408, 0x123456, 0xABCDEF, 0x0C0C0C, 0xFBFDFE,
    };
    const std::string name =
        std::string("DRAWTEST_CONV_") + (GetParam() == PixelLayout::Rgb565 ? "565" : "555");
    ProgramFile file(name, Bmp24(4, colours));
    const std::int32_t object = elDraw::LoadObject(name.c_str(), 2);
    ASSERT_GT(object, 0) << boxText(0);
    EXPECT_EQ(Record(object).width, 4);
    std::vector<std::uint16_t> expected;
    for (std::uint32_t rgb : colours) {
        expected.push_back(Expected16(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF, GetParam()));
    }
    EXPECT_EQ(ObjectPixels(object), expected);
}

// Only this test uses the name FIGHTER, so that tests running side by side do not meet its file.
TEST_F(ObjectTable, BrokenFilesGiveWayToTheBuiltInPicture) {
    const auto resource = platform::FindResource("FIGHTER", platform::RT_BITMAP);
    ASSERT_TRUE(resource.has_value());
    const std::vector<std::uint8_t> original(resource->begin(), resource->end());
    ASSERT_GT(original.size(), 20000u);
    const std::int32_t reference = elDraw::LoadObject("FIGHTER", 2);
    ASSERT_GT(reference, 0);
    const std::vector<std::uint16_t> builtIn = ObjectPixels(reference);
    ASSERT_EQ(builtIn.size(), 200u * 150u);

    // A good file takes the built-in picture's place, so the file is indeed read.
    ProgramFile file("FIGHTER", Bmp24(4, {0xFF0000, 0, 0, 0x0000FF}));
    const std::int32_t replaced = elDraw::LoadObject("FIGHTER", 2);
    ASSERT_GT(replaced, 0);
    EXPECT_EQ(ObjectPixels(replaced), (std::vector<std::uint16_t>{0xF800, 0, 0, 0x001F}));
    elDraw::ReleaseObject(replaced);

    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::vector<std::uint8_t> bytes = original;
        Put32(bytes, at, value);
        return bytes;
    };
    const std::pair<const char*, std::vector<std::uint8_t>> broken[] = {
        {"empty", {}},
        {"truncated in the pixels", {original.begin(), original.begin() + 20000}},
        {"height larger than the data", patched(22, 300)},
        {"pixel offset past the end",
         patched(10, static_cast<std::uint32_t>(original.size() + 100))},
        {"palette too large", patched(46, 100000)},
    };
    // Each refusal is one line on standard error naming the file and the reason.
    const std::string path = std::string(elSystem::ProgramDirectory()) + "FIGHTER";
    const auto expectBuiltIn = [&](const std::string& reason) {
        testing::internal::CaptureStderr();
        std::int32_t object = 0;
        const double seconds =
            wavetest::SecondsFor([&] { object = elDraw::LoadObject("FIGHTER", 2); });
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_LT(seconds, 1.0);
        ASSERT_GT(object, 0);
        EXPECT_EQ(Record(object).width, 200);
        EXPECT_EQ(ObjectPixels(object), builtIn);
        elDraw::ReleaseObject(object);
        const std::string start = std::string(program_invocation_short_name) + ": " + path + ": ";
        const std::string end = "; using the built-in FIGHTER instead\n";
        EXPECT_TRUE(said.starts_with(start) && said.ends_with(end)) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        if (!reason.empty()) {
            EXPECT_NE(said.find(": " + reason + ";"), std::string::npos) << said;
        }
    };
    for (const auto& [what, bytes] : broken) {
        SCOPED_TRACE(what);
        file.Rewrite(bytes);
        expectBuiltIn("");
    }
    // What is not a regular file is never opened for reading: a FIFO would stall the load.
    std::remove(path.c_str());
    {
        SCOPED_TRACE("fifo");
        const wavetest::Fifo fifo(path);
        ASSERT_TRUE(fifo.made());
        expectBuiltIn("not a regular file");
    }
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    expectBuiltIn("not a regular file");
    ASSERT_EQ(rmdir(path.c_str()), 0);
    {
        SCOPED_TRACE("sparse");
        ASSERT_TRUE(wavetest::MakeSparseFile(path, original, std::uint64_t{4} << 30));
        expectBuiltIn("the file is too large");
    }
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

// Copies the object keyed over a background and checks that exactly its key pixels were left
// out; the object must hold both key and other pixels for that to mean something.
void ExpectKeyedCopyLeavesOut(std::int32_t object, std::uint16_t key) {
    const std::vector<std::uint16_t> source = ObjectPixels(object);
    const std::int32_t w = Record(object).width,
                       h = std::min<std::int32_t>(Record(object).height, 480);
    ASSERT_EQ(source.size(), static_cast<std::size_t>(w * Record(object).height));
    constexpr std::uint16_t kBackground = 0x5555;
    ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, kBackground), platform::DD_OK);
    elDraw::BlitKeyed(0, 0, object, 0, 0, w, h);
    std::vector<std::uint16_t> expected(640 * 480, kBackground);
    std::int32_t keyed = 0;
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint16_t s = source[static_cast<std::size_t>(y * w + x)];
            keyed += s == key;
            if (s != key) expected[static_cast<std::size_t>(y * 640 + x)] = s;
        }
    }
    EXPECT_EQ(BackPixels(), expected);
    EXPECT_GT(keyed, 0);
    EXPECT_LT(keyed, w * h);
}

TEST_P(PictureLayout, KeyedCopiesLeaveOutTheKeyInForceAtLoading) {
    elDraw::SetKeyColor(platform::Rgb(0, 255, 0));
    const std::int32_t runner = elDraw::LoadObject("RUNNER", 2);
    elDraw::SetKeyColor(0);
    const std::int32_t machine = elDraw::LoadObject("MACHINE", 2);
    ASSERT_TRUE(runner > 0 && machine > 0);
    ExpectKeyedCopyLeavesOut(runner, Expected16(0, 255, 0, GetParam()));
    ExpectKeyedCopyLeavesOut(machine, 0);
}

TEST_P(PictureLayout, FindingTheKeyLeavesThePictureUnchanged) {
    // Red is not in the picture; the key search writes it to the corner for a moment only.
    const std::int32_t plain = elDraw::LoadObject("TANUKI", 2);
    elDraw::SetKeyColor(platform::Rgb(255, 0, 0));
    const std::int32_t redKeyed = elDraw::LoadObject("TANUKI", 2);
    ASSERT_TRUE(plain > 0 && redKeyed > 0);
    EXPECT_EQ(ObjectPixels(redKeyed), ObjectPixels(plain));
    // From the corner, the key is the top-left pixel itself.
    elDraw::SetKeyFromCorner();
    const std::int32_t cornerKeyed = elDraw::LoadObject("TANUKI", 2);
    ASSERT_GT(cornerKeyed, 0);
    EXPECT_EQ(Record(cornerKeyed).key, platform::CLR_INVALID);
    ExpectKeyedCopyLeavesOut(cornerKeyed, ObjectPixels(cornerKeyed)[0]);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PictureLayout, kBothLayouts, LayoutName);

TEST_F(ObjectTable, RestoringReloadsPicturesWithTheirKeysAndLeavesTheRestAlone) {
    elDraw::SetKeyColor(platform::Rgb(0, 255, 0));
    const std::int32_t runner = elDraw::LoadObject("RUNNER", 1);
    elDraw::SetKeyColor(0);
    const std::int32_t machine = elDraw::LoadObject("MACHINE", 2);
    const std::int32_t blank = elDraw::CreateObject(8, 8, 1);
    ASSERT_TRUE(runner > 0 && machine > 0 && blank > 0);
    const std::vector<std::uint16_t> runnerPixels = ObjectPixels(runner);
    const std::vector<std::uint16_t> machinePixels = ObjectPixels(machine);
    int frames = 0;
    host->onFrame = [&](const platform::FrameView&) { ++frames; };
    // RestoreSurfaces itself, and each drawing call that meets a lost surface.
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"restore", [] { elDraw::RestoreSurfaces(); }},
        {"blit", [&] { elDraw::BlitKeyed(0, 0, machine, 0, 0, 200, 150); }},
        {"object to object",
         [&] {
             EXPECT_EQ(elDraw::BlitObjectOpaque(blank, 0, 0, machine, 0, 0, 8, 8),
                       platform::DDERR_SURFACELOST);
         }},
        {"capture", [] { elDraw::CaptureScreen(1, 0, 0, 640, 480); }},
        {"present", [] { elDraw::PresentFrame(); }}};
    for (const auto& [what, call] : calls) {
        SCOPED_TRACE(what);
        platform::LoseAllSurfaces();
        const std::int32_t later = elDraw::LoadObject("TANUKI", 1);  // made after the loss
        ASSERT_GT(later, 0);
        std::vector<std::uint16_t> marked = ObjectPixels(later);
        marked[5] ^= 0x0841;
        WritePixels(*elDraw::ObjectSurface(later), marked);
        call();
        EXPECT_FALSE(elDraw::BackSurface->IsLost());
        for (std::int32_t n : {0, 1, blank}) EXPECT_FALSE(elDraw::ObjectSurface(n)->IsLost()) << n;
        EXPECT_EQ(ObjectPixels(runner), runnerPixels);
        EXPECT_EQ(ObjectPixels(machine), machinePixels);
        EXPECT_EQ(ObjectPixels(later), marked);
        ExpectKeyedCopyLeavesOut(runner, Expected16(0, 255, 0, PixelLayout::Rgb565));
        ExpectKeyedCopyLeavesOut(machine, 0);
    }
    EXPECT_EQ(frames, 0);  // the lost frame is not shown
    elDraw::PresentFrame();
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

// A lock refused while a picture is reloaded leaves the object lost, not blank: the next
// restore loads it, and no message claims the picture cannot be read.
TEST_F(ObjectTable, APictureThatCannotBeReloadedNowIsReloadedLater) {
    const std::int32_t machine = elDraw::LoadObject("MACHINE", 2);
    ASSERT_GT(machine, 0);
    const std::vector<std::uint16_t> pixels = ObjectPixels(machine);
    platform::LoseAllSurfaces();
    platform::display_faults::FailOnce(platform::DisplayOp::kGetDC);
    elDraw::RestoreSurfaces();
    EXPECT_TRUE(elDraw::ObjectSurface(machine)->IsLost());
    elDraw::RestoreSurfaces();
    EXPECT_FALSE(elDraw::ObjectSurface(machine)->IsLost());
    EXPECT_EQ(ObjectPixels(machine), pixels);
    EXPECT_EQ(boxCount(), 0u) << boxText(0);
}

}  // namespace
}  // namespace drawtest
