#include "sequencer/scene_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace spirelo {
namespace {

constexpr uint32_t kWhite = Rgb(255, 255, 255);

class SceneEditor : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        ResetSequenceData(*data);
    }
    ShowData& d() { return *data; }
    uint8_t* levels(int step) { return d().SequencerStepData[S][step]; }
    // Drives the spots (their three channels) or channels given.
    void DriveSpots(std::initializer_list<int> spots) {
        for (int s : spots)
            for (int k = 0; k < 3; ++k) d().SequencerChannelMask[S][3 * s + k] = 1;
    }
    void DriveChannels(int from, int to) {
        for (int c = from; c <= to; ++c) d().SequencerChannelMask[S][c] = 1;
    }
    // Cells (step, spot) whose red level is set, over the whole sequencer.
    std::set<std::pair<int, int>> PaintedSpots() {
        std::set<std::pair<int, int>> cells;
        for (int t = 0; t < kSequencerSteps; ++t)
            for (int s = 0; s < 170; ++s)
                if (levels(t)[3 * s] || levels(t)[3 * s + 1] || levels(t)[3 * s + 2]) cells.insert({t, s});
        return cells;
    }
    std::set<std::pair<int, int>> PaintedChannels() {
        std::set<std::pair<int, int>> cells;
        for (int t = 0; t < kSequencerSteps; ++t)
            for (int c = 0; c < kChannels; ++c)
                if (levels(t)[c]) cells.insert({t, c});
        return cells;
    }
    AreaContext Ctx(AreaPage page, AreaTool tool, AreaView v = {S, 0, 0}) {
        return AreaContext{d(), e, page, tool, v, kWhite, 200, [this] { ++saves; }};
    }
    void Corners(int x1, int y1, int x2, int y2) {
        e.AreaSelX1 = x1;
        e.AreaSelY1 = y1;
        e.AreaSelX2 = x2;
        e.AreaSelY2 = y2;
    }

    static constexpr int S = 4;
    std::unique_ptr<ShowData> data;
    SequencerEditState e;
    int saves = 0;
};

// --- Cell writers and paint tools ----------------------------------------------------------

TEST_F(SceneEditor, CellWritersClampAndNeverWritePastChannel511) {
    RecPix(d(), Rgb(1, 2, 3), 510, 7, S);
    EXPECT_EQ(levels(7)[510], 1);
    EXPECT_EQ(levels(7)[511], 2);
    EXPECT_EQ(d().SequencerStepData[S][8][0], 0) << "the blue byte must not spill into the next step";

    RecPix(d(), Rgb(9, 8, 7), 600, 300, 99);   // every index clamped: seq 31, step 255, channel 511
    EXPECT_EQ(d().SequencerStepData[31][255][511], 9);
    EXPECT_EQ(d().SequencerStepData[31][255][510], 0);

    SetRGB(d(), S, 3, 30, 9);   // 9 mod 8 = 1: yellow
    EXPECT_EQ(levels(3)[30], 255);
    EXPECT_EQ(levels(3)[31], 255);
    EXPECT_EQ(levels(3)[32], 0);
    SetRGB(d(), S, 3, 60, -1);  // negative remainder: nothing
    SetRGB(d(), S, 300, 60, 0); // outside the store: nothing
    EXPECT_EQ(levels(3)[60], 0);

    SetSceneCell(d(), 77, -5, -1, S);
    EXPECT_EQ(levels(0)[0], 77);
}

