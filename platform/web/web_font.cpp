// Fonts drawn by the browser: the page's canvas renders each glyph once and the program keeps
// its ink, made crisp as FreeType's is on the desktop. The browser picks the faces, so the
// shapes (not the layout rules) differ from the desktop's.
#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text/font.h"
#include "platform/text/font_cache.h"

extern "C" {
// Fills ascentAndDescent[2] with the face's cell above and below the baseline, per 1000 units
// of the em.
void web_text_face(const char* family, int bold, int italic, double* ascentAndDescent);
// Draws character c at `pixels` per em turned by `radians` anticlockwise and returns its
// advance; box[4] gets the ink's left, top (from the origin on the baseline, y down), width and
// height, and alpha the ink's coverage row by row when it fits in `capacity` bytes.
int web_text_glyph(const char* family, int pixels, int bold, int italic, double radians, int c,
                   unsigned char* alpha, int capacity, int* box);
}

namespace platform::text {
namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

// The library's face names as the page's font stacks.
std::string CssFamily(const std::string& face) {
    if (face == kMinchoName) return "\"IPAMincho\", \"IPAexMincho\", serif";
    if (face == kGothicName) return "\"IPAGothic\", \"IPAexGothic\", sans-serif";
    std::string quoted;
    for (const char ch : face) {
        if (ch != '"' && ch != '\\') quoted += ch;
    }
    return quoted.empty() ? "sans-serif" : "\"" + quoted + "\", sans-serif";
}

class CanvasFont final : public Font {
  public:
    explicit CanvasFont(const FontSpec& spec)
        : spec_(spec), family_(CssFamily(spec.face)), bold_(spec.weight >= 600) {
        double cell[2] = {800, 200};
        web_text_face(family_.c_str(), bold_, spec.italic, cell);
        const double above = cell[0] > 0 ? cell[0] : 800;
        const double below = cell[1] > 0 ? cell[1] : 200;
        std::int64_t height = spec.height == 0 ? kDefaultCellHeight : spec.height;
        height = std::clamp<std::int64_t>(height, -kMaxTextHeight, kMaxTextHeight);
        std::int64_t ppem;
        if (height > 0) {
            ppem = std::llround(static_cast<double>(height) * 1000.0 / (above + below));
            metrics_.ascent = static_cast<std::int32_t>(
                std::llround(static_cast<double>(height) * above / (above + below)));
            metrics_.descent = static_cast<std::int32_t>(height) - metrics_.ascent;
        } else {
            ppem = -height;
            metrics_.ascent = static_cast<std::int32_t>(std::llround(above * ppem / 1000.0));
            metrics_.descent = static_cast<std::int32_t>(std::llround(below * ppem / 1000.0));
        }
        pixels_ = static_cast<int>(std::clamp<std::int64_t>(ppem, 1, kMaxTextHeight));
        metrics_.height = metrics_.ascent + metrics_.descent;
        metrics_.underlineThickness = std::max(1, pixels_ / 14);
        metrics_.underlineOffset = std::clamp(
            pixels_ / 10, 1, std::max(1, metrics_.descent - metrics_.underlineThickness));
        metrics_.family = spec.face.empty() ? "sans-serif" : spec.face;
        radians_ = spec.escapement / 10.0 * std::acos(-1.0) / 180.0;
    }

    const FontSpec& spec() const override { return spec_; }
    const FontMetrics& metrics() const override { return metrics_; }

    const Glyph& GlyphOf(char32_t c) override {
        if (const auto it = glyphs_.find(c); it != glyphs_.end()) return it->second;
        Glyph glyph;
        if (!IsControl(c) && c <= 0x10FFFF) Render(c, glyph);
        return glyphs_.emplace(c, std::move(glyph)).first->second;
    }

  private:
    void Render(char32_t c, Glyph& glyph) {
        int box[4] = {0, 0, 0, 0};
        for (int attempt = 0; attempt < 2; ++attempt) {
            glyph.advance = web_text_glyph(family_.c_str(), pixels_, bold_, spec_.italic, radians_,
                                           static_cast<int>(c), alpha_.data(),
                                           static_cast<int>(alpha_.size()), box);
            const std::size_t needed =
                static_cast<std::size_t>(std::max(0, box[2])) * std::max(0, box[3]);
            if (needed <= alpha_.size()) break;
            alpha_.resize(needed);  // drawn again into room enough
            if (attempt == 1) return;
        }
        for (int row = 0; row < box[3]; ++row) {
            const unsigned char* bits = alpha_.data() + static_cast<std::ptrdiff_t>(row) * box[2];
            for (int x = 0; x < box[2];) {
                if (bits[x] < 128) {  // grey coverage made crisp
                    ++x;
                    continue;
                }
                int end = x;
                while (end < box[2] && bits[end] >= 128) ++end;
                glyph.ink.push_back({box[0] + x, box[1] + row, end - x});
                x = end;
            }
        }
    }

    FontSpec spec_;
    std::string family_;
    bool bold_;
    int pixels_ = kDefaultCellHeight;
    double radians_ = 0;
    FontMetrics metrics_;
    std::vector<unsigned char> alpha_ = std::vector<unsigned char>(64 * 64);
    std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace

std::shared_ptr<Font> OpenFont(const FontSpec& spec) {
    return CachedFont(spec, [&] { return std::make_shared<CanvasFont>(spec); });
}

}  // namespace platform::text
