#include "platform/text/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <unordered_map>
#include <utility>

#include "platform/text/font_cache.h"
#include "platform/text/font_catalog.h"

namespace platform::text {
namespace {

// The slant of a face drawn italic without an italic face of its own, as x += 0.2126 y
// (about 12 degrees).
constexpr double kItalicShear = 0.2126;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// Faces are opened once for the program's life; every size of a font is its own FT_Size.
FT_Face OpenFace(const FaceFile& file) {
    static std::map<std::pair<std::string, int>, FT_Face> faces;
    const auto key = std::make_pair(file.path, file.index);
    if (const auto it = faces.find(key); it != faces.end()) return it->second;
    FT_Face face = nullptr;
    if (Library() == nullptr || FT_New_Face(Library(), file.path.c_str(), file.index, &face) != 0 ||
        !FT_IS_SCALABLE(face)) {
        if (face != nullptr) FT_Done_Face(face);
        face = nullptr;
    }
    faces[key] = face;
    return face;
}

FT_Fixed Fixed(double value) {
    return static_cast<FT_Fixed>(std::lround(value * 65536.0));
}

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

// The runs of set pixels of a rendered glyph, one bitmap row after the other. A synthetic bold
// face strikes each row twice, the second time a pixel to the right.
std::vector<InkRun> InkOf(const FT_GlyphSlot slot, bool bold) {
    std::vector<InkRun> ink;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) + 2);
    for (unsigned r = 0; r < bitmap.rows; ++r) {
        const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch;
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < width; ++x) {
            const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                ? (bits[x >> 3] & (0x80 >> (x & 7))) != 0
                                : bits[x] >= 128;  // a grey bitmap, made crisp
            if (on) {
                row[static_cast<std::size_t>(x)] = 1;
                if (bold) row[static_cast<std::size_t>(x) + 1] = 1;
            }
        }
        for (int x = 0; x <= width;) {
            if (row[static_cast<std::size_t>(x)] == 0) {
                ++x;
                continue;
            }
            int end = x;
            while (end <= width && row[static_cast<std::size_t>(end)] != 0) ++end;
            ink.push_back(
                {slot->bitmap_left + x, -slot->bitmap_top + static_cast<int>(r), end - x});
            x = end;
        }
    }
    return ink;
}

class FreeTypeFont final : public Font {
  public:
    explicit FreeTypeFont(const FontSpec& spec) : spec_(spec) {
        const bool bold = spec.weight >= 600;
        std::vector<FaceFile> files;
        if (auto primary = FindFace(spec)) files.push_back(*primary);
        for (const FaceFile& standIn : StandInFaces()) {
            const bool known = std::any_of(files.begin(), files.end(), [&](const FaceFile& f) {
                return f.path == standIn.path && f.index == standIn.index;
            });
            if (!known) files.push_back(standIn);
        }
        for (const FaceFile& file : files) {
            FT_Face face = OpenFace(file);
            if (face == nullptr) continue;
            sources_.push_back({face, nullptr, bold && !file.bold, spec.italic && !file.italic});
        }
        if (!sources_.empty()) metrics_.family = files.front().family;
        SetSize();
        const double angle = spec.escapement / 10.0 * std::acos(-1.0) / 180.0;
        cos_ = std::cos(angle);
        sin_ = std::sin(angle);
    }
    ~FreeTypeFont() override {
        for (const Source& source : sources_) {
            if (source.size != nullptr) FT_Done_Size(source.size);
        }
    }
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    const FontSpec& spec() const override { return spec_; }
    const FontMetrics& metrics() const override { return metrics_; }

    const Glyph& GlyphOf(char32_t c) override {
        if (const auto it = glyphs_.find(c); it != glyphs_.end()) return it->second;
        Glyph glyph;
        if (!IsControl(c)) Render(c, glyph);
        return glyphs_.emplace(c, std::move(glyph)).first->second;
    }

  private:
    struct Source {
        FT_Face face;
        FT_Size size;
        bool emboldened;
        bool slanted;
    };