TEST_F(SceneEditor, LinesStopAtControlWordsAndTheirOwnLimits) {
    // (0,0) -> (3,1) walks (0,0), (1,0), (2,0), (3,1).
    Corners(0, 0, 3, 1);
    drawLineColor(d(), e, {S, 0, 0}, kWhite);
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));

    // The same with a loop mark in column 2: the line ends before it.
    ResetSequenceData(d());
    d().SequencerStepWords[S][2] = kWordLoop;
    drawLineColor(d(), e, {S, 0, 0}, kWhite);
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}}));

    // 45 degrees up from spot 0: drawLineColor stops above spot 0, the colour line keeps
    // writing channels 0..2.
    ResetSequenceData(d());
    Corners(0, 0, 3, -3);
    drawLineColor(d(), e, {S, 10, 0}, kWhite);
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{10, 0}}));
    drawTwoLineColor(d(), e, {S, 10, 0}, kWhite);
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{10, 0}, {11, 0}, {12, 0}, {13, 0}}));

    // Lines end at step 254 and never start before step 0.
    ResetSequenceData(d());
    Corners(0, 0, 4, 0);
    LineBetween(d(), e, {S, 252, 9}, 5);
    EXPECT_EQ(PaintedChannels(), (std::set<std::pair<int, int>>{{252, 9}, {253, 9}, {254, 9}}));
    ResetSequenceData(d());
    LineBetween(d(), e, {S, -2, 9}, 5);
    EXPECT_TRUE(PaintedChannels().empty());
}

TEST_F(SceneEditor, RectanglesStartInsideTheStoreAndAreCutAtStep255) {
    Corners(2, 1, 0, 0);   // corners in any order
    FillRectColor(d(), e, {S, 256, 0}, kWhite);
    EXPECT_TRUE(PaintedSpots().empty());
    EXPECT_EQ(e.AreaSelX1, 0);   // ordered in place
    EXPECT_EQ(e.AreaSelY2, 1);

    FillRectKlapan(d(), e, {S, 254, 20}, 9);
    EXPECT_EQ(PaintedChannels(), (std::set<std::pair<int, int>>{{254, 20}, {255, 20}, {254, 21}, {255, 21}}));
    // Rectangles ignore step words.
    ResetSequenceData(d());
    d().SequencerStepWords[S][1] = kWordStopOff;
    FillRectColor(d(), e, {S, 0, 0}, kWhite);
    EXPECT_EQ(PaintedSpots().size(), 6u);
}

// --- The area editor -------------------------------------------------------------------------

TEST_F(SceneEditor, PressOnUndrivenCellOrTheStripActsOnTheStep) {
    DriveSpots({2});
    struct Case { int x, y; AreaButton button; AreaResult::StepAction action; };
    const Case cases[] = {
        {5 * 16 + 4, 16 * 1 + 8, AreaButton::Left, AreaResult::StepAction::MakeCurrent},   // spot 1: undriven
        {5 * 16 + 4, 3, AreaButton::Left, AreaResult::StepAction::MakeCurrent},            // the strip
        {5 * 16 + 4, 3, AreaButton::Right, AreaResult::StepAction::ToggleWord},
    };
    for (const Case& c : cases) {
        for (AreaView v : {AreaView{S, 10, 0}, AreaView{S, 10, 2}}) {
            if (v.firstRow == 2 && c.y > 16) continue;
            AreaResult r = AreaMouseDown(Ctx(AreaPage::Spots, AreaTool::Pencil, v), c.button, c.x, c.y);
            EXPECT_EQ(r.stepAction, c.action);
            EXPECT_EQ(r.step, 15);
            EXPECT_FALSE(r.redraw);
            EXPECT_EQ(e.InfoBoxOnCell, 0);
            EXPECT_EQ(e.SpotPenDown, 0);
        }
    }
    EXPECT_TRUE(PaintedSpots().empty());

    // The right-click word toggle: a control word becomes the tempo, anything else the loop mark.
    for (auto [word, expected] : {std::pair{1000, 2}, std::pair{2, 700}, std::pair{9, 700}}) {
        d().SequencerStepWords[S][15] = uint16_t(word);
        ToggleStepWord(d(), S, 15, 700);
        EXPECT_EQ(d().SequencerStepWords[S][15], expected) << word;
    }
}

TEST_F(SceneEditor, PressesOutsideTheGridDoNothing) {
    DriveChannels(0, 511);
    for (auto [x, y] : {std::pair{-1, 20}, std::pair{20, 513}, std::pair{600, 600}}) {
        const AreaResult r = AreaMouseDown(Ctx(AreaPage::Channels, AreaTool::Pencil), AreaButton::Left, x, y);
        EXPECT_FALSE(r.redraw);
        EXPECT_EQ(r.stepAction, AreaResult::StepAction::None);
    }
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(PaintedChannels().empty());
}

