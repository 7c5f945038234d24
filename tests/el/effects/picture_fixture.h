// The start most effect tests share: an open 640 x 480 screen whose back surface holds noise,
// and one object of Width x Height noise with a share of transparent (0) pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "tests/el/draw/draw_test_support.h"

namespace effecttest {

template <int Width, int Height>
class PictureOnScreen : public drawtest::LayoutTest {
  protected:
    // One pixel in every `holes` is transparent.
    PictureOnScreen(unsigned seed, unsigned holes) : seed_(seed), holes_(holes) {}

    void SetUp() override {
        drawtest::LayoutTest::SetUp();
        std::mt19937 rng(seed_);
        source.resize(Width * Height);
        for (auto& v : source) v = rng() % holes_ == 0 ? 0 : static_cast<std::uint16_t>(rng());
        object = elDraw::CreateObject(Width, Height - 1, 2);
        drawtest::WritePixels(*elDraw::ObjectSurface(object), source);
        start.resize(640 * 480);
        for (auto& v : start) v = static_cast<std::uint16_t>(rng());
        drawtest::WritePixels(*elDraw::BackSurface, start);
    }
    std::uint16_t Src(int x, int y) const {
        return source[static_cast<std::size_t>(y * Width + x)];
    }

    std::vector<std::uint16_t> source, start;
    std::int32_t object = 0;

  private:
    unsigned seed_, holes_;
};

}  // namespace effecttest
