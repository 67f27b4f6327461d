#include "sequencer/sequencer_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace spirelo {
namespace {

class SequencerStore : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        ResetSequenceData(*data);
    }
    // Sequencer s drives channel 1..n, and each step's level on channel 1 is the step number,
    // so the frame shows which step was written last.
    void Drive(int s, int channels = 1) {
        for (int c = 0; c < channels; ++c) data->SequencerChannelMask[s][c] = 1;
        for (int t = 0; t < kSequencerSteps; ++t)
            for (int c = 0; c < channels; ++c) data->SequencerStepData[s][t][c] = uint8_t(t);
    }
    void Play(int s, int step) {
        data->SequencerRunState[s] = kRunPlay;
        data->SequencerCurrentStep[s] = uint16_t(step);
    }
    ShowData& d() { return *data; }
    std::unique_ptr<ShowData> data;
};

struct WordCase {
    uint16_t word;          // the word of the step the sequencer arrives at (step 1)
    uint8_t state;          // run state afterwards
    int current;            // current step afterwards
    int interval;           // timer interval afterwards (the old one was 100)
};

TEST_F(SequencerStore, WordOfTheArrivedStepDecidesWhatHappens) {
    const WordCase cases[] = {
        {0, kRunOff, 1, 100},    // Stop&Off rests on the mark, interval kept
        {1, kRunStop, 1, 100},   // Stop
        {2, kRunPlay, 1, 100},   // loop with no earlier mark: stays on the mark step
        {3, kRunPlay, 0, 100},   // back to the first step
        {8, kRunPlay, 1, 8},     // 4..9 are played as step times
        {9, kRunPlay, 1, 9},
        {10, kRunPlay, 1, 10},
        {65535, kRunPlay, 1, 65535},
    };
    for (const WordCase& c : cases) {
        SCOPED_TRACE(c.word);
        ResetSequenceData(d());
        Drive(4);
        d().DmxFrame[1] = 77;
        d().SequencerStepWords[4][1] = c.word;
        Play(4, 0);
        ExpiryResult r = SequencerExpiry(d(), 4, 100);
        EXPECT_TRUE(r.wrote);
        EXPECT_EQ(d().DmxFrame[1], 0) << "step 0's scene is written before the move";
        EXPECT_EQ(d().SequencerRunState[4], c.state);
        EXPECT_EQ(d().SequencerCurrentStep[4], c.current);
        EXPECT_EQ(r.interval, c.interval);
        EXPECT_EQ(r.stateChanged, c.word <= 1);
    }
}

TEST_F(SequencerStore, LoopSearchStopsOnlyAtWordsBelowNine) {
    struct Case { uint16_t earlier; int current; } cases[] = {
        {0, 4}, {1, 4}, {2, 4}, {3, 4}, {8, 4},   // a mark at step 3: play resumes at step 4
        {9, 6}, {10, 6}, {1000, 6},               // no mark before: play goes on through the loop step
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.earlier);
        ResetSequenceData(d());
        Drive(0);
        d().SequencerStepWords[0][3] = c.earlier;
        d().SequencerStepWords[0][6] = kWordLoop;
        Play(0, 5);
        SequencerExpiry(d(), 0, 250);
        EXPECT_EQ(d().SequencerCurrentStep[0], c.current);
        EXPECT_EQ(d().SequencerRunState[0], kRunPlay);
        // The next expiry writes the step play resumed at; the loop step's own levels are
        // skipped when the jump was taken.
        SequencerExpiry(d(), 0, 250);
        EXPECT_EQ(d().DmxFrame[1], c.current);
    }
}

TEST_F(SequencerStore, TimerPlaysSteps0To252AndWrapsWithoutReaching253) {
    Drive(2);
    Play(2, 0);
    int interval = kStartInterval;
    int highest = -1;
    for (int i = 0; i < 253; ++i) {
        ExpiryResult r = SequencerExpiry(d(), 2, interval);
        interval = r.interval;
        highest = std::max<int>(highest, d().DmxFrame[1]);
        EXPECT_EQ(d().DmxFrame[1], i);
    }
    EXPECT_EQ(highest, 252);
    EXPECT_EQ(d().SequencerCurrentStep[2], 0);
    EXPECT_EQ(interval, kResetStepWord);
    SequencerExpiry(d(), 2, interval);
    EXPECT_EQ(d().DmxFrame[1], 0);
}

