#include "playback/assign_panel.h"

#include <gtest/gtest.h>

#include <memory>

namespace spirelo {
namespace {

struct AssignPanel : ::testing::Test {
    std::unique_ptr<ShowData> d = MakeShowData();
    LiveKeyState s;
    void SetUp() override { ResetKeyTables(*d); }
};

TEST_F(AssignPanel, OpeningLoadsTheKeysValuesAndMarksIt) {
    d->TrackEditState[9] = 1;
    ChooseBank(*d, 3);
    d->KeySeqTable[321] = 7;
    d->KeySceneTable[321] = 40;
    d->KeyModeTable[321] = 2;
    s.KeyTileLetter = 'B';
    EXPECT_EQ(PanelKey(*d, s), 321);
    EXPECT_FALSE(AssignPaintBox(*d, s, 5, false));
    EXPECT_EQ(d->TrackRecSeq[5], 7);
    EXPECT_EQ(d->TrackRecScene[5], 40);
    EXPECT_EQ(d->TrackRecKind[5], 2);
    EXPECT_EQ(d->KeyAssignedTable[321], 255);
    EXPECT_EQ(d->KeyAssignedTable[320], 0);
}

TEST_F(AssignPanel, PressesWriteTheChoiceIntoTheKey) {
    s.KeyTileLetter = 'C';
    struct Case { int x, y; bool right; int kindBefore, seq, scene, kind; } cases[] = {
        {530, 100, false, 0, 0, 255, 1},   // command column, row 1
        {110, 70, false, 4, 0, 3, 4},      // rate row, kind 3
        {50, 45, false, 1, 17, 255, 1},    // sequencer grid
        {530, 340, false, 1, 0, 255, 6},   // row 7 is limited to 6
        {50, 45, true, 1, 0, 255, 1},      // right press: nothing
        {-30, 45, false, 1, 0, 255, 1},    // left of the panel: no cell
        {200, 100, false, 1, 0, 37, 1},    // scene grid: row 2, column 5
        {100, 78, false, 4, 0, 2, 4},      // rate row's lower edge: still the row's cell
    };
    for (const Case& c : cases) {
        ResetKeyTables(*d);
        d->TrackRecSeq[0] = 0;
        d->TrackRecScene[0] = 255;
        d->TrackRecKind[0] = uint8_t(c.kindBefore);
        PanelMouseDown(*d, s, 0, c.right, c.x, c.y, 0, kButtonLeft);
        EXPECT_EQ(d->TrackRecSeq[0], c.seq) << c.x << "," << c.y;
        EXPECT_EQ(d->TrackRecScene[0], c.scene) << c.x << "," << c.y;
        EXPECT_EQ(d->TrackRecKind[0], c.kind) << c.x << "," << c.y;
        EXPECT_EQ(d->KeyAssignedTable[2], c.right ? 0 : 255);
        if (!c.right) {
            EXPECT_EQ(d->KeySeqTable[2], c.seq);
            EXPECT_EQ(d->KeySceneTable[2], c.scene);
            EXPECT_EQ(d->KeyModeTable[2], c.kind);
        }
    }
}

TEST_F(AssignPanel, HitTestsOfTheThreeAreas) {
    struct Case { int x, y, m, seq, scene, mode; } cases[] = {
        {12, 30, 1, 0, kNoCell, kNoCell},      {520, 54, 1, 31, kNoCell, kNoCell},
        {-22, 30, 1, kNoCell, kNoCell, kNoCell}, {-21, 30, 1, 0, kNoCell, kNoCell},
        {200, 343, 1, kNoCell, 245, kNoCell},  {200, 343, 4, kNoCell, kNoCell, kNoCell},
        {134, 78, 4, kNoCell, 3, kNoCell},     {300, 200, 0, kNoCell, 121, kNoCell},
        {600, 343, 1, kNoCell, kNoCell, 7},    {522, 100, 1, kNoCell, kNoCell, kNoCell},
    };
    for (const Case& c : cases) {
        const PanelHover h = PanelHitTest(c.x, c.y, c.m);
        EXPECT_EQ(h.seqCell, c.seq) << c.x << "," << c.y;
        EXPECT_EQ(h.sceneCell, c.scene) << c.x << "," << c.y;
        EXPECT_EQ(h.modeRow, c.mode) << c.x << "," << c.y;
    }
}

TEST_F(AssignPanel, ModifierIsExactlyOneKeyWithNoButton) {
    struct Case { unsigned mods, buttons; int expected; } cases[] = {
        {kModShift, 0, 1}, {kModCtrl, 0, 2}, {kModAlt, 0, 3}, {kModShift | kModCtrl, 0, 0},
        {kModShift, kButtonLeft, 0}, {0, 0, 0}, {kModShift | kModOther, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PanelModifierOf(c.mods, c.buttons), c.expected) << c.mods << c.buttons;
}

TEST_F(AssignPanel, MovesPreviewTheHoveredSceneAndLeaveTheKeyAlone) {
    d->TrackRecSeq[3] = 2;
    d->TrackRecKind[3] = 0;   // no scene grid drawn: the area still previews
    d->SequencerChannelMask[2][4] = 1;
    d->SequencerStepData[2][17][4] = 66;
    d->SequencerStepData[2][17][5] = 67;
    s.KeyTileLetter = 'A';
    // Scene cell 17: row 1, column 1.
    PanelMouseMove(*d, s, 3, 50, 80, kModShift, 0);
    EXPECT_EQ(s.HoverSceneCell, 17);
    EXPECT_EQ(s.PanelModifier, 1);
    EXPECT_EQ(d->DmxFrame[5], 66);
    EXPECT_EQ(d->DmxFrame[6], 0);
    EXPECT_EQ(d->KeyAssignedTable[0], 0);
    EXPECT_EQ(d->KeySceneTable[0], 255);
    // Past the left edge: no cell, nothing read before scene 0.
    d->DmxFrame[5] = 0;
    PanelMouseMove(*d, s, 3, -40, 80, 0, 0);
    EXPECT_EQ(s.HoverSceneCell, kNoCell);
    EXPECT_EQ(d->DmxFrame[5], 0);
}

TEST_F(AssignPanel, QuickAssignmentBindsTheFollowingSceneUpTo254) {
    d->TrackRecSeq[0] = 4;
    d->TrackRecScene[0] = 253;
    d->TrackRecKind[0] = 2;
    for (int letter : {'A', 'B'}) {
        s.KeyTileLetter = letter;
        EXPECT_TRUE(AssignPaintBox(*d, s, 0, true));
        const int k = letter - 'A';
        EXPECT_EQ(d->KeySceneTable[k], 254);
        EXPECT_EQ(d->KeySeqTable[k], 4);
        EXPECT_EQ(d->KeyModeTable[k], 2);
        EXPECT_EQ(d->KeyAssignedTable[k], 255);
    }
    EXPECT_EQ(d->TrackRecScene[0], 254);
}

TEST_F(AssignPanel, ReturnKeyPipeCopiesTheBindingAndWithShiftSetsTheRunScene) {
    d->KeySeqTable[3] = 6;
    d->KeySceneTable[3] = 21;
    d->KeyModeTable[3] = 3;
    int run = 0;
    ReturnKeyPipe(*d, s, 2, 'D', &run);
    EXPECT_EQ(run, -1);
    EXPECT_EQ(d->TrackRecSeq[2], 6);
    EXPECT_EQ(d->TrackRecScene[2], 21);
    EXPECT_EQ(d->TrackRecKind[2], 3);
    s.PanelModifier = 1;
    s.HoverSeqCell = 9;
    ReturnKeyPipe(*d, s, 2, 'D', &run);
    EXPECT_EQ(run, 21);
    EXPECT_EQ(d->SequencerCurrentStep[9], 21);
    s.HoverSeqCell = kNoCell;
    d->SequencerCurrentStep[9] = 0;
    ReturnKeyPipe(*d, s, 2, 'D', &run);
    EXPECT_EQ(run, 21);
    EXPECT_EQ(d->SequencerCurrentStep[9], 0);
}

TEST_F(AssignPanel, ModelShowsTheChosenAndHoveredCells) {
    d->TrackRecSeq[0] = 4;
    d->TrackRecScene[0] = 9;
    d->TrackRecKind[0] = 1;
    s.KeyTileLetter = 'Q';
    s.HoverSceneCell = 20;
    PanelModel m = BuildPanelModel(*d, s, 0);
    ASSERT_EQ(m.cells.size(), 32u + 256u + 7u);
    EXPECT_EQ(m.cells[4].color, kChoicePink);
    EXPECT_EQ(m.cells[5].color, kPanelAqua);
    EXPECT_EQ(m.cells[32 + 9].color, kChoicePink);
    EXPECT_EQ(m.cells[32 + 20].color, kHoverWhite);
    EXPECT_EQ(m.cells[32 + 21].color, kMoneyGreen);
    EXPECT_EQ(m.cells[32 + 256 + 1].color, kChoicePink);
    EXPECT_EQ(m.texts[0].text, "Button: Q");
    EXPECT_EQ(m.texts[1].text, "Sequenser: 5");
    EXPECT_EQ(m.texts[2].text, "Scena: 10");
    EXPECT_EQ(m.texts[3].text, "Set Scena");

    // Rate kind: four cells, a stored scene above 3 is shown and stored as 3.
    d->TrackRecKind[0] = 4;
    s.HoverSceneCell = kNoCell;
    m = BuildPanelModel(*d, s, 0);
    ASSERT_EQ(m.cells.size(), 32u + 4u + 7u);
    EXPECT_EQ(d->TrackRecScene[0], 3);
    EXPECT_EQ(m.cells[32 + 3].color, kChoicePink);
    // Nothing: no scene area.
    d->TrackRecKind[0] = 6;
    EXPECT_EQ(BuildPanelModel(*d, s, 0).cells.size(), 32u + 7u);
}

}  // namespace
}  // namespace spirelo
