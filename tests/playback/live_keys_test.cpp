#include "playback/live_keys.h"

#include "platform/message_service.h"
#include "playback/show_tick.h"

#include <gtest/gtest.h>

#include <memory>

namespace spirelo {
namespace {

struct LiveKeys : ::testing::Test {
    std::unique_ptr<ShowData> d = MakeShowData();
    LiveKeyState s;
    KeyContext kb{RecMode::Keyboard, 100, 3, false, false};

    void SetUp() override {
        ResetKeyTables(*d);
        ResetTrackData(*d);
    }
    TrackStepValue step(int track, int at) const { return ReadTrackStep(*d, track, at); }
    void bind(int k, int seq, int scene, int mode) {
        d->KeySeqTable[k] = uint8_t(seq);
        d->KeySceneTable[k] = uint8_t(scene);
        d->KeyModeTable[k] = uint8_t(mode);
    }
};

void ExpectStep(const TrackStepValue& v, int cmd, int seq, int scene, int level, const char* what) {
    EXPECT_EQ(v.command, cmd) << what;
    EXPECT_EQ(v.seq, seq) << what;
    EXPECT_EQ(v.scene, scene) << what;
    EXPECT_EQ(v.level, level) << what;
}

TEST_F(LiveKeys, IndexRuleResetsKitAndBankAndLimitsCodes) {
    struct Case { int kit, bank, code, index, kitAfter, bankAfter; } cases[] = {
        {9, 0, 65, 0, 0, 0},       {-3, 32, 66, 33, 0, 32},   {2, 224, 65, 512, 2, 0},
        {0, 0, 50, 0, 0, 0},       {0, 0, 95, 25, 0, 0},      {7, 192, 90, 2009, 7, 192},
    };
    for (const Case& c : cases) {
        d->TrackEditState[9] = c.kit;
        d->KeyBankOffset = c.bank;
        EXPECT_EQ(AdrBufKeyBoard(*d, c.code), c.index) << c.kit << " " << c.bank << " " << c.code;
        EXPECT_EQ(d->TrackEditState[9], c.kitAfter);
        EXPECT_EQ(d->KeyBankOffset, c.bankAfter);
    }
}

TEST_F(LiveKeys, DigitsChooseBanksAndLettersFireInThatBank) {
    d->TrackEditState[9] = 2;
    KeyAction a = emulKeyDown(*d, s, kb, '7');
    EXPECT_EQ(a.bankButton, 7);
    EXPECT_EQ(d->KeyBankOffset, 192);
    emulKeyDown(*d, s, kb, 'A');
    EXPECT_EQ(d->KeyIndex, 704);
    emulKeyDown(*d, s, kb, 'Z');
    EXPECT_EQ(d->KeyIndex, 729);
    a = emulKeyDown(*d, s, kb, '8');
    EXPECT_EQ(a.bankButton, 0);
    EXPECT_EQ(d->KeyBankOffset, 192);
}

TEST_F(LiveKeys, AKeyWritesItsStepsAndCopiesItsSceneOnTheMaskedChannels) {
    bind(0, 4, 9, kCmdSetScene);
    d->TrackEditState[5] = 5;
    for (int c = 1; c <= kChannels; ++c) d->SequencerStepData[4][9][c - 1] = uint8_t(c % 200 + 1);
    d->SequencerChannelMask[4][9] = 1;    // channel 10
    d->SequencerChannelMask[4][511] = 1;  // channel 512
    const TrackStepValue before = step(5, 103);

    emulKeyDown(*d, s, kb, 'A');
    for (int at = 100; at <= 102; ++at) ExpectStep(step(5, at), 1, 4, 9, 255, "sustained");
    EXPECT_EQ(step(5, 103).scene, before.scene);
    EXPECT_EQ(step(5, 103).command, before.command);
    EXPECT_EQ(d->DmxFrame[10], 11);
    EXPECT_EQ(d->DmxFrame[512], 512 % 200 + 1);
    EXPECT_EQ(d->DmxFrame[11], 0);
    EXPECT_EQ(d->LastSequencer, 4);
    EXPECT_EQ(LiveKeyText(s), "Sq=5  Sc=10");

    KeyContext flash = kb;
    flash.flash = true;
    emulKeyDown(*d, s, flash, 'A');
    ExpectStep(step(5, 103), 1, 4, 255, 1, "flash");

    // Near the end only the steps inside the show are written; nothing lands in track 6.
    KeyContext end = flash;
    end.curStep = 16299;
    emulKeyDown(*d, s, end, 'A');
    ExpectStep(step(5, 16299), 1, 4, 9, 255, "16299");
    ExpectStep(step(5, 16300), 1, 4, 9, 255, "16300");
    EXPECT_EQ(d->TrackScene[6][0], kEmptyScene);
    EXPECT_EQ(d->TrackScene[6][1], kEmptyScene);
}

TEST_F(LiveKeys, OutOfRangeKeySequencerIsUsedAs31) {
    bind(0, 40, 3, kCmdSetScene);
    d->SequencerChannelMask[31][0] = 1;
    d->SequencerStepData[31][3][0] = 77;
    emulKeyDown(*d, s, kb, 'A');
    EXPECT_EQ(s.LiveSeq, 31);
    EXPECT_EQ(step(0, 100).seq, 31);
    EXPECT_EQ(d->DmxFrame[1], 77);
    EXPECT_EQ(d->KeySeqTable[0], 40);   // the table keeps the stored byte
    d->DmxFrame[1] = 0;
    ApplyKeyScene(*d, 'A');
    EXPECT_EQ(d->DmxFrame[1], 77);
}

TEST_F(LiveKeys, PlayAndColourModesIgnoreLettersButDigitsAndHoverStillWork) {
    bind(0, 1, 2, kCmdSetScene);
    d->SequencerChannelMask[1][0] = 1;
    d->SequencerStepData[1][2][0] = 99;
    for (RecMode m : {RecMode::Play, RecMode::ColourArea}) {
        KeyContext ctx = kb;
        ctx.mode = m;
        for (int key : {int('A'), 187, 189, 191, 221, 222}) {
            const KeyAction a = emulKeyDown(*d, s, ctx, key);
            EXPECT_FALSE(a.fired);
            EXPECT_FALSE(a.mouseChoice);
        }
        EXPECT_EQ(step(0, 100).scene, kEmptyScene);
        EXPECT_EQ(d->DmxFrame[1], 0);
        emulKeyDown(*d, s, ctx, '3');
        EXPECT_EQ(d->KeyBankOffset, 64);
        d->KeyBankOffset = 0;
    }
    ApplyKeyScene(*d, 'A');
    EXPECT_EQ(d->DmxFrame[1], 99);
}

TEST_F(LiveKeys, StopKeysWriteAnOffStepWithoutTouchingTheFrame) {
    d->LastSequencer = 7;
    for (int key : {191, 222, 221}) {
        d->TrackScene[0][100] = 0;
        emulKeyDown(*d, s, kb, key);
        ExpectStep(step(0, 100), 0, 7, 254, 15, "stop");
    }
    for (int c = 0; c <= kChannels; ++c) EXPECT_EQ(d->DmxFrame[c], 0);
}

TEST_F(LiveKeys, SpaceRestartsOnlyWithARestartMarkAndLowCodesDoNothing) {
    EXPECT_FALSE(emulKeyDown(*d, s, kb, 32).restart);
    KeyContext mark = kb;
    mark.newStartEnabled = true;
    EXPECT_TRUE(emulKeyDown(*d, s, mark, 32).restart);
    EXPECT_FALSE(emulKeyDown(*d, s, mark, 27).restart);
    EXPECT_EQ(step(0, 100).scene, kEmptyScene);
}

TEST_F(LiveKeys, MouseRecordingTakesTheKeysChoiceForAnyCode) {
    bind(0, 3, 8, kCmdSetScene);
    bind(25, 6, 12, kCmdSetScene);
    KeyContext ms = kb;
    ms.mode = RecMode::Mouse;
    struct Case { int key, seq, scene; } cases[] = {{'A', 3, 8}, {'Z', 6, 12}, {187, 6, 12}, {'8', 3, 8}};
    for (const Case& c : cases) {
        const KeyAction a = emulKeyDown(*d, s, ms, c.key);
        EXPECT_TRUE(a.mouseChoice) << c.key;
        EXPECT_EQ(a.mouseSeq, c.seq) << c.key;
        EXPECT_EQ(a.mouseScene, c.scene) << c.key;
    }
    EXPECT_EQ(step(0, 100).scene, kEmptyScene);   // nothing recorded
}

TEST_F(LiveKeys, EqualsAndMinusFollowTheLoopMarks) {
    s.LiveSeq = 2;
    d->SequencerStepWords[2][5] = 3;
    d->SequencerStepWords[2][12] = 2;
    struct Case { int from, key, to; } cases[] = {{11, 187, 6}, {4, 187, 0}, {6, 189, 11}, {7, 189, 6}};
    for (const Case& c : cases) {
        s.LiveStep = c.from;
        emulKeyDown(*d, s, kb, c.key);
        EXPECT_EQ(s.LiveStep, c.to) << c.from << " " << c.key;
        EXPECT_EQ(step(0, 100).scene, c.to);
        EXPECT_EQ(step(0, 100).seq, 2);
    }
}

TEST_F(LiveKeys, StepsStayInsideTheSequencerRow) {
    s.LiveSeq = 0;
    struct Case { int from, key, to; } cases[] = {{253, 187, 254}, {254, 187, 254}, {255, 187, 254},
                                                  {0, 189, 0},     {1, 189, 0}};
    for (const Case& c : cases) {
        s.LiveStep = c.from;
        emulKeyDown(*d, s, kb, c.key);
        EXPECT_EQ(s.LiveStep, c.to) << c.from << " " << c.key;
    }
    // A reset key fires scene 255, then "=" stays on 254.
    emulKeyDown(*d, s, kb, 'A');
    EXPECT_EQ(s.LiveStep, 255);
    EXPECT_EQ(step(0, 100).scene, 255);
    EXPECT_EQ(step(0, 100).command, 0);
    emulKeyDown(*d, s, kb, 187);
    EXPECT_EQ(s.LiveStep, 254);
    // A mark at 255 is read; the loop start after it would be 256 and is kept on the row.
    d->SequencerStepWords[0][255] = 2;
    s.LiveStep = 255;
    emulKeyDown(*d, s, kb, 187);
    EXPECT_EQ(s.LiveStep, 255);
}

TEST_F(LiveKeys, TileTextsFollowTheCommand) {
    struct Case { int seq, scene, mode; const char *l2, *l3; } cases[] = {
        {0, 3, 0, "Seque: 1", ""},   {4, 9, 1, "Seque: 5", "Scena: 10"}, {31, 254, 3, "Seque: 32", "Scena: 255"},
        {2, 2, 4, "Block: 3", "Decay "}, {2, 7, 4, "Block: 3", ""}, {40, 0, 5, "Seque: 32", ""},
        {1, 1, 6, "", ""},
    };
    for (const Case& c : cases) {
        bind(1, c.seq, c.scene, c.mode);
        const TileText t = PaintButtonText(*d, 'B');
        EXPECT_EQ(t.letter, " B ");
        EXPECT_EQ(t.line2, c.l2) << c.mode;
        EXPECT_EQ(t.line3, c.l3) << c.mode;
    }
    EXPECT_EQ(PaintButtonText(*d, 'B').mode, "Nothing  ");
    d->TrackEditState[9] = 9;
    d->KeyBankOffset = 64;
    EXPECT_EQ(KeyBankText(*d), " 1 - 3 ");
}

TEST_F(LiveKeys, BankOperationsAskFirstAndTouchOnlyTheirEntries) {
    auto messages = std::make_shared<RecordingMessages>();
    InstallMessageService(messages);
    d->TrackEditState[9] = 1;
    d->KeyBankOffset = 32;
    d->KeySceneTable[255 + 64] = 9;   // the next bank of kit 1

    messages->answers = {Answer::No, Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_FALSE(RunBankOp(*d, BankOp::SetMode, 3, 5));
    EXPECT_EQ(d->KeyModeTable[256 + 32], 0);
    EXPECT_TRUE(RunBankOp(*d, BankOp::SetMode, 3, 5));
    EXPECT_EQ(d->KeyModeTable[256 + 32 + 31], 3);
    EXPECT_EQ(d->KeySeqTable[256 + 32], 0);
    EXPECT_EQ(d->KeySceneTable[256 + 32], 255);
    EXPECT_EQ(d->KeyAssignedTable[256 + 32], 0);
    EXPECT_TRUE(RunBankOp(*d, BankOp::SetSeq, 3, 5));
    EXPECT_EQ(d->KeySeqTable[256 + 63], 5);
    EXPECT_EQ(d->KeySeqTable[256 + 64], 0);
    EXPECT_TRUE(RunBankOp(*d, BankOp::ClearBank, 2, 6));
    for (int k : {256 + 32, 256 + 32 + 26, 256 + 63}) {   // entries 26..31 too
        EXPECT_EQ(d->KeyModeTable[k], 2);
        EXPECT_EQ(d->KeySeqTable[k], 6);
        EXPECT_EQ(d->KeySceneTable[k], 254);
        EXPECT_EQ(d->KeyAssignedTable[k], 255);
    }
    EXPECT_EQ(d->KeySceneTable[256 + 31], 255);
    ASSERT_EQ(messages->log.size(), 4u);
    EXPECT_EQ(messages->log[0].text, "You wish change\n\rmodes into all buttons.   \n\rYou sure?");
    EXPECT_EQ(messages->log[1].kind, MessageKind::Question);
    EXPECT_EQ(messages->log[3].text, "You wish change\n\rDatas into current kit buttons.   \n\rAre you sure?");
    EXPECT_EQ(BankQuestionText(BankOp::SetSeq), "You wish change\n\rSequens into all buttons.   \n\rYou sure?");
    EXPECT_EQ(BankQuestionText(BankOp::ClearKit), "You wish change\n\rDatas into all kits buttons.   \n\rAre you sure?");

    messages->answers = {Answer::Yes};
    EXPECT_TRUE(RunBankOp(*d, BankOp::ClearKit, 1, 4));
    EXPECT_EQ(d->KeySceneTable[256], 254);
    EXPECT_EQ(d->KeySceneTable[511], 254);
    EXPECT_EQ(d->KeySceneTable[255], 255);
    EXPECT_EQ(d->KeySceneTable[512], 255);
    InstallMessageService(nullptr);
}

TEST_F(LiveKeys, PasteCopiesFourPlanesAndKeepsTheSparePlane) {
    for (int i = 0; i < 32; ++i) {
        bind(32 + i, i % 32, i + 10, i % 7);
        d->KeyAssignedTable[32 + i] = 255;
        d->KeySpareTable[32 + i] = 1;
        d->KeySpareTable[1216 + i] = 9;
    }
    d->TrackEditState[9] = 0;
    ChooseBank(*d, 2);
    CopyBank(*d, s);
    ChooseKit(*d, 4);
    EXPECT_EQ(d->KeyBankOffset, 0);   // a kit starts on bank 1
    ChooseBank(*d, 7);
    PasteBank(*d, s);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(d->KeySeqTable[1216 + i], d->KeySeqTable[32 + i]);
        EXPECT_EQ(d->KeySceneTable[1216 + i], d->KeySceneTable[32 + i]);
        EXPECT_EQ(d->KeyModeTable[1216 + i], d->KeyModeTable[32 + i]);
        EXPECT_EQ(d->KeyAssignedTable[1216 + i], 255);
        EXPECT_EQ(d->KeySpareTable[1216 + i], 9);
    }
    EXPECT_EQ(d->KeySceneTable[1215], 255);
    EXPECT_EQ(d->KeySceneTable[1248], 255);
}

}  // namespace
}  // namespace spirelo
