#include "platform/bitmap/bmp_decoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <set>
#include <sstream>

#include "platform/display/gdi.h"
#include "platform/resources.h"
#include "tests/platform/audio/unusual_files.h"
#include "tests/platform/audio/wave_builder.h"

// The largest single allocation since the last reset: proves a refusal came before the buffer.
// The replacements are kept out of line: inlined at a call site, GCC's optimiser sees malloc()
// and free() facing operator new and delete and reports a mismatched pair.
static std::size_t g_largest_allocation = 0;
__attribute__((noinline)) void* operator new(std::size_t size) {
    g_largest_allocation = std::max(g_largest_allocation, size);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

// The file loader lives beside the resource loader; this test has no resources.
std::span<const platform::ResourceEntry> platform::BuiltInResources() {
    return {};
}

namespace {

using platform::DecodeBmp;
using platform::DecodedBitmap;
using Bytes = std::vector<std::uint8_t>;

const std::string kSuite = std::string(GREETING_CORPORA) + "/bmpsuite";

std::optional<Bytes> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Reference {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgba;  // 0xAARRGGBB
};

std::optional<Reference> ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;  // 16-bit references hold sRGB values, not linear
    image.format = PNG_FORMAT_BGRA;            // bytes B, G, R, A: a little-endian 0xAARRGGBB
    Reference ref{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    ref.rgba.resize(std::size_t{image.width} * image.height);
    if (!png_image_finish_read(&image, nullptr, ref.rgba.data(), 0, nullptr)) return std::nullopt;
    return ref;
}

// The suite's 16-bit references only agree with exact decoders at 5-6-5 precision.
std::uint32_t To565(std::uint32_t c) {
    return (c >> 19 & 0x1F) << 11 | (c >> 10 & 0x3F) << 5 | (c >> 3 & 0x1F);
}

// The first reference the picture matches, or a description of why none did. Alpha is dropped by
// the decoder; with `allow_transparent`, when no reference matches whole, reference pixels of
// alpha 0 are left out as carrying no colour.
bool MatchesAReference(const DecodedBitmap& bmp, const std::vector<std::string>& refs,
                       bool allow_transparent, std::string& report) {
    std::ostringstream out;
    for (const bool skip : {false, true}) {
        if (skip && !allow_transparent) break;
        for (const std::string& name : refs) {
            const std::optional<Reference> ref = ReadPng(kSuite + "/" + name);
            if (!ref || ref->width != bmp.width || ref->height != bmp.height) {
                out << name << ": unreadable or another size; ";
                continue;
            }
            int differ = 0, first = -1;
            for (std::size_t i = 0; i < ref->rgba.size(); ++i) {
                if (skip && ref->rgba[i] >> 24 == 0) continue;
                if (To565(ref->rgba[i]) == To565(bmp.pixels[i])) continue;
                if (differ++ == 0) first = static_cast<int>(i);
            }
            if (differ == 0) {
                report = name + (skip ? " (opaque pixels)" : "");
                return true;
            }
            out << name << ": " << differ << " pixels differ, first at (" << first % bmp.width
                << "," << first / bmp.width << ") decoded " << std::hex << bmp.pixels[first]
                << " reference " << (ref->rgba[first] & 0xFFFFFF) << std::dec << "; ";
        }
    }
    report = out.str();
    return false;
}

struct CorpusFile {
    std::string file;  // empty: the corpus is absent
    std::vector<std::string> refs;
};

std::vector<CorpusFile> FilesOfClasses(const std::string& classes) {
    std::ifstream manifest(kSuite + "/manifest.tsv");
    std::vector<CorpusFile> files;
    std::string line;
    std::getline(manifest, line);  // column names
    while (std::getline(manifest, line)) {
        std::vector<std::string> cols;
        std::istringstream fields(line);
        for (std::string col; std::getline(fields, col, '\t');) cols.push_back(col);
        if (cols.size() < 4 || classes.find(cols[1]) == std::string::npos) continue;
        CorpusFile entry{cols[0], {}};
        std::istringstream refs(cols[3]);
        for (std::string ref; std::getline(refs, ref, ';');) {
            if (ref.ends_with(".png")) entry.refs.push_back(ref);
        }
        files.push_back(entry);
    }
    if (files.empty()) files.push_back({});
    return files;
}

std::string TestName(const testing::TestParamInfo<CorpusFile>& info) {
    std::string name = info.param.file.empty() ? "CorpusAbsent" : info.param.file.substr(2);
    name = name.substr(0, name.find('.'));
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

class CorpusTest : public testing::TestWithParam<CorpusFile> {
  protected:
    void SetUp() override {
        if (GetParam().file.empty()) GTEST_SKIP() << "bmpsuite corpus not found at " << kSuite;
    }
    // A read failure is a test failure, not a refusal: callers check HasFailure().
    std::optional<DecodedBitmap> Decode(std::string& error) {
        const std::optional<Bytes> data = ReadFile(kSuite + "/" + GetParam().file);
        if (!data) {
            ADD_FAILURE() << "cannot read " << GetParam().file;
            return std::nullopt;
        }
        std::optional<DecodedBitmap> bmp = DecodeBmp(*data, &error);
        RecordProperty("outcome", bmp ? "decoded" : "refused: " + error);
        return bmp;
    }
};

class GoodFile : public CorpusTest {};
class BadFile : public CorpusTest {};
class QuestionableFile : public CorpusTest {};

TEST_P(GoodFile, MatchesItsReference) {
    std::string error, report;
    const std::optional<DecodedBitmap> bmp = Decode(error);
    ASSERT_TRUE(bmp) << error;
    EXPECT_TRUE(MatchesAReference(*bmp, GetParam().refs, false, report)) << report;
}

// The files the suite's README only allows to be refused; the others may decode safely.
const std::set<std::string> kMustRefuse = {"b/badbitcount.bmp", "b/badheadersize.bmp",
                                           "b/badplanes.bmp",   "b/badwidth.bmp",
                                           "b/reallybig.bmp",   "b/rletopdown.bmp"};
// g/pal1.bmp with one header field broken (compared byte for byte): they decode to its picture.
const std::set<std::string> kPal1WithBrokenField = {"b/badbitssize.bmp", "b/baddens1.bmp",
                                                    "b/baddens2.bmp", "b/badfilesize.bmp"};

TEST_P(BadFile, IsRefusedOrDecodedSafely) {
    std::string error, report;
    const std::optional<DecodedBitmap> bmp = Decode(error);
    if (HasFailure()) return;
    if (!bmp) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_FALSE(kMustRefuse.contains(GetParam().file));
    ASSERT_EQ(bmp->pixels.size(), std::size_t(bmp->width) * bmp->height);
    std::vector<std::string> refs = GetParam().refs;
    if (kPal1WithBrokenField.contains(GetParam().file)) refs = {"html/pal1.png"};
    if (!refs.empty()) {
        EXPECT_TRUE(MatchesAReference(*bmp, refs, false, report)) << report;
    }
}

TEST_P(QuestionableFile, IsRefusedOrMatchesAReference) {
    std::string error, report;
    std::optional<DecodedBitmap> bmp = Decode(error);
    if (!bmp) return;
    if (GetParam().file == "q/rgb24prof2.bmp") {
        // Its pixels hold red and green swapped for an embedded profile to swap back; like the
        // Windows loader, the decoder applies no colour profile.
        for (std::uint32_t& c : bmp->pixels) c = (c & 0xFF) | (c >> 8 & 0xFF00) | (c & 0xFF00) << 8;
    }
    ASSERT_EQ(bmp->pixels.size(), std::size_t(bmp->width) * bmp->height);
    ASSERT_FALSE(GetParam().refs.empty()) << "decoded, with no PNG reference to compare";
    EXPECT_TRUE(MatchesAReference(*bmp, GetParam().refs, true, report)) << report;
    RecordProperty("reference", report);
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, GoodFile, testing::ValuesIn(FilesOfClasses("g")), TestName);
INSTANTIATE_TEST_SUITE_P(Bmpsuite, BadFile, testing::ValuesIn(FilesOfClasses("b")), TestName);
INSTANTIATE_TEST_SUITE_P(Bmpsuite, QuestionableFile, testing::ValuesIn(FilesOfClasses("qx")),
                         TestName);

// --- Cases the suite does not cover, on small pictures built here. ---

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 2; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A file with an INFO header; `table` is the palette (0x00RRGGBB) or, with bit fields, the masks.
Bytes MakeBmp(std::int32_t width, std::int32_t height, int bpp, std::uint32_t compression,
              const std::vector<std::uint32_t>& table, const Bytes& pixels) {
    const std::size_t offset = 54 + 4 * table.size();
    Bytes b(offset);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bpp));
    Put32(b, 30, compression);
    if (bpp <= 8) Put32(b, 46, static_cast<std::uint32_t>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) Put32(b, 54 + 4 * i, table[i]);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

TEST(BmpDecoder, IndexPastThePaletteIsBlack) {
    const auto bmp = DecodeBmp(MakeBmp(3, 1, 8, 0, {kRed, kBlue}, {1, 7, 0, 0}));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels, (std::vector<std::uint32_t>{kBlue, 0, kRed}));
}

TEST(BmpDecoder, RunLengthSkipsLeaveColourZeroAndOverrunsAreRefused) {
    // 4x2 bottom-up: a run of two blue, a delta to the next row's third pixel, one blue, the end.
    const Bytes skips = {2, 1, 0, 2, 0, 1, 1, 1, 0, 1};
    const auto bmp = DecodeBmp(MakeBmp(4, 2, 8, 1, {kRed, kBlue}, skips));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels,
              (std::vector<std::uint32_t>{kRed, kRed, kBlue, kRed, kBlue, kBlue, kRed, kRed}));
    for (const Bytes& broken :
         std::vector<Bytes>{{5, 1, 0, 1},                    // run past the row's end
                            {2, 1, 0, 3, 1, 1, 1, 0, 0, 1},  // literal past the row's end
                            {0, 2, 5, 0, 0, 1},              // delta past the row's end
                            {0, 0, 0, 0, 0, 0, 0, 1},        // end of line below the last row
                            {2, 1, 0, 0},                    // no end marker before the last row
                            {0, 4, 1, 1}}) {                 // literal cut short
        std::string error;
        EXPECT_FALSE(DecodeBmp(MakeBmp(4, 2, 8, 1, {kRed, kBlue}, broken), &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(BmpDecoder, RefusesLyingHeaders) {
    const Bytes paletted = MakeBmp(2, 2, 8, 0, {kRed, kBlue}, Bytes(8, 1));
    const Bytes masked = MakeBmp(2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, Bytes(8, 0xFF));
    ASSERT_TRUE(DecodeBmp(paletted));
    ASSERT_TRUE(DecodeBmp(masked));
    const std::vector<std::pair<const Bytes*, std::function<void(Bytes&)>>> cases = {
        {&paletted, [](Bytes& b) { Put32(b, 10, static_cast<std::uint32_t>(b.size())); }},
        {&paletted, [](Bytes& b) { Put32(b, 10, 0xFFFFFFF0); }},
        {&paletted, [](Bytes& b) { Put32(b, 10, 20); }},  // inside the header
        {&paletted, [](Bytes& b) { Put32(b, 14, 66); }},
        {&paletted, [](Bytes& b) { Put16(b, 26, 2); }},
        {&paletted, [](Bytes& b) { Put16(b, 28, 3); }},
        {&paletted, [](Bytes& b) { Put32(b, 18, 0); }},
        {&paletted, [](Bytes& b) { Put32(b, 22, 0); }},
        {&paletted, [](Bytes& b) { Put32(b, 22, 0x80000000); }},  // the most negative height
        {&paletted, [](Bytes& b) { Put32(b, 30, 2); }},           // RLE4 on 8 bits
        {&paletted, [](Bytes& b) { Put32(b, 30, 9); }},
        {&paletted, [](Bytes& b) { Put32(b, 46, 3); }},         // more colours than stored
        {&paletted, [](Bytes& b) { b.resize(b.size() - 3); }},  // cut in the last row
        {&masked, [](Bytes& b) { Put32(b, 54, 0x1F800); }},     // mask outside a 16-bit pixel
        {&masked, [](Bytes& b) { Put32(b, 54, 0xF100); }},      // mask with a gap
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Bytes file = *cases[i].first;
        cases[i].second(file);
        std::string error;
        EXPECT_FALSE(DecodeBmp(file, &error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
    }
}

TEST(BmpDecoder, RefusesHugePicturesBeforeAllocating) {
    std::vector<Bytes> files = {
        MakeBmp(platform::kMaxBmpSide, platform::kMaxBmpSide, 8, 1, {kRed}, {0, 1})};
    if (std::optional<Bytes> big = ReadFile(kSuite + "/b/reallybig.bmp")) files.push_back(*big);
    for (const Bytes& file : files) {
        std::string error;
        g_largest_allocation = 0;
        EXPECT_FALSE(DecodeBmp(file, &error));
        EXPECT_LT(g_largest_allocation, std::size_t{4096}) << error;
        EXPECT_NE(error.find("too large"), std::string::npos) << error;
    }
}

// Every prefix of a file, in a buffer of exactly its size so that any over-read is caught, is
// refused or decodes to the whole picture; never to something else.
TEST(BmpDecoder, EveryTruncationIsRefusedOrComplete) {
    for (const char* name : {"g/pal1.bmp", "g/pal4rle.bmp", "g/pal8rle.bmp", "g/pal8os2.bmp",
                             "q/pal8os2sp.bmp", "g/rgb16-565pal.bmp", "g/rgb32bf.bmp"}) {
        const std::optional<Bytes> file = ReadFile(kSuite + "/" + name);
        if (!file) GTEST_SKIP() << "bmpsuite corpus not found at " << kSuite;
        const std::optional<DecodedBitmap> whole = DecodeBmp(*file);
        ASSERT_TRUE(whole) << name;
        for (std::size_t size = 0; size < file->size(); ++size) {
            const Bytes prefix(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(size));
            const std::optional<DecodedBitmap> cut = DecodeBmp(prefix);
            if (cut) {
                EXPECT_EQ(cut->pixels, whole->pixels) << name << " cut at " << size;
            }
        }
    }
}

// A picture file is only read when it is a regular file of a sane size: a FIFO would stall the
// open and a sparse file of gigabytes would be allocated in full.
TEST(BmpFile, LoadsRegularFilesAndRefusesTheRestAtOnce) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::path(testing::TempDir()) / ("bmp_file_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const Bytes small = MakeBmp(2, 1, 8, 0, {kRed, kBlue}, {1, 0, 0, 0});
    ASSERT_TRUE(wavetest::WriteFile((dir / "small").string(), small));
    const std::optional<DecodedBitmap> loaded = platform::LoadBitmapFile((dir / "small").string());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->pixels, (std::vector<std::uint32_t>{kBlue, kRed}));
    std::string why;
    EXPECT_FALSE(platform::LoadBitmapFile((dir / "none").string(), &why));
    EXPECT_EQ(why, "");  // nothing there is not a refusal

    Bytes sparseHead = small;
    Put32(sparseHead, 2, 0xFFFFFFFFu);
    ASSERT_TRUE(
        wavetest::MakeSparseFile((dir / "sparse").string(), sparseHead, std::uint64_t{4} << 30));
    const wavetest::Fifo fifo((dir / "fifo").string());
    ASSERT_TRUE(fifo.made());
    for (const char* name : {"sparse", "fifo", ""}) {
        g_largest_allocation = 0;
        const double seconds = wavetest::SecondsFor(
            [&] { EXPECT_FALSE(platform::LoadBitmapFile((dir / name).string(), &why)) << name; });
        EXPECT_LT(seconds, 1.0) << name;
        EXPECT_LT(g_largest_allocation, std::size_t{4096}) << name;
        EXPECT_EQ(why,
                  name == std::string("sparse") ? "the file is too large" : "not a regular file")
            << name;
    }
    // A damaged file that is read says what the decoder found.
    ASSERT_TRUE(
        wavetest::WriteFile((dir / "cut").string(), Bytes(small.begin(), small.begin() + 30)));
    EXPECT_FALSE(platform::LoadBitmapFile((dir / "cut").string(), &why));
    EXPECT_NE(why, "not a regular file");
    EXPECT_FALSE(why.empty());
    fs::remove_all(dir);
}

}  // namespace
