#include "core/show_data.h"

#include <algorithm>
#include <cstring>

namespace spirelo {

std::unique_ptr<ShowData> MakeShowData() {
    // value-initialisation zeroes every table; the scalars take their member initialisers
    return std::make_unique<ShowData>();
}

ShowData& ShowDataInstance() {
    static std::unique_ptr<ShowData> instance = MakeShowData();
    return *instance;
}

void ClearDmxBuffers(ShowData& d) {
    for (uint8_t* buf : {d.DmxFrame, d.DmxTarget, d.DmxSlewed, d.DmxScaled, d.DmxOut})
        std::memset(buf + 1, 0, kChannels);
}

void ResetKeyTables(ShowData& d) {
    std::memset(d.KeySceneTable, 255, sizeof d.KeySceneTable);
    std::memset(d.KeySeqTable, 0, sizeof d.KeySeqTable);
    std::memset(d.KeyAssignedTable, 0, sizeof d.KeyAssignedTable);
    std::memset(d.KeyModeTable, 0, sizeof d.KeyModeTable);
    std::memset(d.KeySpareTable, 0, sizeof d.KeySpareTable);
}

static void ResetTrackEditState(ShowData& d) {
    std::fill(std::begin(d.TrackEditState), std::end(d.TrackEditState), 0);
    d.TrackEditState[3] = 50;
    d.TrackEditState[4] = 1;
    d.TrackEditState[5] = 0;
    d.TrackEditState[6] = 1;
    d.TrackEditState[7] = 2;
    d.TrackEditState[8] = 3;
    d.TrackEditState[9] = 0;
    d.TrackEditState[10] = 1;
    d.TrackEditState[11] = 10;
    d.TrackEditState[12] = 0;
}

void ResetTrackData(ShowData& d) {
    ResetTrackEditState(d);
    std::memset(d.TrackRecKind, 0, sizeof d.TrackRecKind);
    std::memset(d.TrackRecSeq, 0, sizeof d.TrackRecSeq);
    std::memset(d.TrackRecScene, 0, sizeof d.TrackRecScene);
    // The day schedule is kept: it lives in the sequencer file, and clearing the tracks must
    // not let the next autosave store zeros over it.
    std::memset(d.TrackSeq, kEmptyTrackSeq, sizeof d.TrackSeq);
    std::memset(d.TrackScene, kEmptyScene, sizeof d.TrackScene);
    std::memset(d.TrackLevel, 0, sizeof d.TrackLevel);
    std::memset(d.TrackCommand, kCmdNothing, sizeof d.TrackCommand);
    std::memset(d.TrackPlane5, 0, sizeof d.TrackPlane5);
    std::fill(std::begin(d.TrackAux1), std::end(d.TrackAux1), 0);
    std::fill(std::begin(d.TrackAux2), std::end(d.TrackAux2), 0);
    std::fill(std::begin(d.EffectCountdown), std::end(d.EffectCountdown), 1);
}

void ResetEffect(ShowData& d, int index) {
    if (index < 0 || index >= kEffects) return;
    std::memset(d.EffectNames[index], 0, kNameLen);
    d.EffectTime[index] = 31;
    d.EffectLevel[index] = 0;
    d.EffectSeq[index] = static_cast<uint8_t>(index);
    d.EffectStart[index] = 1;
    d.EffectFinish[index] = 1;
    d.EffectKind[index] = 0;
}

static void ResetSequenceTables(ShowData& d, bool stepData) {
    ResetKeyTables(d);

    std::fill(std::begin(d.EditorSettings), std::end(d.EditorSettings), 0);
    std::fill(std::begin(d.ProgramOptions), std::end(d.ProgramOptions), 0);
    std::memset(d.ProgramFlags, 0, sizeof d.ProgramFlags);
    // A new project's grids open at their first row (spot 1, channel 1).
    std::fill(std::begin(d.SequencerViewPositions), std::end(d.SequencerViewPositions), 0);
    d.EditorSettings[3] = 32;
    d.EditorSettings[7] = 255;
    d.EditorSettings[11] = 64;
    d.EditorSettings[12] = 127;
    d.EditorSettings[13] = 160;
    d.EditorSettings[14] = 196;
    d.EditorSettings[15] = 255;
    static constexpr std::pair<int, int32_t> kOptionDefaults[] = {
        {1, 120}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 250}, {7, 150}, {8, 350}, {9, 250},
        {10, 1}, {11, 1}, {13, 255}, {20, 1}, {26, 20}, {28, 23},
    };
    for (auto [i, v] : kOptionDefaults) d.ProgramOptions[i] = v;

    d.CoderTable[0] = 0;
    for (int c = 1; c <= kChannels; ++c) {
        d.CoderTable[c] = static_cast<uint16_t>(c);
        d.ChannelMin[c] = 0;
        d.ChannelMax[c] = 255;
    }
    std::memset(d.HandEnable, 0, kChannels);
    std::memset(d.InvertFlag, 0, kChannels);
    std::memset(d.ChannelSpare1, 0, sizeof d.ChannelSpare1);
    std::memset(d.ChannelSpare2, 0, sizeof d.ChannelSpare2);

    for (int r = 0; r < kSequencers; ++r) std::memset(d.SequencerChannelMask[r], 0, kChannels);
    if (stepData) std::memset(d.SequencerStepData, 0, sizeof d.SequencerStepData);
    for (auto& row : d.SequencerStepWords) std::fill(std::begin(row), std::end(row), uint16_t{1000});
    std::memset(d.SequencerCurrentStep, 0, sizeof d.SequencerCurrentStep);
    std::memset(d.SequencerRunState, 0, sizeof d.SequencerRunState);

    std::memset(d.SavedTrackNames, 0, sizeof d.SavedTrackNames);
    std::memset(d.SequencerNames, 0, sizeof d.SequencerNames);
    std::memset(d.SavedTrackShift, 0, sizeof d.SavedTrackShift);
    std::memset(d.ScheduleHour, 0, sizeof d.ScheduleHour);
    std::memset(d.ScheduleMinute, 0, sizeof d.ScheduleMinute);
    std::memset(d.ScheduleMode, 0, sizeof d.ScheduleMode);
    std::memset(d.Reserved8k, 0, sizeof d.Reserved8k);
    std::memset(d.Reserved16k, 0, sizeof d.Reserved16k);
    std::memset(d.Reserved512, 0, sizeof d.Reserved512);
    std::memset(d.Reserved32, 0, sizeof d.Reserved32);
    std::memset(d.Reserved64, 0, sizeof d.Reserved64);
    std::memset(d.ReservedOld32, 0, sizeof d.ReservedOld32);
}

void ResetSequenceData(ShowData& d) { ResetSequenceTables(d, true); }

void ResetSequenceDataBeforeLoad(ShowData& d) { ResetSequenceTables(d, false); }

void ResetShowData(ShowData& d) {
    ResetSequenceData(d);
    ResetTrackData(d);
    ResetKeyTables(d);
    // Zeroed effects would act as slew limiters of step 0 and hold sequencer 0's channels at 0
    // until a track file brings its own table.
    for (int e = 0; e < kEffects; ++e) ResetEffect(d, e);
}

}  // namespace spirelo
