#include "core/show_data.h"

#include <gtest/gtest.h>

using namespace spirelo;

TEST(ShowDataReset, FreshStartHasTheDocumentedDefaults) {
    auto d = MakeShowData();
    ResetShowData(*d);
    for (int t = 0; t < kTracks; ++t)
        for (int s = 0; s < kTrackSteps; ++s) {
            ASSERT_EQ(d->TrackCommand[t][s], kCmdNothing);
            ASSERT_EQ(d->TrackScene[t][s], kEmptyScene);
            ASSERT_EQ(d->TrackSeq[t][s], kEmptyTrackSeq);
        }
    for (int k = 0; k < kKeys; ++k) ASSERT_EQ(d->KeySceneTable[k], 255);
    for (auto& row : d->SequencerStepWords)
        for (uint16_t w : row) ASSERT_EQ(w, 1000);
    for (int c = 1; c <= kChannels; ++c) {
        EXPECT_EQ(d->ChannelMin[c], 0);
        EXPECT_EQ(d->ChannelMax[c], 255);
        EXPECT_EQ(d->CoderTable[c], c);
    }
    EXPECT_EQ(d->CoderTable[0], 0);
    EXPECT_EQ(d->ProgramOptions[1], 120);
    EXPECT_EQ(d->ProgramOptions[13], 255);
    EXPECT_EQ(d->EditorSettings[7], 255);
    EXPECT_EQ(d->TrackEditState[3], 50);
    EXPECT_EQ(d->TrackEditState[11], 10);
    EXPECT_EQ(d->AquelMode, 4);
}

TEST(ShowDataReset, TrackResetKeepsNamesEffectsAndSchedule) {
    auto d = MakeShowData();
    ResetShowData(*d);
    d->EffectNames[3][0] = 'E';
    d->TrackNames[2][0] = 'T';
    d->TrackShift[2] = 4;
    d->ScheduleMode[1] = 4;
    d->ScheduleHour[1] = 20;
    d->TrackCommand[0][10] = kCmdSeqPlay;
    ResetTrackData(*d);
    EXPECT_EQ(d->EffectNames[3][0], 'E');
    EXPECT_EQ(d->TrackNames[2][0], 'T');
    EXPECT_EQ(d->TrackShift[2], 4);
    EXPECT_EQ(d->ScheduleMode[1], 4);
    EXPECT_EQ(d->ScheduleHour[1], 20);
    EXPECT_EQ(d->TrackCommand[0][10], kCmdNothing);
}

TEST(ShowDataReset, ResetEffectActsOnItsOwnSequencer) {
    auto d = MakeShowData();
    ResetEffect(*d, 5);
    EXPECT_EQ(d->EffectSeq[5], 5);
    EXPECT_EQ(d->EffectTime[5], 31);
    EXPECT_EQ(d->EffectStart[5], 1);
    EXPECT_EQ(d->EffectFinish[5], 1);
    ResetEffect(*d, 64);   // out of range: ignored
}

TEST(ShowDataReset, ClearDmxBuffersKeepsTheStartCode) {
    auto d = MakeShowData();
    d->DmxFrame[0] = 7;
    d->DmxFrame[512] = 9;
    d->DmxOut[1] = 3;
    ClearDmxBuffers(*d);
    EXPECT_EQ(d->DmxFrame[0], 7);
    EXPECT_EQ(d->DmxFrame[512], 0);
    EXPECT_EQ(d->DmxOut[1], 0);
}