TEST_F(SceneEditor, RectangleTakesTwoPressesAndActsOnTheNextMove) {
    DriveSpots({0, 1, 2, 3});
    DriveChannels(0, 40);
    for (AreaPage page : {AreaPage::Spots, AreaPage::Channels}) {
        ResetSequenceData(d());
        DriveSpots({0, 1, 2, 3});
        e = {};
        const AreaContext c = Ctx(page, AreaTool::Rect);
        AreaMouseDown(c, AreaButton::Left, 8, 24);             // column 0, row 1
        AreaMouseMove(c, 40, 40);
        EXPECT_EQ(page == AreaPage::Spots ? e.SpotToolState : e.KlapanToolState, 1);
        AreaMouseDown(c, AreaButton::Left, 40, 56);            // column 2, row 3
        EXPECT_TRUE(page == AreaPage::Spots ? PaintedSpots().empty() : PaintedChannels().empty());
        const AreaResult r = AreaMouseMove(c, 41, 57);
        EXPECT_EQ(r.toolToPencil, page == AreaPage::Spots);
        EXPECT_EQ(page == AreaPage::Spots ? PaintedSpots().size() : PaintedChannels().size(), 9u);
        EXPECT_EQ(page == AreaPage::Spots ? e.SpotToolState : e.KlapanToolState, 0);
    }
}

TEST_F(SceneEditor, RgbPencilDragPaintsEveryCrossedCellInsideTheGridOnly) {
    DriveSpots({3});
    const AreaContext c = Ctx(AreaPage::Spots, AreaTool::Pencil, {S, 20, 0});
    AreaMouseDown(c, AreaButton::Left, 8, 3 * 16 + 8);         // step 20, spot 3
    AreaMouseMove(c, 24, 5 * 16 + 8);                          // step 21, spot 5 (undriven)
    AreaMouseMove(c, 40, 6 * 16 + 8);                          // step 22, spot 6
    AreaMouseMove(c, 700, 6 * 16 + 8);                         // outside: nothing
    AreaMouseMove(c, 40, -30);
    AreaMouseMove(c, 40, 512);                                 // the last line: spot 32
    AreaMouseUp(e, AreaPage::Spots);
    AreaMouseMove(c, 56, 7 * 16);                              // pen up
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{20, 3}, {21, 5}, {22, 6}, {22, 32}}));
    EXPECT_GE(saves, 4);
}

TEST_F(SceneEditor, ChannelPencilRightDragErasesWhatTheMovesCross) {
    DriveChannels(10, 10);
    for (int t = 0; t < 5; ++t)
        for (int c = 8; c < 14; ++c) levels(t)[c] = 99;
    const AreaContext c = Ctx(AreaPage::Channels, AreaTool::Pencil, {S, 0, 0});
    AreaMouseDown(c, AreaButton::Right, 8, 10 * 16 + 8);       // step 0, channel 10
    EXPECT_EQ(levels(0)[10], 99) << "the press alone erases nothing";
    AreaMouseMove(c, 24, 11 * 16 + 8);                         // step 1, channel 11 (undriven)
    AreaMouseMove(c, 40, 12 * 16 + 8);
    AreaMouseUp(e, AreaPage::Channels);
    AreaMouseMove(c, 56, 13 * 16 + 8);
    EXPECT_EQ(levels(1)[11], 0);
    EXPECT_EQ(levels(2)[12], 0);
    EXPECT_EQ(levels(0)[10], 99);
    EXPECT_EQ(levels(3)[13], 99);
    EXPECT_EQ(e.KlapanEraseDown, 0);
}

