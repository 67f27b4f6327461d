#include "playback/sound_view.h"

#include <gtest/gtest.h>

#include <memory>

using namespace spirelo;

namespace {

struct WaveFixture : ::testing::Test {
    ShowClock clk;
    WaveViewState w;
    int32_t scan = 100;
    void SetUp() override {
        clk.BytesPerStep = 8820;
        clk.BytesPerPixel = 10911;   // 1200 steps over 970 pixels
        clk.CurStep = 77;
    }
};

TEST_F(WaveFixture, PressDragAndPressAgainMovesTheStart) {
    WaveAction a = WaveLeftPress(clk, w, scan, 100, false);
    EXPECT_TRUE(a.seek);
    EXPECT_EQ(a.seekByte, 100u * 10911);
    EXPECT_EQ(scan, 1);
    WaveMove(clk, w, scan, 400, 60, 970, 115);
    WaveRelease(w, scan);
    EXPECT_EQ(clk.SelectionStartPixel, 100);
    EXPECT_EQ(clk.SelectionEndPixel, 400);
    EXPECT_EQ(clk.SelectionStartStep, 100 * 10911 / 8820);
    EXPECT_EQ(clk.SelectionEndStep, 400 * 10911 / 8820);
    WaveLeftPress(clk, w, scan, 200, true);
    EXPECT_EQ(clk.SelectionStartPixel, 200);
    EXPECT_EQ(clk.SelectionEndPixel, 400);
    // far left of the start the drag does nothing; back onto the start it clears the selection
    a = WaveMove(clk, w, scan, 150, 60, 970, 115);
    EXPECT_EQ(clk.SelectionEndPixel, 400);
    a = WaveMove(clk, w, scan, 198, 60, 970, 115);
    EXPECT_EQ(clk.SelectionStartPixel, 0);
    EXPECT_EQ(clk.SelectionEndPixel, 0);
    EXPECT_EQ(a.effectRecordButton, 0);
    EXPECT_EQ(a.delTrackSelect, 0);
}

TEST_F(WaveFixture, RightPressSetsTheRestartMarkAndClearsTheSelection) {
    clk.SelectionStartPixel = 10;
    clk.SelectionEndPixel = 20;
    WaveAction a = WaveRightPress(clk, w, scan, 300);
    EXPECT_EQ(clk.NewStartPixel, 300);
    EXPECT_EQ(clk.NewStartStep, 77);
    EXPECT_EQ(clk.SelectionEndPixel, 0);
    EXPECT_TRUE(a.enableNewStart);
    EXPECT_TRUE(a.showSpace);
}

TEST_F(WaveFixture, SelectAllAndResetLeng) {
    WaveAction a = WaveSelectAll(clk, w, scan);
    EXPECT_EQ(clk.SelectionStartStep, 1);
    EXPECT_EQ(clk.SelectionEndStep, 10911 * 970 / 8820);
    EXPECT_EQ(a.effectRecordButton, 1);
    WaveResetLeng(clk, w, scan);
    EXPECT_EQ(clk.SelectionEndStep, 9);
}

TEST_F(WaveFixture, HoverLineFollowsAndFreezesOutsideTheBand) {
    w.WaveHoverLineX = 500;
    WaveMove(clk, w, scan, 510, 60, 970, 115);
    FollowHoverLine(w);
    EXPECT_EQ(w.WaveHoverLineX, 501);
    WaveMove(clk, w, scan, 700, 60, 970, 115);
    FollowHoverLine(w);
    EXPECT_EQ(w.WaveHoverLineX, 700 - 13 + 1);
    WaveMove(clk, w, scan, 700, 10, 970, 115);   // top 30 pixels
    EXPECT_EQ(w.WaveHoverX, kNoHover);
    FollowHoverLine(w);
    EXPECT_EQ(w.WaveHoverLineX, 688);
    EXPECT_EQ(LineTextX(100, 970), 105);
    EXPECT_EQ(LineTextX(950, 970), 900);
}

TEST(WaveEnvelope, CountdownAndColumns) {
    int32_t scan = 3;
    EXPECT_FALSE(EnvelopeRedrawDue(scan, 10000));
    EXPECT_EQ(scan, 2);
    EXPECT_FALSE(EnvelopeRedrawDue(scan, 10000));
    EXPECT_EQ(scan, 1);
    EXPECT_TRUE(EnvelopeRedrawDue(scan, 10000));
    EXPECT_EQ(scan, 0);
    EXPECT_FALSE(EnvelopeRedrawDue(scan, 10000));
    scan = 1;
    EXPECT_FALSE(EnvelopeRedrawDue(scan, 3));     // no audio
    scan = 1000;
    EXPECT_FALSE(EnvelopeRedrawDue(scan, 10000));
    EXPECT_EQ(scan, 1000);
    EnvelopeColumn c = EnvelopeAt(32768, 16384, 115);
    EXPECT_EQ(c.yMid, 57);
    EXPECT_EQ(c.yTop, 0);
    EXPECT_EQ(c.yBottom, 59 + 29);   // 28.5 rounds to 29 (away from zero, lround)
}

TEST(EffectTimeline, LanesAndHint) {
    auto d = MakeShowData();
    ShowClock clk;
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 8820;        // one step a pixel
    d->EffectKind[2] = 3;
    d->EffectStart[2] = 100;
    d->EffectFinish[2] = 200;
    d->EffectTime[2] = 44;
    d->EffectLevel[2] = 250;
    d->EffectSeq[2] = 6;
    EffectLane l = EffectLaneOf(*d, clk, 2, {});
    EXPECT_TRUE(l.drawn);
    EXPECT_EQ(l.x1, 100);
    EXPECT_EQ(l.x2, 200);
    EXPECT_EQ(l.y, 14);
    EXPECT_EQ(l.color, 0xFF0000u);
    EffectDragView drag{2, 150, 260, 1};
    l = EffectLaneOf(*d, clk, 2, drag);
    EXPECT_EQ(l.x1, 150);
    EXPECT_EQ(l.width, 5);
    EXPECT_EQ(l.color, 0x00FFFFu);
    EXPECT_FALSE(EffectLaneOf(*d, clk, 3, {}).drawn);   // start equals finish

    clk.EffectHoverX = 120;
    clk.EffectHoverY = 13;
    clk.EffectHoverCountdown = 50;
    EffectHint h = EffectHintOf(*d, clk, 2, 970);
    ASSERT_TRUE(h.shown);
    ASSERT_EQ(h.lines.size(), 6u);
    EXPECT_EQ(h.lines[0], "Effect=3");
    EXPECT_EQ(h.lines[1], "Seque=7");
    EXPECT_EQ(h.lines[2], "Vibro = 44");
    EXPECT_EQ(h.lines[3], "Level = 250");
    EXPECT_EQ(h.lines[4], "Start = 0:05:00");
    clk.EffectHoverX = 300;
    EXPECT_FALSE(EffectHintOf(*d, clk, 2, 970).shown);
}

}  // namespace
