// The sequencer store's operations: one step of a playing sequencer at its timer's expiry, the
// masked scene copy into DmxFrame, run control and the texts of step words. All plain logic on
// a ShowData&; the window's 32 step timers only call SequencerExpiry and apply its interval.
#pragma once

#include "core/show_data.h"

#include <cstdint>
#include <string>

namespace spirelo {

// Step word codes. Which words count as control marks depends on the operation: the loop
// searches (timer and tempo slice) stop below 9, the tempo writers and line tools below 10.
enum StepWordCode : uint16_t {
    kWordStopOff = 0,
    kWordStop = 1,
    kWordLoop = 2,
    kWordToBegin = 3,
};
inline constexpr uint16_t kLoopMarkLimit = 9;
inline constexpr uint16_t kTempoMarkLimit = 10;
inline constexpr bool IsLoopMark(uint16_t word) { return word < kLoopMarkLimit; }
inline constexpr bool IsTempoMark(uint16_t word) { return word < kTempoMarkLimit; }

inline constexpr uint16_t kResetStepWord = 1000;
inline constexpr int kStartInterval = 100;      // every step timer's interval at creation
inline constexpr int kTimerWrapStep = 253;      // the timer goes from step 252 back to 0
inline constexpr int kStepBarMax = 253;         // the step bar's range is 0..253
inline constexpr int kLastWordStep = 254;       // tempo writers leave step 255 alone

// The sequencer window's editing state that the logic shares with the editors.
struct SequencerEditState {
    uint16_t PatternFrom = 253;   // the step range of the last tempo command
    uint16_t PatternTo = 254;
    int32_t PointedStep = 0;      // step under the mouse at the last press in a step grid

    // The area editors. Selection corners are a column and a row relative to the first
    // visible cell; the tool states are 0 idle, 1 first corner taken, 2 second corner taken.
    int32_t AreaSelX1 = 0, AreaSelY1 = 0, AreaSelX2 = 0, AreaSelY2 = 0;
    int32_t SpotToolState = 0;
    int32_t KlapanToolState = 0;
    uint8_t SpotPenDown = 0;
    uint8_t KlapanPenDown = 0;
    uint8_t KlapanEraseDown = 0;
    int32_t PointedChannel = 0;   // channel index at the last press (3 x spot on the RGB page)
    int32_t InfoStep = 0;         // 1-based step and row under the mouse
    int32_t InfoRow = 0;
    int32_t InfoBoxX = 0, InfoBoxY = 0;
    uint8_t InfoBoxOnCell = 0;
    uint8_t ClipKind = 0;         // 0 nothing copied, 2 a pattern, 3 a whole sequencer
    int16_t CopyStepSpan = 0;
    int16_t CopyChannelSpan = 0;
    uint8_t LevelEditMode = 0;    // the level button whose level the slider edits (1..6), or 0
};
SequencerEditState& SequencerEditInstance();

// Writes the levels of step `step` of sequencer `seq` into DmxFrame for every channel its
// mask row drives (mask column i-1 is channel i); other channels keep their value.
// Out-of-range sequencers and steps are clamped.
void CopySceneToFrame(ShowData& d, int seq, int step);

struct ExpiryResult {
    int interval = kStartInterval;  // the timer's interval from now on
    bool wrote = false;             // it was playing: the old current step's scene went to DmxFrame
    bool stateChanged = false;      // a Stop&Off or Stop mark changed the run state
};

// One expiry of sequencer `seq`'s step timer whose interval is `interval` (numbers above 31
// are taken as 31). A sequencer not in Play does nothing. Otherwise its current step's scene
// is written, it moves on (253 wraps to 0) and the new step's word acts: 0 Off, 1 Stop,
// 2 back to the step after the nearest earlier loop mark, 3 to step 0 (the interval is kept
// after a mark), anything else becomes the interval.
ExpiryResult SequencerExpiry(ShowData& d, int seq, int interval);

// The step bar moved to `position` for the shown sequencer: in Stop the step is previewed on
// DmxFrame, in Play it becomes the current step; Off changes nothing.
void StepBarMoved(ShowData& d, int seq, int position);

// All 32 sequencers to the same run state (All Off, All Stop).
void SetAllRunStates(ShowData& d, uint8_t state);

// Text of a step word as the window shows it; `decimalPoint` is the locale's separator.
std::string StepWordText(int word, char decimalPoint = '.');

// Stores the first 16 characters of `utf8`, padded with blanks, as the name of mask row
// `row` (0..63, clamped). An empty text changes nothing and returns false.
bool SetSequencerName(ShowData& d, int row, const std::string& utf8);

// Wheel steps of one wheel event: delta div the divisor ProgramOptions[1] (towards zero); a
// divisor of 0 is first set to 63 and stored.
int WheelSteps(ShowData& d, int delta);

}  // namespace spirelo