TEST_F(SceneEditor, OneClickLinesRunOverTheDrivenCount) {
    // Channel page: n = 1 + 3 driven channels = 4, so 5 cells; above channel 0 it keeps writing
    // channel 0.
    DriveChannels(0, 2);
    AreaMouseDown(Ctx(AreaPage::Channels, AreaTool::Down45, {S, 10, 0}), AreaButton::Left, 8, 8);
    EXPECT_EQ(PaintedChannels(), (std::set<std::pair<int, int>>{{10, 0}, {11, 1}, {12, 2}, {13, 3}, {14, 4}}));
    ResetSequenceData(d());
    DriveChannels(0, 2);
    AreaMouseDown(Ctx(AreaPage::Channels, AreaTool::Up45, {S, 10, 0}), AreaButton::Left, 8, 1 * 16 + 8);
    EXPECT_EQ(PaintedChannels(), (std::set<std::pair<int, int>>{{10, 1}, {11, 0}, {12, 0}, {13, 0}, {14, 0}}));
    EXPECT_EQ(e.KlapanToolState, 0);

    // RGB rainbow: n = 6 driven channels div 3 = 2: three spots down one column.
    ResetSequenceData(d());
    DriveSpots({0, 1});
    AreaMouseDown(Ctx(AreaPage::Spots, AreaTool::Rainbow, {S, 10, 0}), AreaButton::Left, 8, 8);
    EXPECT_EQ(PaintedSpots(), (std::set<std::pair<int, int>>{{10, 0}, {10, 1}, {10, 2}}));
}

TEST_F(SceneEditor, RightClickResetsTheRgbToolButNotTheChannelTool) {
    DriveSpots({0});
    DriveChannels(0, 5);
    AreaMouseDown(Ctx(AreaPage::Spots, AreaTool::Line), AreaButton::Right, 8, 8);
    EXPECT_EQ(e.SpotToolState, 0);
    AreaMouseDown(Ctx(AreaPage::Channels, AreaTool::Line), AreaButton::Right, 8, 8);
    EXPECT_EQ(e.KlapanToolState, 1);
}

TEST_F(SceneEditor, HoverPreviewsOnlyInStopAndOnlyInsideTheStore) {
    DriveChannels(0, 0);
    for (int t = 0; t < kSequencerSteps; ++t) levels(t)[0] = uint8_t(t);
    struct Case { uint8_t state; int firstStep, x; int expected; };
    const Case cases[] = {
        {kRunStop, 0, 5 * 16 + 4, 5},
        {kRunPlay, 0, 5 * 16 + 4, 77},
        {kRunOff, 0, 5 * 16 + 4, 77},
        {kRunStop, 222, 40 * 16, 77},   // a drag beyond step 255: no preview, no read
    };
    for (const Case& k : cases) {
        d().DmxFrame[1] = 77;
        d().SequencerRunState[S] = k.state;
        AreaMouseMove(Ctx(AreaPage::Channels, AreaTool::Pencil, {S, k.firstStep, 0}), k.x, 8);
        EXPECT_EQ(d().DmxFrame[1], k.expected) << int(k.state);
    }
    EXPECT_EQ(e.InfoBoxOnCell, 0);
    EXPECT_EQ(e.InfoStep, 222 + 40 + 1);
}

// --- Pattern commands ------------------------------------------------------------------------

TEST_F(SceneEditor, ClearSequencerAndClearPatternWithoutDrivenChannels) {
    for (int t = 0; t < kSequencerSteps; ++t) std::memset(levels(t), 5, kChannels);
    d().SequencerRunState[S] = kRunPlay;
    d().SequencerCurrentStep[S] = 40;
    ClearSequencer(d(), S);
    for (int t = 0; t < kSequencerSteps; ++t) EXPECT_EQ(d().SequencerStepWords[S][t], 25);
    EXPECT_TRUE(PaintedChannels().empty());
    EXPECT_EQ(d().SequencerRunState[S], kRunOff);
    EXPECT_EQ(d().SequencerCurrentStep[S], 0);

    for (int t = 0; t < kSequencerSteps; ++t) std::memset(levels(t), 5, kChannels);
    e.PatternFrom = 10;
    e.PatternTo = 12;
    ASSERT_TRUE(ClearPattern(d(), e, S, 300));
    for (int t = 10; t <= 12; ++t) {
        EXPECT_EQ(levels(t)[0], 5);
        for (int c = 1; c <= 511; ++c) ASSERT_EQ(levels(t)[c], 0) << t << " " << c;
        EXPECT_EQ(d().SequencerStepWords[S][t], 300);
    }
    EXPECT_EQ(levels(9)[1], 5);
    EXPECT_EQ(levels(13)[1], 5);
    EXPECT_EQ(d().SequencerStepWords[S][13], 25);
}

