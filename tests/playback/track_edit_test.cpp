#include "playback/track_edit.h"

#include "core/text_routines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

namespace spirelo {
namespace {

TEST(TrackEdit, RecordTrackClampsAndStoresBack) {
    auto d = std::make_unique<ShowData>();
    struct Case { int stored, expected; } cases[] = {{5, 5}, {40, 31}, {-3, 0}, {31, 31}};
    for (auto c : cases) {
        d->TrackEditState[5] = c.stored;
        EXPECT_EQ(RecordTrack(*d), c.expected) << c.stored;
        EXPECT_EQ(d->TrackEditState[5], c.expected) << c.stored;
    }
}

TEST(TrackEdit, WriteTrackStepDropsStepsOutsideTheStore) {
    auto d = std::make_unique<ShowData>();
    TrackStepValue v{4, 9, 255, kCmdSetScene};
    WriteTrackStep(*d, 31, kMaxShowStep, v);
    WriteTrackStep(*d, 31, kMaxShowStep + 1, v);  // would land in the next plane
    WriteTrackStep(*d, 0, -1, v);
    EXPECT_EQ(d->TrackScene[31][kMaxShowStep], 9);
    EXPECT_EQ(ReadTrackStep(*d, 31, kMaxShowStep).level, 255);
    EXPECT_EQ(d->TrackLevel[0][0], 0);
}

// Every plane of every track filled with a sentinel, and some data on the edited tracks.
struct Tracks : ::testing::Test {
    std::unique_ptr<ShowData> d = std::make_unique<ShowData>();
    ShowTickState st;
    static constexpr uint8_t kSentinel = 0xA5;
    void SetUp() override {
        std::memset(d->TrackSeq, kSentinel, sizeof d->TrackSeq);
        std::memset(d->TrackScene, kSentinel, sizeof d->TrackScene);
        std::memset(d->TrackLevel, kSentinel, sizeof d->TrackLevel);
        std::memset(d->TrackCommand, kSentinel, sizeof d->TrackCommand);
        std::memset(d->TrackPlane5, kSentinel, sizeof d->TrackPlane5);
    }
    bool Intact(int track) const {
        for (int s = 0; s <= kMaxShowStep; ++s)
            if (d->TrackSeq[track][s] != kSentinel || d->TrackScene[track][s] != kSentinel ||
                d->TrackLevel[track][s] != kSentinel || d->TrackCommand[track][s] != kSentinel ||
                d->TrackPlane5[track][s] != kSentinel)
                return false;
        return true;
    }
};

TEST_F(Tracks, WholeTrackCommandsStopAtTheStoreEnd) {
    const std::function<void(ShowData&)> commands[] = {
        [](ShowData& x) { DeleteRecordTrack(x, 16800); },
        [](ShowData& x) { ChangeRecordTrackSeq(x, 16800, 7); },
        [](ShowData& x) { NormaliseRecordTrack(x, 16800, {true, true, 5, true}); },
        [](ShowData& x) { DeleteLowLevels(x, 16800); },
    };
    for (size_t c = 0; c < std::size(commands); ++c)
        for (int track : {4, 31}) {
            SetUp();
            d->TrackLevel[track][kMaxShowStep] = 1;   // low, so delete low levels changes it too
            d->TrackEditState[5] = track;
            commands[c](*d);
            EXPECT_TRUE(Intact(5)) << c << " " << track;
            EXPECT_TRUE(Intact(0)) << c << " " << track;   // track 32 would run into the next plane
            const TrackStepValue last = ReadTrackStep(*d, track, kMaxShowStep);
            EXPECT_TRUE(last.seq != kSentinel || last.scene != kSentinel || last.level != 1) << c << " " << track;
        }
}

TEST_F(Tracks, DeleteWithoutASongEmptiesOnlyStepZero) {
    d->TrackEditState[5] = 3;
    d->TrackShift[3] = 9;
    DeleteRecordTrack(*d, 0);
    const TrackStepValue s0 = ReadTrackStep(*d, 3, 0);
    EXPECT_EQ(s0.seq, kEmptyTrackSeq);
    EXPECT_EQ(s0.scene, kEmptyScene);
    EXPECT_EQ(s0.level, 0);
    EXPECT_EQ(s0.command, kCmdNothing);
    EXPECT_EQ(d->TrackPlane5[3][0], 0);
    EXPECT_EQ(d->TrackLevel[3][1], kSentinel);
    EXPECT_EQ(d->TrackShift[3], 0);
}

TEST_F(Tracks, NormaliseThinsRunsWritesTheDecayAndRaisesLevels) {
    std::memset(d->TrackScene[2], 0, kTrackSteps);
    std::memset(d->TrackLevel[2], 0, kTrackSteps);
    d->TrackEditState[5] = 2;
    for (int s = 10; s < 70; ++s) {   // one held run of 60 steps
        d->TrackScene[2][s] = 4;
        d->TrackLevel[2][s] = 100;
    }
    NormaliseRecordTrack(*d, 200, {true, false, 0, false});
    // one step kept of every 27
    EXPECT_EQ(d->TrackScene[2][10], 4);
    EXPECT_EQ(d->TrackScene[2][11], 0);
    EXPECT_EQ(d->TrackScene[2][36], 0);
    EXPECT_EQ(d->TrackScene[2][37], 4);
    EXPECT_EQ(d->TrackScene[2][64], 4);
    NormaliseRecordTrack(*d, 200, {false, true, 30, true});
    // the gap after step 64 decays 70, 40, 10 and stops before going below 1
    EXPECT_EQ(d->TrackLevel[2][64], 255);
    EXPECT_EQ(d->TrackLevel[2][65], 255);   // decay written with the same scene, then raised
    EXPECT_EQ(d->TrackScene[2][65], 4);
    EXPECT_EQ(d->TrackScene[2][67], 4);
    EXPECT_EQ(d->TrackScene[2][68], 0);
    EXPECT_EQ(d->TrackLevel[2][68], 0);
}

TEST_F(Tracks, AdvanceStaysWithinItsRange) {
    struct Case { int stored, shift; bool up; int expectedTrack, expectedShift; } cases[] = {
        {3, 0, false, 3, 0}, {3, 100, true, 3, 100}, {40, 5, true, 31, 6}, {-3, 5, false, 0, 4}};
    for (auto c : cases) {
        d->TrackEditState[5] = c.stored;
        d->TrackShift[c.expectedTrack] = uint8_t(c.shift);
        c.up ? AdvanceUp(*d) : AdvanceDown(*d);
        EXPECT_EQ(d->TrackShift[c.expectedTrack], c.expectedShift) << c.stored;
        EXPECT_EQ(d->TrackEditState[5], c.expectedTrack);
    }
}

TEST_F(Tracks, SearchAlltrackSwitchesOnTheTracksWithData) {
    std::memset(d->TrackLevel, 0, sizeof d->TrackLevel);
    d->TrackEditState[5] = 20;
    struct Case {
        std::function<void(ShowData&)> fill;
        bool playDown;
        std::vector<int> on;   // boxes 1..32
    } cases[] = {
        {[](ShowData& x) { x.TrackLevel[2][50] = 1; x.TrackLevel[7][1000] = 200; }, true, {3, 8}},
        {[](ShowData& x) { x.TrackLevel[2][0] = 100; }, true, {}},
        {[](ShowData&) {}, false, {21}},
        {[](ShowData&) {}, true, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::memset(d->TrackLevel, 0, sizeof d->TrackLevel);
        for (int t = 1; t <= kTracks; ++t) st.TrackOn[t] = 1;
        cases[i].fill(*d);
        SearchAlltrack(*d, st, 2000, cases[i].playDown);
        std::vector<int> on;
        for (int t = 1; t <= kTracks; ++t)
            if (st.TrackOn[t]) on.push_back(t);
        EXPECT_EQ(on, cases[i].on) << i;
    }
}

TEST_F(Tracks, SerialTracksFollowTheRecordTrack) {
    struct Case { int r; int a, b, c; } cases[] = {{0, 9, 9, 9}, {1, 0, 9, 9}, {2, 1, 0, 9}, {31, 30, 29, 28}};
    for (auto c : cases) {
        d->TrackEditState[6] = d->TrackEditState[7] = d->TrackEditState[8] = 9;
        FollowRecordTrack(*d, c.r);
        EXPECT_EQ(d->TrackEditState[6], c.a) << c.r;
        EXPECT_EQ(d->TrackEditState[7], c.b) << c.r;
        EXPECT_EQ(d->TrackEditState[8], c.c) << c.r;
    }
}

TEST(TrackEdit, PointerGivesLevelAndStep) {
    struct { int y, level; } levels[] = {{0, 254}, {1, 252}, {127, 0}, {128, 0}, {-5, 254}};
    for (auto c : levels) EXPECT_EQ(LevelFromY(c.y), c.level) << c.y;
    struct { int x, step; } steps[] = {{0, 75}, {11, 75}, {12, 75}, {32, 76}, {496, 99}};
    for (auto c : steps) EXPECT_EQ(StepFromX(c.x, 100), c.step) << c.x;
}

TEST_F(Tracks, PausedDragEditsThePressedStep) {
    ShowClock clk;
    clk.CurStep = 100;
    d->TrackEditState[5] = 6;
    // left: level, the two bars and command 1 at the pressed step, though the pointer moved on
    RecordViewPress(clk, true, false, 32, 100);   // step 76
    RecordViewMove(*d, clk, 300, 27, true, 12, 34);
    EXPECT_EQ(clk.HoverStep, 89);
    EXPECT_EQ(clk.HoverCountdown, kHoverPaints);
    TrackStepValue v = ReadTrackStep(*d, 6, 76);
    EXPECT_EQ(v.level, 200);
    EXPECT_EQ(v.seq, 12);
    EXPECT_EQ(v.scene, 34);
    EXPECT_EQ(v.command, kCmdSetScene);
    EXPECT_EQ(d->TrackLevel[6][89], kSentinel);
    RecordViewRelease(clk);
    // right: only the level
    RecordViewPress(clk, false, true, 52, 0);   // step 77
    RecordViewMove(*d, clk, 52, 127, true, 12, 34);
    v = ReadTrackStep(*d, 6, 77);
    EXPECT_EQ(v.level, 0);
    EXPECT_EQ(v.seq, kSentinel);
    EXPECT_EQ(v.command, kSentinel);
    RecordViewRelease(clk);
    EXPECT_FALSE(clk.MouseLeftDown || clk.MouseRightDown);
    // not paused, or a step outside the store: nothing
    for (int cur : {100, 22, 16300 + 25 - 10}) {
        SetUp();
        clk.CurStep = cur;
        RecordViewPress(clk, true, false, cur == 100 ? 32 : (cur == 22 ? 12 : 400), 10);
        RecordViewMove(*d, clk, 500, 10, cur != 100, 1, 1);
        RecordViewRelease(clk);
        EXPECT_TRUE(Intact(6)) << cur;
        EXPECT_TRUE(Intact(7)) << cur;
    }
}

TEST_F(Tracks, RecordViewColumns) {
    ShowClock clk;
    d->TrackEditState[5] = 1;
    d->TrackShift[1] = 2;
    std::memset(d->TrackLevel[1], 100, kTrackSteps);
    std::memset(d->TrackScene[1], 0, kTrackSteps);
    std::memset(d->TrackSeq[1], 0, kTrackSteps);
    d->SequencerStepData[0][0][0] = 10;   // all three below 16: dark grey
    d->SequencerStepData[0][0][1] = 5;
    d->SequencerStepData[0][0][2] = 15;
    d->SequencerStepData[31][7][0] = 200;
    d->SequencerStepData[31][7][1] = 10;
    d->SequencerStepData[31][7][2] = 10;
    d->TrackScene[1][20] = 255;
    d->TrackSeq[1][21] = 40;              // taken as sequencer 31
    d->TrackScene[1][21] = 7;
    clk.CurStep = 10;
    RecordViewModel m = RecordViewOf(*d, clk, "");
    for (int k = 0; k <= 15; ++k) {
        EXPECT_EQ(m.columns[size_t(k)].kind, RecordColumn::Grey) << k;
        EXPECT_EQ(m.columns[size_t(k)].y, 127) << k;
    }
    EXPECT_EQ(m.columns[16].kind, RecordColumn::Point);
    EXPECT_EQ(m.columns[16].colour, 0x404040u);
    EXPECT_EQ(m.columns[16].y, (255 - 100) / 2);
    EXPECT_EQ(m.columns[35].kind, RecordColumn::Blank);   // step 20
    EXPECT_EQ(m.columns[36].colour, 0x0A0AC8u);           // step 21: red in the low byte
    EXPECT_EQ(m.columns[47].x, 956);
    EXPECT_EQ(m.shiftX, 535);
    EXPECT_EQ(m.texts[0].text, "Track= 2");
    EXPECT_EQ(m.texts[2].text, "Forvr= 100 ms ");
    clk.CurStep = 16290;
    m = RecordViewOf(*d, clk, "");
    for (int k = 0; k < kTrackViewColumns; ++k)
        EXPECT_EQ(m.columns[size_t(k)].kind == RecordColumn::Grey, k >= 36) << k;
    // watched views: past the store grey at level 0
    const WatchedViewModel w = WatchedViewOf(*d, 1, 16290, "");
    EXPECT_FALSE(w.grey[35]);
    EXPECT_EQ(w.y[35], (255 - 99) / 4);
    EXPECT_TRUE(w.grey[36]);
    EXPECT_EQ(w.y[36], 255 / 4);
}

TEST_F(Tracks, HoverReadOutOnlyForStepsOfTheStore) {
    ShowClock clk;
    d->TrackEditState[5] = 0;
    WriteTrackStep(*d, 0, 300, {3, 4, 77, kCmdSetScene});
    WriteTrackStep(*d, 0, 301, {3, 2, 50, kCmdSetRate});
    clk.HoverCountdown = 2;
    clk.HoverStep = 300;
    clk.HoverX = 960;
    clk.HoverY = 80;
    RecordViewModel m = RecordViewOf(*d, clk, "");
    ASSERT_EQ(m.hover.size(), 5u);
    EXPECT_EQ(m.hover[0].x, 915);
    EXPECT_EQ(m.hover[0].y, 50);
    EXPECT_EQ(m.hover[1].text, "Seque= 4");
    EXPECT_EQ(m.hover[2].text, "Scena= 5");
    EXPECT_EQ(m.hover[3].text, "Level= 77");
    EXPECT_EQ(m.hover[4].y, 110);
    EXPECT_EQ(clk.HoverCountdown, 1);
    EXPECT_TRUE(RecordViewOf(*d, clk, "").hover.empty());   // counted down
    clk.HoverCountdown = 10;
    clk.HoverStep = 301;
    m = RecordViewOf(*d, clk, "");
    EXPECT_EQ(m.hover[1].text, "Block= 4");
    EXPECT_EQ(m.hover[2].text, EffectText(2));
    clk.HoverStep = 16301;
    EXPECT_TRUE(RecordViewOf(*d, clk, "").hover.empty());
}

// Reference: every step drawn as its own vertical line, layer over layer.
std::vector<int> PerStepPicture(const ShowData& d, const ShowTickState& st, int songSteps, const GistoOptions& o,
                                int rec) {
    const int w = kTrackViewWidth;
    std::vector<int> pic(size_t(w) * 130, -1);
    const int scale = std::max(1, songSteps * 256 / w);
    int layer = 0;
    auto draw = [&](int t, int minLevel) {
        int prev = 63;
        for (int s = 1; s <= std::min(songSteps, kMaxShowStep); ++s) {
            const int l = d.TrackLevel[t][s];
            if (l < minLevel) continue;
            const int x = s * 256 / scale, y = (255 - l) / 2;
            const int a = o.bars ? y : std::min(y, prev), b = o.bars ? 127 : std::max(y, prev);
            prev = y;
            if (x >= w) continue;
            for (int row = a; row <= b; ++row) pic[size_t(row * w + x)] = layer;
        }
        ++layer;
    };
    if (!o.onlyOneTrack) {
        for (int t = 0; t < kTracks; ++t)
            if (st.TrackOn[t + 1]) draw(t, 11);
    } else if (st.TrackOn[rec + 1]) {
        draw(rec, 1);
    }
    if (o.currentOnTop && st.TrackOn[rec + 1]) draw(rec, 1);
    return pic;
}

std::vector<int> IntervalPicture(const std::vector<GistoLayer>& layers) {
    const int w = kTrackViewWidth;
    std::vector<int> pic(size_t(w) * 130, -1);
    for (size_t l = 0; l < layers.size(); ++l)
        for (int x = 0; x < w; ++x)
            if (layers[l].top[size_t(x)] >= 0)
                for (int row = layers[l].top[size_t(x)]; row <= layers[l].bottom[size_t(x)]; ++row)
                    pic[size_t(row * w + x)] = int(l);
    return pic;
}

TEST_F(Tracks, HistogramIntervalsMatchTheStepByStepDrawing) {
    std::mt19937 rng(7);
    for (int t = 0; t < kTracks; ++t)
        for (int s = 0; s < kTrackSteps; ++s) d->TrackLevel[t][s] = uint8_t(rng() % 4 == 0 ? rng() % 256 : 0);
    d->TrackEditState[5] = 3;
    for (int t = 1; t <= kTracks; ++t) st.TrackOn[t] = t % 5 != 0;
    for (int songSteps : {16800, 1200, 500})
        for (bool only : {false, true})
            for (bool bars : {true, false}) {
                GistoOptions o{only, true, true, bars};
                EXPECT_EQ(IntervalPicture(GistoLayersOf(*d, st, songSteps, o)), PerStepPicture(*d, st, songSteps, o, 3))
                    << songSteps << only << bars;
            }
}

TEST_F(Tracks, HistogramThresholdByMode) {
    std::memset(d->TrackLevel, 0, sizeof d->TrackLevel);
    d->TrackEditState[5] = 0;
    SetAllTracks(st, false);
    st.TrackOn[1] = 1;
    d->TrackLevel[0][100] = 10;
    d->TrackLevel[0][200] = 1;
    auto columns = [](const std::vector<GistoLayer>& layers, size_t layer) {
        int n = 0;
        for (int16_t t : layers[layer].top) n += t >= 0;
        return n;
    };
    auto all = GistoLayersOf(*d, st, 1000, {false, true, false, true});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(columns(all, 0), 0);
    EXPECT_EQ(all[0].colour, ColorOfIndex(0));
    auto one = GistoLayersOf(*d, st, 1000, {true, true, true, true});
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(columns(one, 0), 2);
    EXPECT_EQ(one[1].colour, 0xFFFFFFu);
    EXPECT_EQ(columns(one, 1), 2);
    st.TrackOn[1] = 0;
    EXPECT_TRUE(GistoLayersOf(*d, st, 1000, {true, true, true, true}).empty());
}

TEST(TrackEdit, SelectionRuleClearsABackwardSelection) {
    ShowClock clk;
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 10911;
    clk.SelectionStartPixel = 100;
    clk.SelectionEndPixel = 400;
    SelectionReadout r = SelectionRule(clk);
    EXPECT_TRUE(r.finishShown);
    EXPECT_EQ(r.startText, "Start  " + timeTostr(100 * 10911 / 8820));
    clk.SelectionEndPixel = 50;
    clk.SelectionEndStep = 60;
    r = SelectionRule(clk);
    EXPECT_EQ(clk.SelectionStartPixel, 0);
    EXPECT_EQ(clk.SelectionEndStep, 0);
    r = SelectionRule(clk);
    EXPECT_FALSE(r.finishShown);
    EXPECT_EQ(r.startText, "No Select");
}

}  // namespace
}  // namespace spirelo
