#include "tools/render/progress.h"

#include <algorithm>

namespace render {
namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, bool enabled, std::uint32_t expectedPasses,
                         Clock::time_point start)
    : out_(out),
      enabled_(enabled && out != nullptr),
      expected_(std::max<std::uint32_t>(expectedPasses, 1)),
      start_(start) {}

void ProgressBar::Update(std::uint32_t pass, Clock::time_point now) {
    if (!enabled_ || now - start_ < kQuietStart) return;
    if (redraws_ > 0 && now - lastDraw_ < kRedrawEvery) return;
    Draw(pass, now);
}

void ProgressBar::Finish(std::uint32_t pass, Clock::time_point now) {
    if (!enabled_ || redraws_ == 0) return;
    Draw(pass, now);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void ProgressBar::Draw(std::uint32_t pass, Clock::time_point now) {
    constexpr int kWidth = 30;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? pass / seconds : 0;
    // A run can outlast the estimate (keys held it up): it then shows full, not beyond.
    const double done = std::min(1.0, static_cast<double>(pass) / expected_);
    const int filled = static_cast<int>(done * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
    bar[kWidth] = '\0';
    const double left = rate > 0 && pass < expected_ ? (expected_ - pass) / rate : 0;
    const int leftSeconds = static_cast<int>(left + 0.5);
    // Trailing spaces wipe what a longer previous line left behind.
    std::fprintf(out_, "\r[%s] pass %u  %3d%%  %.0f passes/s  %d:%02d left   ", bar, pass,
                 static_cast<int>(done * 100), rate, leftSeconds / 60, leftSeconds % 60);
    std::fflush(out_);
    lastDraw_ = now;
    ++redraws_;
}

}  // namespace render