TEST_F(SceneEditor, ClearAllTouchesOnlyTheSequencerStore) {
    d().ChannelMax[5] = 100;
    d().CoderTable[3] = 7;
    d().KeySeqTable[12] = 3;
    d().ScheduleHour[2] = 6;
    std::memcpy(d().SequencerNames[1], "Fountain 2      ", 16);
    d().EditorSettings[13] = 99;
    d().SequencerChannelMask[40][7] = 1;
    DriveChannels(0, 3);
    levels(9)[2] = 8;
    d().SequencerStepWords[S][9] = 2;
    d().SequencerRunState[S] = kRunPlay;

    UndoStore undo;
    undo.save(d());
    ClearAllSequencers(d());
    EXPECT_EQ(levels(9)[2], 0);
    EXPECT_EQ(d().SequencerChannelMask[S][1], 0);
    EXPECT_EQ(d().SequencerStepWords[S][9], kResetStepWord);
    EXPECT_EQ(d().SequencerRunState[S], kRunOff);
    EXPECT_EQ(d().ChannelMax[5], 100);
    EXPECT_EQ(d().CoderTable[3], 7);
    EXPECT_EQ(d().KeySeqTable[12], 3);
    EXPECT_EQ(d().ScheduleHour[2], 6);
    EXPECT_EQ(std::memcmp(d().SequencerNames[1], "Fountain 2      ", 16), 0);
    EXPECT_EQ(d().EditorSettings[13], 99);

    // Mask row 40 (the fixed grid's rows) cleared by hand, then all restored by undo.
    d().SequencerChannelMask[40][7] = 0;
    ASSERT_TRUE(undo.restore(d()));
    EXPECT_EQ(levels(9)[2], 8);
    EXPECT_EQ(d().SequencerChannelMask[S][1], 1);
    EXPECT_EQ(d().SequencerChannelMask[40][7], 1);
    EXPECT_EQ(d().SequencerStepWords[S][9], 2);
    EXPECT_EQ(d().SequencerRunState[S], kRunPlay);
    EXPECT_FALSE(undo.canRestore()) << "one level only";
}

TEST_F(SceneEditor, UndoKeepsTheStateBeforeEachBurst) {
    static_assert(UndoStore::kSnapshotBytes == 4243616);
    UndoStore undo;
    EXPECT_FALSE(undo.restore(d()));
    // A three-second drag: 60 saves with no end of the window between them.
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(undo.save(d()), i == 0);
        levels(i)[0] = uint8_t(i + 1);
    }
    ASSERT_TRUE(undo.restore(d()));
    for (int i = 0; i < 60; ++i) ASSERT_EQ(levels(i)[0], 0) << i;

    // Two edits with the window closed between them: undo gives the state between.
    undo.save(d());
    levels(0)[0] = 1;
    undo.burstEnded();
    undo.save(d());
    levels(1)[0] = 2;
    undo.restore(d());
    EXPECT_EQ(levels(0)[0], 1);
    EXPECT_EQ(levels(1)[0], 0);
}

TEST_F(SceneEditor, PasteUsesTheSpansOfTheCopy) {
    const int src = 2, dst = 9;
    d().SequencerChannelMask[src][100] = 1;
    d().SequencerChannelMask[src][119] = 1;   // channels 100..119: span 19
    for (int t = 0; t < kSequencerSteps; ++t)
        for (int c = 100; c <= 119; ++c) d().SequencerStepData[src][t][c] = uint8_t(c - 99);
    for (int t = 20; t <= 29; ++t) d().SequencerStepWords[src][t] = 1000;
    d().SequencerStepWords[src][25] = 1500;
    auto clip = MakeSceneClipboard();
    e.PatternFrom = 20;
    e.PatternTo = 29;
    ASSERT_TRUE(CopyPattern(d(), e, *clip, src));

    // A clear pattern over 4 steps changes the shared spans, not the clipboard's.
    e.PatternFrom = 40;
    e.PatternTo = 43;
    ClearPattern(d(), e, src, 500);
    EXPECT_EQ(e.CopyStepSpan, 3);

    // First driven channel of the target is 500: only 500..511 are written.
    d().SequencerChannelMask[dst][500] = 1;
    e.PatternFrom = 60;
    e.PatternTo = 63;
    PastePattern(d(), e, *clip, dst);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(d().SequencerStepData[dst][60 + i][500], 1) << i;
        EXPECT_EQ(d().SequencerStepData[dst][60 + i][511], 12) << i;
    }
    EXPECT_EQ(d().SequencerStepData[dst][70][500], 0);
    EXPECT_EQ(d().SequencerStepWords[dst][60], 1000) << "1000 ms words are kept";
    EXPECT_EQ(d().SequencerStepWords[dst][65], 1500);
    EXPECT_EQ(d().SequencerStepWords[dst][69], 1000);
    EXPECT_EQ(d().SequencerStepWords[dst][70], kResetStepWord);
    EXPECT_EQ(d().SequencerStepData[dst + 1][0][0], 0);
}