    // The cell and the size of the glyphs, from the first face's vertical metrics: a positive
    // height is the cell (as usWinAscent + usWinDescent measure it), a negative one the em.
    void SetSize() {
        std::int64_t height = spec_.height == 0 ? kDefaultCellHeight : spec_.height;
        height = std::clamp<std::int64_t>(height, -kMaxTextHeight, kMaxTextHeight);
        double units = 1000, above = 800, below = 200, underlineAt = -100, underlineSize = 50;
        if (!sources_.empty()) {
            const FT_Face face = sources_.front().face;
            units = face->units_per_EM;
            above = face->ascender;
            below = -face->descender;
            if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
                os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
                above = os2->usWinAscent;
                below = os2->usWinDescent;
            }
            if (face->underline_thickness > 0) {
                underlineAt = face->underline_position;
                underlineSize = face->underline_thickness;
            }
        }
        if (above + below <= 0) above = units;
        std::int64_t ppem;
        if (height > 0) {
            ppem = std::llround(static_cast<double>(height) * units / (above + below));
            metrics_.ascent = static_cast<std::int32_t>(
                std::llround(static_cast<double>(height) * above / (above + below)));
            metrics_.descent = static_cast<std::int32_t>(height) - metrics_.ascent;
        } else {
            ppem = -height;
            metrics_.ascent = static_cast<std::int32_t>(std::llround(above * ppem / units));
            metrics_.descent = static_cast<std::int32_t>(std::llround(below * ppem / units));
        }
        ppem = std::clamp<std::int64_t>(ppem, 1, kMaxTextHeight);
        metrics_.height = metrics_.ascent + metrics_.descent;
        metrics_.underlineThickness =
            std::max(1, static_cast<int>(std::lround(underlineSize * ppem / units)));
        metrics_.underlineOffset =
            std::clamp(static_cast<int>(std::lround(-underlineAt * ppem / units)), 1,
                       std::max(1, metrics_.descent - metrics_.underlineThickness));
        for (Source& source : sources_) {
            if (FT_New_Size(source.face, &source.size) != 0) {
                source.size = nullptr;
                continue;
            }
            FT_Activate_Size(source.size);
            FT_Set_Pixel_Sizes(source.face, 0, static_cast<FT_UInt>(ppem));
        }
    }

    void Render(char32_t c, Glyph& glyph) {
        const Source* source = nullptr;
        FT_UInt index = 0;
        for (const Source& candidate : sources_) {
            if (candidate.size == nullptr) continue;
            index = FT_Get_Char_Index(candidate.face, c);
            if (index != 0) {
                source = &candidate;
                break;
            }
        }
        // No face has it: the first face's sign for a missing character.
        if (source == nullptr) {
            if (sources_.empty() || sources_.front().size == nullptr) return;
            source = &sources_.front();
        }
        FT_Face face = source->face;
        FT_Activate_Size(source->size);
        FT_Set_Transform(face, nullptr, nullptr);
        if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            return;
        }
        glyph.advance = static_cast<std::int32_t>((face->glyph->advance.x + 32) >> 6);
        if (source->emboldened) glyph.advance += 1;
        // Slant in the glyph's own frame, then turn it to the font's angle: y points up here.
        const double shear = source->slanted ? kItalicShear : 0.0;
        if (shear != 0 || spec_.escapement % 3600 != 0) {
            FT_Matrix matrix{Fixed(cos_), Fixed(cos_ * shear - sin_), Fixed(sin_),
                             Fixed(sin_ * shear + cos_)};
            FT_Outline_Transform(&face->glyph->outline, &matrix);
        }
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) return;
        glyph.ink = InkOf(face->glyph, source->emboldened);
    }

    FontSpec spec_;
    FontMetrics metrics_;
    std::vector<Source> sources_;
    std::unordered_map<char32_t, Glyph> glyphs_;
    double cos_ = 1, sin_ = 0;
};

}  // namespace

std::shared_ptr<Font> OpenFont(const FontSpec& spec) {
    return CachedFont(spec, [&] { return std::make_shared<FreeTypeFont>(spec); });
}

}  // namespace platform::text
