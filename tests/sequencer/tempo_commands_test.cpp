#include "sequencer/tempo_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace spirelo {
namespace {

class TempoCommands : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        ResetSequenceData(*data);
    }
    uint16_t* words() { return data->SequencerStepWords[S]; }
    std::vector<int> Changed(uint16_t from = kResetStepWord) {
        std::vector<int> steps;
        for (int t = 0; t < kSequencerSteps; ++t)
            if (words()[t] != from) steps.push_back(t);
        return steps;
    }
    static constexpr int S = 5;
    std::unique_ptr<ShowData> data;
    SequencerEditState e;
};

TEST_F(TempoCommands, CurrentPatternWritesTheRunBetweenTheMarks) {
    words()[10] = kWordStop;
    words()[20] = kWordLoop;
    data->SequencerCurrentStep[S] = 15;
    WriteTempo(*data, e, S, TempoScope::CurrentPattern, true, 500, 0);
    EXPECT_EQ(e.PatternFrom, 11);
    EXPECT_EQ(e.PatternTo, 19);
    for (int t = 11; t <= 19; ++t) EXPECT_EQ(words()[t], 500) << t;
    EXPECT_EQ(words()[10], kWordStop);
    EXPECT_EQ(words()[20], kWordLoop);
    EXPECT_EQ(words()[9], kResetStepWord);
    EXPECT_EQ(PatternAdrText(e), "Adr From 12 to 20");
    EXPECT_EQ(PatternLengText(e), "Leng 9");
}

TEST_F(TempoCommands, CurrentPatternWithoutMarksSpansSteps0To254) {
    words()[255] = 7;
    data->SequencerCurrentStep[S] = 100;
    WriteTempo(*data, e, S, TempoScope::CurrentPattern, true, 300, 0);
    EXPECT_EQ(PatternLengText(e), "Leng 255");
    EXPECT_EQ(words()[0], 300);
    EXPECT_EQ(words()[254], 300);
    EXPECT_EQ(words()[255], 7);
}

TEST_F(TempoCommands, SliceSearchTreatsNineAsATime) {
    words()[3] = 9;   // not a mark for the slice
    words()[8] = 8;   // a mark
    words()[30] = 9;
    data->SequencerCurrentStep[S] = 5;
    WriteTempo(*data, e, S, TempoScope::CurrentPattern, false, 300, 0);
    EXPECT_EQ(e.PatternFrom, 0);
    EXPECT_EQ(e.PatternTo, 7);
    EXPECT_TRUE(Changed().size() == 3) << "Rec ON unchecked writes nothing";
}

TEST_F(TempoCommands, SliceFromStep1OverwritesTheMarkAtStep0) {
    words()[0] = kWordStop;
    data->SequencerCurrentStep[S] = 1;
    WriteTempo(*data, e, S, TempoScope::CurrentPattern, true, 200, 0);
    EXPECT_EQ(e.PatternFrom, 0);
    EXPECT_EQ(words()[0], 200);
}

TEST_F(TempoCommands, SliceOverwritesAMarkAtTheCurrentStep) {
    words()[50] = kWordToBegin;
    data->SequencerCurrentStep[S] = 50;
    WriteTempo(*data, e, S, TempoScope::CurrentPattern, true, 200, 0);
    EXPECT_EQ(words()[50], 200);
}

TEST_F(TempoCommands, AllPatternsNeverChangesAWordBelowTen) {
    words()[1] = 0;
    words()[2] = 3;
    words()[3] = 9;
    words()[4] = 10;
    words()[255] = 4000;
    WriteTempo(*data, e, S, TempoScope::AllPatterns, true, 700, 0);
    EXPECT_EQ(words()[1], 0);
    EXPECT_EQ(words()[2], 3);
    EXPECT_EQ(words()[3], 9);
    EXPECT_EQ(words()[4], 700);
    EXPECT_EQ(words()[254], 700);
    EXPECT_EQ(words()[255], 4000);
    EXPECT_EQ(PatternAdrText(e), "Adr From 1 to 255");
}

TEST_F(TempoCommands, CurrentSceneWritesTheStepOfTheStepBar) {
    words()[7] = kWordStop;
    WriteTempo(*data, e, S, TempoScope::CurrentScene, true, 900, 7);
    EXPECT_EQ(words()[7], 900);
    EXPECT_EQ(e.PatternFrom, 7);
    EXPECT_EQ(e.PatternTo, 7);
    EXPECT_EQ(Changed(), std::vector<int>{7});
}

TEST_F(TempoCommands, WithoutRecOnNoScopeChangesAWord) {
    words()[12] = kWordLoop;
    for (TempoScope scope : {TempoScope::AllPatterns, TempoScope::CurrentPattern, TempoScope::CurrentScene}) {
        WriteTempo(*data, e, S, scope, false, 150, 3);
        EXPECT_EQ(Changed(), std::vector<int>{12});
    }
}

TEST_F(TempoCommands, DeleteOnlyLinesGivesMarksTheTimeBeforeThem) {
    const uint16_t before[] = {1000, 2, 3, 500, 9, 10};
    const uint16_t after[] = {1000, 1000, 1000, 500, 500, 10};
    for (int t = 0; t < 6; ++t) words()[t] = before[t];
    words()[255] = 1;
    DeleteOnlyLines(*data, S);
    for (int t = 0; t < 6; ++t) EXPECT_EQ(words()[t], after[t]) << t;
    EXPECT_EQ(words()[255], 1);
}

TEST_F(TempoCommands, DeleteAllAndClearAllKeepStep255) {
    words()[4] = kWordStop;
    words()[255] = kWordStopOff;
    DeleteAllControls(*data, S, 250);
    EXPECT_EQ(words()[4], 250);
    EXPECT_EQ(words()[254], 250);
    EXPECT_EQ(words()[255], kWordStopOff);
    ClearAllControls(*data, S);
    EXPECT_EQ(words()[4], 1000);
    EXPECT_EQ(words()[255], kWordStopOff);
}

TEST_F(TempoCommands, StepWordCommandsStayInsideTheStore) {
    EXPECT_TRUE(SetStepWordAt(*data, S, 255, kWordLoop));
    EXPECT_EQ(words()[255], kWordLoop);
    EXPECT_FALSE(SetStepWordAt(*data, S, 256, kWordLoop));
    EXPECT_FALSE(SetStepWordAt(*data, S, -1, kWordLoop));
    EXPECT_FALSE(SetStepWordAt(*data, 32, 0, kWordLoop));
    EXPECT_EQ(data->SequencerStepWords[S + 1][0], kResetStepWord);
}

}  // namespace
}  // namespace spirelo