TEST_F(SequencerStore, ToBeginMarkMakesTheNextExpiryWriteStep0) {
    Drive(1);
    d().SequencerStepWords[1][8] = kWordToBegin;
    Play(1, 7);
    SequencerExpiry(d(), 1, 100);
    EXPECT_EQ(d().DmxFrame[1], 7);
    SequencerExpiry(d(), 1, 100);
    EXPECT_EQ(d().DmxFrame[1], 0);
}

TEST_F(SequencerStore, StopOffRestsOnTheMarkAndPlayResumesWithItsLevels) {
    Drive(3);
    d().SequencerStepWords[3][5] = kWordStopOff;
    Play(3, 4);
    SequencerExpiry(d(), 3, 100);
    EXPECT_EQ(d().DmxFrame[1], 4);
    EXPECT_EQ(d().SequencerRunState[3], kRunOff);
    // Off and Stop do nothing at an expiry.
    EXPECT_FALSE(SequencerExpiry(d(), 3, 100).wrote);
    EXPECT_EQ(d().DmxFrame[1], 4);
    d().SequencerRunState[3] = kRunPlay;
    SequencerExpiry(d(), 3, 100);
    EXPECT_EQ(d().DmxFrame[1], 5);
    EXPECT_EQ(d().SequencerCurrentStep[3], 6);
}

TEST_F(SequencerStore, MaskColumnIMinus1DrivesChannelI) {
    const int s = 7;
    d().SequencerChannelMask[s][0] = 1;     // channel 1
    d().SequencerChannelMask[s][99] = 5;    // any non-zero byte: channel 100
    d().SequencerChannelMask[s][511] = 1;   // channel 512
    d().SequencerChannelMask[s][512] = 1;   // columns 512 and 513 are not channels
    d().SequencerChannelMask[s][513] = 1;
    for (int c = 0; c < kChannels; ++c) d().SequencerStepData[s][0][c] = uint8_t(200 + c % 50);
    std::memset(d().DmxFrame, 9, sizeof d().DmxFrame);
    d().DmxFrame[0] = 0;
    Play(s, 0);
    SequencerExpiry(d(), s, 100);
    EXPECT_EQ(d().DmxFrame[0], 0);
    EXPECT_EQ(d().DmxFrame[1], d().SequencerStepData[s][0][0]);
    EXPECT_EQ(d().DmxFrame[100], d().SequencerStepData[s][0][99]);
    EXPECT_EQ(d().DmxFrame[512], d().SequencerStepData[s][0][511]);
    int untouched = 0;
    for (int ch = 1; ch <= kChannels; ++ch) untouched += d().DmxFrame[ch] == 9;
    EXPECT_EQ(untouched, kChannels - 3);
}

TEST_F(SequencerStore, EmptyMaskAdvancesWithoutTouchingTheFrame) {
    std::memset(d().SequencerStepData[0], 255, sizeof d().SequencerStepData[0]);
    Play(0, 0);
    SequencerExpiry(d(), 0, 100);
    for (int ch = 0; ch <= kChannels; ++ch) ASSERT_EQ(d().DmxFrame[ch], 0) << ch;
    EXPECT_EQ(d().SequencerCurrentStep[0], 1);
}

TEST_F(SequencerStore, IndicesOutsideTheStoreAreBounded) {
    Drive(31);
    // A current step beyond the store (set from outside) reads the last step, then wraps.
    Play(31, 9999);
    SequencerExpiry(d(), 31, 100);
    EXPECT_EQ(d().DmxFrame[1], 255);
    EXPECT_EQ(d().SequencerCurrentStep[31], 0);
    // Sequencer numbers above 31 are taken as 31.
    Play(31, 10);
    SequencerExpiry(d(), 200, 100);
    EXPECT_EQ(d().DmxFrame[1], 10);
    EXPECT_EQ(d().SequencerCurrentStep[31], 11);
}

