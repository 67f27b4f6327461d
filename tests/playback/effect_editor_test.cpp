#include "playback/effect_editor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace spirelo {
namespace {

// A 60 s song: 8820 bytes per step, 10911 per pixel; effect 3 spans steps 100..300 (pixels 80..242).
struct Effects : ::testing::Test {
    std::unique_ptr<ShowData> d = std::make_unique<ShowData>();
    ShowClock clk;
    EffectDragState s;
    void SetUp() override {
        for (int e = 0; e < kEffects; ++e) ResetEffect(*d, e);
        clk.BytesPerStep = 8820;
        clk.BytesPerPixel = 10911;
        d->EffectKind[3] = 2;
        d->EffectStart[3] = 100;
        d->EffectFinish[3] = 300;
    }
    int Row(int e) const { return kEffectRowHeight * e + 2; }
};

TEST_F(Effects, DragMovesOrResizesBySpanAndPressPoint) {
    EXPECT_EQ(EffectStepToX(100, clk), 80);
    EXPECT_EQ(EffectStepToX(300, clk), 242);
    // inside the span: move; both ends follow the pointer
    EXPECT_EQ(EffectPress(*d, clk, s, true, false, 160, Row(3)), 3);
    EXPECT_EQ(s.mode, EffectDragMode::Move);
    EffectMove(*d, clk, s, 210);
    EXPECT_EQ(EffectDragViewOf(s).cursor, 1);
    EXPECT_EQ(d->EffectStart[3], 100);   // stored only on release
    EXPECT_TRUE(EffectRelease(*d, s));
    EXPECT_EQ(d->EffectStart[3], 161);
    EXPECT_EQ(d->EffectFinish[3], 361);
    EXPECT_EQ(s.effect, kNoDrag);
    EXPECT_EQ(s.mode, EffectDragMode::None);

    // near the start: resize the start; past the finish it stays 10 steps before it
    d->EffectStart[3] = 100;
    d->EffectFinish[3] = 300;
    EffectPress(*d, clk, s, true, false, 84, Row(3));
    EXPECT_EQ(s.mode, EffectDragMode::Resize);
    EXPECT_TRUE(s.nearStart);
    EffectMove(*d, clk, s, 300);
    EXPECT_EQ(EffectDragViewOf(s).cursor, 2);
    EffectRelease(*d, s);
    EXPECT_EQ(d->EffectStart[3], 290);
    EXPECT_EQ(d->EffectFinish[3], 300);

    // near the finish, dragged before the start: 10 steps after it
    d->EffectStart[3] = 100;
    EffectPress(*d, clk, s, true, false, 240, Row(3));
    EXPECT_FALSE(s.nearStart);
    EffectMove(*d, clk, s, 20);
    EffectRelease(*d, s);
    EXPECT_EQ(d->EffectFinish[3], 110);

    // a span moved beyond the song's store is clamped on release
    d->EffectStart[3] = 15000;
    d->EffectFinish[3] = 16290;
    clk.BytesPerPixel = 200000;
    const int x = EffectStepToX(15800, clk);
    EffectPress(*d, clk, s, true, false, x, Row(3));
    EffectMove(*d, clk, s, x + 30);
    EffectRelease(*d, s);
    EXPECT_EQ(d->EffectFinish[3], kMaxShowStep);

    // a span from a damaged file drags without overflow and is brought into the store
    d->EffectStart[3] = INT32_MIN;
    d->EffectFinish[3] = INT32_MAX;
    EffectPress(*d, clk, s, true, false, 400, Row(3));
    EXPECT_EQ(s.mode, EffectDragMode::Move);
    EffectMove(*d, clk, s, 900);
    EXPECT_EQ(s.newFinish, INT32_MAX);
    EffectRelease(*d, s);
    EXPECT_EQ(d->EffectStart[3], 0);
    EXPECT_EQ(d->EffectFinish[3], kMaxShowStep);
}

TEST_F(Effects, NoDragWhereTheEditorStartsNone) {
    struct Case { int e, x, kind; } cases[] = {{0, 100, 2}, {3, 0, 2}, {3, 160, 0}};
    for (auto c : cases) {
        SetUp();
        d->EffectKind[c.e] = uint8_t(c.kind);
        d->EffectStart[c.e] = 0;
        d->EffectFinish[c.e] = 300;
        EffectPress(*d, clk, s, true, false, c.x, Row(c.e));
        EffectMove(*d, clk, s, c.x + 50);
        EXPECT_FALSE(EffectRelease(*d, s)) << c.e << " " << c.x;
        EXPECT_EQ(d->EffectStart[c.e], 0);
        EXPECT_EQ(d->EffectFinish[c.e], 300);
    }
    // rows past effect 63 and a release without a press do nothing
    EXPECT_EQ(EffectPress(*d, clk, s, true, false, 100, 390), -1);
    EXPECT_EQ(s.effect, kNoDrag);
    EXPECT_FALSE(EffectRelease(*d, s));
}

TEST_F(Effects, ScrollWriteAndRecordRules) {
    struct Case { int kind, start, finish; bool writes; } cases[] = {
        {0, 10, 50, false}, {2, 10, 10, false}, {2, 10, 50, true}};
    for (auto c : cases) {
        d->EffectKind[5] = uint8_t(c.kind);
        d->EffectStart[5] = c.start;
        d->EffectFinish[5] = c.finish;
        EXPECT_EQ(EffectScrollWrites(*d, 5), c.writes);
        EXPECT_EQ(EnableRecEffect(*d, 5), c.start != c.finish);
    }
    const EffectValues v{3, 12, 40, 300, "Вибро"};
    struct Sel { int start, finish; bool written; int expectedFinish; } sels[] = {
        {120, 480, true, 480}, {200, 200, false, 0}, {120, 16800, true, kMaxShowStep}};
    for (auto c : sels) {
        ResetEffect(*d, 7);
        clk.SelectionStartStep = c.start;
        clk.SelectionEndStep = c.finish;
        EXPECT_EQ(RecordToEffect(*d, clk, 7, v), c.written);
        if (!c.written) {
            EXPECT_EQ(d->EffectKind[7], 0);
            continue;
        }
        EXPECT_EQ(d->EffectStart[7], 120);
        EXPECT_EQ(d->EffectFinish[7], c.expectedFinish);
        EXPECT_EQ(d->EffectKind[7], 3);
        EXPECT_EQ(d->EffectSeq[7], 12);
        EXPECT_EQ(d->EffectTime[7], 40);
        EXPECT_EQ(d->EffectLevel[7], 300);
        EXPECT_EQ(d->EffectNames[7][5], ' ');
    }
    // an empty name leaves the stored one
    RecordNameEffect(*d, 7, "");
    EXPECT_EQ(d->EffectNames[7][0], 0xC2);   // CP1251 "В"
}

TEST_F(Effects, ContainerAndPanel) {
    EffectKontainer k;
    EXPECT_FALSE(k.PasteAll(*d));
    k.CopyAll(*d);
    d->EffectStart[3] = 5;
    // paste-all refused by the window's No leaves the table; a paste restores it
    EXPECT_EQ(d->EffectStart[3], 5);
    EXPECT_TRUE(k.PasteAll(*d));
    EXPECT_EQ(d->EffectStart[3], 100);
    k.CopyOne(*d, 3);
    EXPECT_TRUE(k.PasteOne(*d, 10));
    EXPECT_TRUE(k.PasteOne(*d, 11));
    EXPECT_EQ(d->EffectFinish[10], 300);
    EXPECT_EQ(d->EffectKind[11], 2);
    EXPECT_EQ(d->EffectSeq[11], 3);

    const EffectPanel vib = EffectPanelOf(3, 7, 123);
    EXPECT_EQ(vib.levelLabel, "Level 24");
    EXPECT_EQ(vib.timeLabel, "Vibro 7");
    EXPECT_EQ(vib.timeWidth, 91);
    EXPECT_TRUE(vib.vibratoShown && vib.timeShown && vib.levelShown && vib.seqShown);
    const EffectPanel off = EffectPanelOf(0, 7, 123), bad = EffectPanelOf(9, 7, 123);
    for (const EffectPanel& p : {off, bad}) {
        EXPECT_FALSE(p.levelShown || p.timeShown || p.seqShown || p.vibratoShown);
        EXPECT_EQ(p.timeWidth, 105);
    }
    EXPECT_EQ(off.timeLabel, "Off ");
    EXPECT_EQ(bad.timeLabel, "No Set Mode! ");
    EXPECT_EQ(bad.levelLabel, "No Set Mode! ");
    const EffectPanel mux = EffectPanelOf(4, 7, 300);
    EXPECT_FALSE(mux.timeShown);
    EXPECT_EQ(mux.levelLabel, "Channel 300");
}

}  // namespace
}  // namespace spirelo
