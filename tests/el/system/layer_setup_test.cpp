// Setting up the cover's tiles and the scroll page: objects loaded once and reused, failed
// loads that leave no layer, and the switch.
#include "el/system/layer_setup.h"

#include <gtest/gtest.h>

#include "el/draw/object_table.h"
#include "el/system/scroll_page_state.h"
#include "tests/el/system/system_test_support.h"

namespace systemtest {
namespace {

using namespace elSystem;
using Layers = drawtest::OpenScreenTest;

TEST_F(Layers, TilesAreLoadedOnceAndReloadedIntoTheSameObject) {
    elDraw::SetKeyColor(0x123456);
    SetTransitionTiles("FIGHTER");
    const std::int32_t tiles = TileObject;
    EXPECT_GE(tiles, 2);
    EXPECT_EQ(elDraw::KeyColor, 0u);  // black is transparent from now on
    SetTransitionTiles("TANUKI");
    EXPECT_EQ(TileObject, tiles);
    EXPECT_EQ(drawtest::NameOf(tiles), "TANUKI");
    EXPECT_EQ(boxCount(), 0u);
}

TEST_F(Layers, TilesThatCannotBeLoadedLeaveNoTiles) {
    SetTransitionTiles("NO-SUCH-TILES");
    EXPECT_EQ(TileObject, 0);
    EXPECT_EQ(boxCount(), 1u);  // the loader says why
    SetTransitionTiles("FIGHTER");
    const std::int32_t tiles = TileObject;
    SetTransitionTiles(nullptr);
    EXPECT_EQ(TileObject, tiles);
    EXPECT_EQ(drawtest::NameOf(tiles), "FIGHTER");
}

TEST_F(Layers, ASecondPageReusesBothObjectsAndStartsAtTheTop) {
    SetScrollPage("SEAGIRL", "SPOT", 300);
    const std::int32_t page = ScrollPageObject, background = ScrollBackgroundObject;
    EXPECT_GE(page, 2);
    EXPECT_GE(background, 2);
    EXPECT_NE(page, background);
    EXPECT_EQ(ScrollPageLimit, 300);
    ScrollPagePosition = 120;
    SetScrollPage("RACE", "FIGHTER", 100000);
    EXPECT_EQ(ScrollPageObject, page);
    EXPECT_EQ(ScrollBackgroundObject, background);
    EXPECT_EQ(drawtest::NameOf(page), "RACE");
    EXPECT_EQ(ScrollPagePosition, 0.0f);
    EXPECT_EQ(ScrollPageLimit, 480);  // no further than the page picture goes
    SetScrollPage(nullptr, "FIGHTER", 100);
    SetScrollPage("RACE", nullptr, 100);
    EXPECT_EQ(ScrollPageLimit, 480);
    SetScrollPage("RACE", "FIGHTER", -5);
    EXPECT_EQ(ScrollPageLimit, 0);
}

TEST_F(Layers, APageThatCannotBeLoadedIsNoPageAndNeverTouchesTheReservedObjects) {
    const platform::Surface* buffer = elDraw::ObjectSurface(0);
    const platform::Surface* capture = elDraw::ObjectSurface(1);
    SetScrollPage("SEAGIRL", "SPOT", 300);
    ToggleScrollPage();
    ASSERT_EQ(ScrollPageShown, 1);
    // The background fails: the page is hidden and cannot be shown.
    SetScrollPage("SEAGIRL", "NO-SUCH-BACKGROUND", 300);
    EXPECT_EQ(ScrollPageShown, 0);
    EXPECT_EQ(ScrollPageLimit, 0);
    ToggleScrollPage();
    EXPECT_EQ(ScrollPageShown, 0);
    // From the start (as screen set-up leaves them), a page that never loaded stays object 0
    // and is loaded afresh next time, never swapped into object 0.
    ScrollPageObject = 0;
    ScrollBackgroundObject = 0;
    SetScrollPage("NO-SUCH-PAGE", "SPOT", 300);
    EXPECT_EQ(ScrollPageObject, 0);
    SetScrollPage("NO-SUCH-PAGE", "SPOT", 300);
    EXPECT_EQ(ScrollPageObject, 0);
    EXPECT_EQ(elDraw::ObjectSurface(0), buffer);
    EXPECT_EQ(elDraw::ObjectSurface(1), capture);
    EXPECT_EQ(drawtest::NameOf(0), "");
    SetScrollPage("FIN", "SPOT", 300);
    EXPECT_GE(ScrollPageObject, 2);
    EXPECT_EQ(ScrollPageLimit, 300);
}

TEST_F(Layers, TheSwitchShowsOnlyAPageThatIsThere) {
    ToggleScrollPage();
    EXPECT_EQ(ScrollPageShown, 0);
    SetScrollPage("SEAGIRL", "SPOT", 480);
    ToggleScrollPage();
    EXPECT_EQ(ScrollPageShown, 1);
    ToggleScrollPage();
    EXPECT_EQ(ScrollPageShown, 0);
}

}  // namespace
}  // namespace systemtest