TEST_F(SceneEditor, FailedCopySequencerAfterAPatternCopyLeavesNothingToPaste) {
    DriveChannels(10, 20);
    e.PatternFrom = 0;
    e.PatternTo = 5;
    auto clip = MakeSceneClipboard();
    ASSERT_TRUE(CopyPattern(d(), e, *clip, S));
    std::memset(d().SequencerChannelMask[S], 0, kChannels);
    d().SequencerChannelMask[S][30] = 1;
    d().SequencerChannelMask[S][0] = 0;
    // One driven channel in 1..510: First = Last.
    EXPECT_FALSE(CopySequencer(d(), e, *clip, S));
    EXPECT_EQ(e.ClipKind, 3);
    EXPECT_EQ(clip->Kind, 2) << "the clipboard still describes what it holds";
}

TEST_F(SceneEditor, MirrorReversesThePatternSteps) {
    auto clip = MakeSceneClipboard();
    for (int t = 0; t < 8; ++t) levels(t)[3] = uint8_t(t + 1);
    e.PatternFrom = 2;
    e.PatternTo = 5;
    MirrorPattern(d(), e, *clip, S);
    const int expected[8] = {1, 2, 6, 5, 4, 3, 7, 8};
    for (int t = 0; t < 8; ++t) EXPECT_EQ(levels(t)[3], expected[t]) << t;
}

TEST_F(SceneEditor, PointErasersStayInsideTheStep) {
    std::memset(levels(7), 9, kChannels);
    levels(8)[0] = 42;   // the cell an index 512 would reach
    ErasePointSpot(d(), S, 7, 3 * 170);
    EXPECT_EQ(levels(7)[509], 9);
    EXPECT_EQ(levels(7)[510], 0);
    EXPECT_EQ(levels(7)[511], 0);
    EXPECT_EQ(levels(8)[0], 42);
    ErasePointChannel(d(), S, 7, 512);
    ErasePointChannel(d(), S, 300, 5);
    EXPECT_EQ(levels(8)[0], 42);
    EXPECT_EQ(levels(7)[5], 9);

    auto clip = MakeSceneClipboard();
    CopySequencerLevels(d(), *clip, S);
    PasteSequencerLevels(d(), *clip, 20);
    EXPECT_EQ(d().SequencerStepData[20][8][0], 42);
}

// --- Level buttons and what the areas show --------------------------------------------------

TEST_F(SceneEditor, RetunedLevelButtonKeepsItsLevel) {
    LevelButtonsLook look = LevelButtonPressed(d(), e, 3, AreaButton::Right);
    EXPECT_TRUE(look.groupVisible);
    EXPECT_EQ(look.groupBeside, 3);
    EXPECT_EQ(look.slider, 160);
    EXPECT_EQ(look.captionColours[2], Rgb(255, 0, 0));
    EXPECT_EQ(look.captionColours[0], Rgb(128, 128, 128));
    auto moved = LevelSliderMoved(d(), e, 200);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->levels[2], 200);
    EXPECT_EQ(d().EditorSettings[7], 200);

    look = LevelButtonPressed(d(), e, 5, AreaButton::Left);
    EXPECT_EQ(look.levels[2], 200);
    EXPECT_EQ(d().EditorSettings[13], 200);
    EXPECT_EQ(d().EditorSettings[7], 64);
    EXPECT_FALSE(look.groupVisible);
    EXPECT_EQ(look.captionColours[4], Rgb(255, 0, 0));
    EXPECT_EQ(look.captionColours[2], Rgb(0, 0, 128));
    EXPECT_EQ(e.LevelEditMode, 0);

    // With no level being edited the slider changes nothing; mode 7 is ignored.
    LevelSliderMoved(d(), e, 10);
    EXPECT_EQ(d().EditorSettings[13], 200);
    EXPECT_FALSE(SetButtonInvertor(d(), e, 7));
}