TEST_F(SequencerStore, StepBarPreviewsInStopAndMovesInPlay) {
    Drive(6);
    d().SequencerRunState[6] = kRunStop;
    d().SequencerCurrentStep[6] = 3;
    StepBarMoved(d(), 6, 40);
    EXPECT_EQ(d().DmxFrame[1], 40);
    EXPECT_EQ(d().SequencerCurrentStep[6], 3);

    d().DmxFrame[1] = 0;
    d().SequencerRunState[6] = kRunPlay;
    StepBarMoved(d(), 6, 41);
    EXPECT_EQ(d().DmxFrame[1], 0);
    EXPECT_EQ(d().SequencerCurrentStep[6], 41);

    d().SequencerRunState[6] = kRunOff;
    StepBarMoved(d(), 6, 50);
    EXPECT_EQ(d().DmxFrame[1], 0);
    EXPECT_EQ(d().SequencerCurrentStep[6], 41);
}

TEST(StepWordText, ShowsMarksTimesAndNoCommand) {
    const struct { int word; const char* text; } cases[] = {
        {0, "Stop&Off"}, {1, "Stop"}, {2, "Ret to cucle "}, {3, "Ret to begin "},
        {4, "No Command"}, {9, "No Command"}, {-1, "No Command"}, {65001, "No Command"},
        {10, "T=0.01 sec"}, {100, "T=0.1 sec"}, {1000, "T=1 sec"}, {1500, "T=1.5 sec"},
        {1234, "T=1.234 sec"}, {10000, "T=10 sec"}, {65000, "T=65 sec"},
    };
    for (const auto& c : cases) EXPECT_EQ(StepWordText(c.word), c.text) << c.word;
    EXPECT_EQ(StepWordText(2500, ','), "T=2,5 sec");
}

TEST_F(SequencerStore, NameKeepsSixteenCharactersPaddedWithBlanks) {
    EXPECT_TRUE(SetSequencerName(d(), 2, "Pumps"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d().SequencerNames[2]), 16), "Pumps           ");
    EXPECT_TRUE(SetSequencerName(d(), 2, "ABCDEFGHIJKLMNOPQRSTU"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d().SequencerNames[2]), 16), "ABCDEFGHIJKLMNOP");
    EXPECT_FALSE(SetSequencerName(d(), 2, ""));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d().SequencerNames[2]), 16), "ABCDEFGHIJKLMNOP");
    // Cyrillic letters are one CP1251 byte each.
    EXPECT_TRUE(SetSequencerName(d(), 40, "Фонтан"));
    EXPECT_EQ(d().SequencerNames[40][0], 0xD4);
    EXPECT_EQ(d().SequencerNames[40][5], 0xED);
    EXPECT_EQ(d().SequencerNames[40][6], ' ');
}

TEST_F(SequencerStore, WheelDivisorZeroBecomes63) {
    d().ProgramOptions[1] = 0;
    EXPECT_EQ(WheelSteps(d(), 120), 1);
    EXPECT_EQ(d().ProgramOptions[1], 63);
    EXPECT_EQ(WheelSteps(d(), -120), -1);
    EXPECT_EQ(WheelSteps(d(), 60), 0);
    d().ProgramOptions[1] = 120;
    EXPECT_EQ(WheelSteps(d(), -360), -3);
}

TEST_F(SequencerStore, AllOffAndAllStopSetEveryRunState) {
    Play(0, 0);
    Play(31, 0);
    SetAllRunStates(d(), kRunStop);
    for (int s = 0; s < kSequencers; ++s) EXPECT_EQ(d().SequencerRunState[s], kRunStop);
    SetAllRunStates(d(), kRunOff);
    for (int s = 0; s < kSequencers; ++s) EXPECT_EQ(d().SequencerRunState[s], kRunOff);
}

}  // namespace
}  // namespace spirelo
