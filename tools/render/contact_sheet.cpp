#include "tools/render/contact_sheet.h"

#include <algorithm>
#include <string>

#include "tools/render/tiny_font.h"

namespace render {
namespace {

constexpr int kMargin = 8;
constexpr int kTextScale = 2;
constexpr int kCaptionHeight = kGlyphHeight * kTextScale + 8;
constexpr std::uint8_t kBackground[3] = {40, 40, 48};
constexpr std::uint8_t kText[3] = {255, 255, 255};

}  // namespace

RgbImage Shrink(const platform::FrameView& frame, int factor) {
    if (frame.pixels == nullptr || factor < 1 || frame.width < factor || frame.height < factor) {
        return {};
    }
    RgbImage full;
    FrameToRgb(frame, full);
    RgbImage small(frame.width / factor, frame.height / factor);
    const int area = factor * factor;
    for (int y = 0; y < small.height; ++y) {
        std::uint8_t* out = small.Row(y);
        for (int x = 0; x < small.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    const std::uint8_t* in = full.Row(y * factor + dy);
                    for (int dx = 0; dx < factor; ++dx) sum += in[(x * factor + dx) * 3 + c];
                }
                out[x * 3 + c] = static_cast<std::uint8_t>((sum + area / 2) / area);
            }
        }
    }
    return small;
}

bool ContactSheet::WantsFrame(int scene) const {
    if (entries_.empty() || entries_.back().scene != scene) return true;
    const Entry& entry = entries_.back();
    return entry.shownPass == 0 || entry.shownPass - entry.firstPass < kSettlePasses;
}

void ContactSheet::EndPass(std::uint32_t pass, int scene, const platform::FrameView* screen) {
    if (entries_.empty() || entries_.back().scene != scene) {
        Entry entry;
        entry.scene = scene;
        entry.firstPass = pass;
        entries_.push_back(std::move(entry));
    }
    Entry& entry = entries_.back();
    const bool settled = entry.shownPass != 0 && entry.shownPass - entry.firstPass >= kSettlePasses;
    if (settled || screen == nullptr) return;
    RgbImage thumbnail = Shrink(*screen, kShrink);
    if (thumbnail.pixels.empty()) return;
    entry.thumbnail = std::move(thumbnail);
    entry.shownPass = pass;
}

RgbImage ContactSheet::Compose() const {
    int cellWidth = 0;
    int cellHeight = 0;
    for (const Entry& entry : entries_) {
        cellWidth = std::max(cellWidth, entry.thumbnail.width);
        cellHeight = std::max(cellHeight, entry.thumbnail.height);
    }
    if (entries_.empty() || cellWidth == 0) return {};
    cellHeight += kCaptionHeight;
    const int count = static_cast<int>(entries_.size());
    const int columns = std::min(count, kColumns);
    const int rows = (count + kColumns - 1) / kColumns;
    RgbImage sheet(kMargin + columns * (cellWidth + kMargin),
                   kMargin + rows * (cellHeight + kMargin));
    for (std::size_t i = 0; i < sheet.pixels.size(); i += 3) {
        std::copy(std::begin(kBackground), std::end(kBackground), sheet.pixels.begin() + i);
    }
    for (int i = 0; i < count; ++i) {
        const Entry& entry = entries_[static_cast<std::size_t>(i)];
        const int left = kMargin + (i % kColumns) * (cellWidth + kMargin);
        const int top = kMargin + (i / kColumns) * (cellHeight + kMargin);
        for (int y = 0; y < entry.thumbnail.height; ++y) {
            std::copy_n(entry.thumbnail.Row(y), entry.thumbnail.width * 3,
                        sheet.Row(top + y) + left * 3);
        }
        const std::string caption =
            "SCENE " + std::to_string(entry.scene) + "  PASS " + std::to_string(entry.shownPass);
        DrawText(sheet, left, top + cellHeight - kCaptionHeight + 4, caption, kTextScale, kText);
    }
    return sheet;
}

}  // namespace render
