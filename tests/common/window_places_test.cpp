// The windows' places: the first start's layout of both programs, saved places moved onto the
// screen, and the least-covering fallback on screens too small for all of them.
#include "common/window_places.h"

#include <gtest/gtest.h>

#include <vector>

using namespace spirelo;

namespace {

std::string Text(const Box& b) {
    return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" +
           std::to_string(b.height);
}

bool Inside(const Box& b, const Box& screen) {
    return b.x >= screen.x && b.y >= screen.y && b.right() <= screen.right() && b.bottom() <= screen.bottom();
}

const FrameMargins kNoFrame{};
const FrameMargins kTitleBar{1, 20, 1, 4};   // a window manager's title bar and thin borders
const FrameMargins kTallTitle{4, 37, 4, 4};

}  // namespace

TEST(FirstPlaces, OnAScreenOf1280x1024TheyLieSideBySideWhole) {
    const Box screen{0, 0, 1280, 1024};
    // Without a window manager the frames are the clients.
    EXPECT_EQ(ToolBarFrame(screen, kNoFrame), (Box{0, 0, 1280, 53}));
    EXPECT_EQ(SoundFirstFrame(screen, kNoFrame), (Box{0, 84, 1108, 581}));
    EXPECT_EQ(VisualiserFirstFrame(screen, kNoFrame), (Box{0, 665, 1280, 359})) << "below the sound window";

    for (const FrameMargins& m : {kNoFrame, kTitleBar, kTallTitle}) {
        const Box bar = ToolBarFrame(screen, m), sound = SoundFirstFrame(screen, m),
                  glimmora = VisualiserFirstFrame(screen, m);
        SCOPED_TRACE("title bar " + std::to_string(m.top) + ": " + Text(bar) + " / " + Text(sound) + " / " +
                     Text(glimmora));
        for (const Box& b : {bar, sound, glimmora}) EXPECT_TRUE(Inside(b, screen));
        EXPECT_EQ(OverlapArea(bar, sound), 0);
        EXPECT_EQ(OverlapArea(bar, glimmora), 0);
        EXPECT_EQ(OverlapArea(sound, glimmora), 0);
        EXPECT_EQ(sound.width, kSoundClientWidth + m.across()) << "the sound window keeps its size";
        EXPECT_GE(glimmora.width - m.across(), kVisualiserMinClientWidth);
        EXPECT_GE(glimmora.height - m.down(), kVisualiserMinClientHeight);
        EXPECT_EQ(glimmora.bottom(), screen.bottom()) << "it takes the space that is left";
    }
}

TEST(FirstPlaces, OnOtherScreensGlimmoraGoesBesideOrBelowWhereThereIsMoreRoom) {
    struct Case { Box screen; Box want; } cases[] = {
        {{0, 0, 1920, 1080}, {1108, 84, 812, 996}},     // beside: 812x996 is more than 1920x415 below
        {{0, 0, 1280, 1024}, {0, 665, 1280, 359}},      // below
        {{0, 24, 1280, 1000}, {0, 689, 1280, 335}},     // a panel along the top
        {{1280, 0, 1600, 1200}, {1280, 665, 1600, 535}}, // a second screen, right of the first
    };
    for (const Case& c : cases) {
        const Box got = VisualiserFirstFrame(c.screen, kNoFrame);
        EXPECT_EQ(got, c.want) << Text(c.screen) << ": " << Text(got);
        EXPECT_EQ(OverlapArea(got, SoundFirstFrame(c.screen, kNoFrame)), 0);
    }
}

// 1366x768 and 1024x768 have no room for the smallest Glimmora beside the sound window: it goes
// where it covers least of the controller's windows, as a search of every place finds.
TEST(FirstPlaces, OnASmallerScreenGlimmoraCoversTheLeastItCan) {
    for (const Box screen : {Box{0, 0, 1366, 768}, Box{0, 0, 1024, 768}, Box{0, 0, 800, 600}}) {
        const Box bar = ToolBarFrame(screen, kNoFrame);
        const Box taken[] = {{bar.x, bar.y, bar.width, kToolBarBand}, SoundFirstFrame(screen, kNoFrame)};
        const Box got = VisualiserFirstFrame(screen, kNoFrame);
        ASSERT_EQ(got.width, kVisualiserMinClientWidth) << Text(screen);
        ASSERT_EQ(got.height, kVisualiserMinClientHeight);
        EXPECT_TRUE(Inside(got, screen));
        auto covered = [&](const Box& b) { return OverlapArea(b, taken[0]) + OverlapArea(b, taken[1]); };
        long long least = -1;
        for (int y = screen.y; y + got.height <= screen.bottom(); ++y)
            for (int x = screen.x; x + got.width <= screen.right(); ++x) {
                const long long c = covered({x, y, got.width, got.height});
                if (least < 0 || c < least) least = c;
            }
        EXPECT_EQ(covered(got), least) << Text(screen) << ": " << Text(got);
        EXPECT_GT(least, 0) << "this screen is too small for all of them";
    }
    // A screen smaller than the smallest Glimmora: the whole screen.
    EXPECT_EQ(VisualiserFirstFrame({0, 0, 400, 200}, kNoFrame), (Box{0, 0, 400, 200}));
}

TEST(SavedPlaces, StayWhereTheyFitAndAreMovedJustOntoTheScreenWhereNot) {
    const Box screen{0, 0, 1280, 1024};
    struct Case { Box frame; bool shrink; Box want; } cases[] = {
        {{250, 350, 1108, 600}, false, {172, 350, 1108, 600}},   // right edge off: moved left
        {{10, 100, 1232, 131}, false, {10, 100, 1232, 131}},     // fits: stays, to the pixel
        {{-40, -5, 300, 200}, false, {0, 0, 300, 200}},          // off the top-left corner
        {{1200, 900, 300, 200}, false, {980, 824, 300, 200}},    // off the bottom-right corner
        {{100, 100, 1400, 1100}, false, {0, 0, 1400, 1100}},     // larger, fixed size: its corner
        {{100, 100, 1400, 1100}, true, {0, 0, 1280, 1024}},      // larger, resizable: cut to the screen
        {{500, 500, 1002, 1025}, true, {278, 0, 1002, 1024}},    // 1000x1000 with a title bar
    };
    for (const Case& c : cases) EXPECT_EQ(KeepInside(c.frame, screen, c.shrink), c.want) << Text(c.frame);
    EXPECT_EQ(KeepInside({0, 0, 200, 100}, {1280, 24, 1024, 744}), (Box{1280, 24, 200, 100})) << "a second screen";

    // The saved left and top are the frame's, the size the client's.
    EXPECT_EQ(SavedFrame(0, 689, 1278, 310, screen, kTitleBar, true), (Box{0, 689, 1280, 334}));
    EXPECT_EQ(SavedFrame(500, 500, 1000, 1010, screen, kTitleBar, true), (Box{278, 0, 1002, 1024}));
    EXPECT_EQ(SavedFrame(500, 500, 1000, 1010, screen, kTitleBar, false), (Box{278, 0, 1002, 1034}));
}

TEST(FreeSpace, TheLargestBoxLeftAndNoneOnACoveredScreen) {
    const Box screen{0, 0, 100, 100};
    const Box lShape[] = {{0, 0, 100, 20}, {0, 20, 60, 40}};
    EXPECT_EQ(LargestFreeBox(screen, lShape), (Box{0, 60, 100, 40}));
    const Box cover[] = {{-10, -10, 200, 200}};
    EXPECT_FALSE(LargestFreeBox(screen, cover));
    EXPECT_EQ(LargestFreeBox(screen, {}), screen);
}