TEST_F(SceneEditor, InfoBoxIsClampedAndShowsDashesOutsideTheStore) {
    DriveSpots({1});
    levels(3)[3] = 10;
    levels(3)[4] = 20;
    levels(3)[5] = 30;
    d().SequencerStepWords[S][3] = 1500;
    AreaMouseMove(Ctx(AreaPage::Spots, AreaTool::Pencil, {S, 0, 0}), 3 * 16 + 4, 16 + 4);
    InfoBox box = AreaInfoBox(d(), e, AreaPage::Spots, {S, 0, 0}, 513, 513);
    EXPECT_EQ(box.lines, (std::vector<std::string>{"Слева : 4", "Сверху: 2", "Сцена: 4", "Cпот : 2", "10,20,30",
                                                   "T=1.5 sec"}));
    EXPECT_TRUE(box.onCell);

    AreaMouseMove(Ctx(AreaPage::Spots, AreaTool::Pencil, {S, 0, 138}), 512, 512);
    box = AreaInfoBox(d(), e, AreaPage::Spots, {S, 0, 138}, 513, 513);
    EXPECT_EQ(box.x, 413);
    EXPECT_EQ(box.y, 412);
    EXPECT_EQ(box.lines[4], "0,0,-");   // spot 170: channels 510, 511 and none

    AreaMouseMove(Ctx(AreaPage::Channels, AreaTool::Pencil, {S, 222, 480}), 900, 512);
    box = AreaInfoBox(d(), e, AreaPage::Channels, {S, 222, 480}, 513, 513);
    EXPECT_EQ(box.x, 413);
    EXPECT_EQ(box.y, 413);
    EXPECT_EQ(box.lines.size(), 5u);
    EXPECT_EQ(box.lines[3], "DMX  : 513");
    EXPECT_EQ(box.lines[4], "Уров.:-");
}

TEST_F(SceneEditor, CellAndBarColours) {
    DriveChannels(0, 3);
    const uint8_t l[4] = {0, 1, 254, 255};
    std::memcpy(levels(0), l, 4);
    const uint32_t face = Rgb(1, 2, 3);
    EXPECT_EQ(CellColour(d(), AreaPage::Channels, S, 0, 0, face), Rgb(0, 0, 0));
    EXPECT_EQ(CellColour(d(), AreaPage::Channels, S, 0, 1, face), Rgb(0, 1, 254));
    EXPECT_EQ(CellColour(d(), AreaPage::Channels, S, 0, 2, face), Rgb(0, 254, 1));
    EXPECT_EQ(CellColour(d(), AreaPage::Channels, S, 0, 3, face), Rgb(255, 255, 255));
    EXPECT_EQ(CellColour(d(), AreaPage::Channels, S, 0, 4, face), face);
    EXPECT_EQ(CellColour(d(), AreaPage::Spots, S, 0, 0, face), Rgb(0, 1, 254));
    EXPECT_EQ(CellColour(d(), AreaPage::Spots, S, 0, 2, face), face);
    EXPECT_EQ(StripColour(d(), AreaPage::Spots, S, 0, 0, face), Rgb(192, 192, 192)) << "Off";
    d().SequencerRunState[S] = kRunStop;
    EXPECT_EQ(StripColour(d(), AreaPage::Channels, S, 0, 2, face), Rgb(254, 254, 254));
    EXPECT_EQ(WordBarColour(2), Rgb(0, 128, 0));
    EXPECT_FALSE(WordBarColour(5));
}

}  // namespace
}  // namespace spirelo
