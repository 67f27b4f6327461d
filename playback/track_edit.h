// Track editing shared by the track pages, live keys and the input and assignment panels: the
// record-track commands, the record view's mouse, and what the track views and the histogram
// draw, decided here so the window only paints it.
#pragma once

#include "common/text_codec.h"
#include "core/show_data.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

// The track that recording and editing write: TrackEditState[5] clamped to 0..31 and stored
// back, so a bad value in a track file can never index past the planes.
int RecordTrack(ShowData& d);

// Writes one track step; steps outside 0..16300 are dropped.
void WriteTrackStep(ShowData& d, int track, int step, const TrackStepValue& v);

// Last step a whole-track loop reaches: SongSteps limited to the store. A 14-minute song has
// more steps than the planes hold, and an unbounded loop would run into the next track.
int LastEditStep(int32_t SongSteps);

// ---- Record-track commands ------------------------------------------------------------------

// The advance of the record track, one step down or up within 0..100; false when at the limit.
bool AdvanceDown(ShowData& d);
bool AdvanceUp(ShowData& d);
// Advance 0 and steps 0..LastEditStep emptied.
void DeleteRecordTrack(ShowData& d, int32_t SongSteps);
// Sequencer of steps 0..LastEditStep := seq.
void ChangeRecordTrackSeq(ShowData& d, int32_t SongSteps, int seq);

struct NormaliseOptions {
    bool thin = true;         // CheckBoxNormStup
    bool release = false;     // CheckBoxNormReleas
    int releaseStep = 0;      // ScrollBarNormRelaease
    bool maxLevel = false;    // CheckBoxNormMaxLev
};
void NormaliseRecordTrack(ShowData& d, int32_t SongSteps, const NormaliseOptions& o);
// Steps 1..min(SongSteps - 1, 16300) with a level below 3 become level, sequencer, scene 0.
void DeleteLowLevels(ShowData& d, int32_t SongSteps);
// Track names and advances parked in the sequencer file's copies, and back.
void ParkTrackNames(ShowData& d);
void RestoreTrackNames(ShowData& d);

// Question texts of the commands.
std::string DeleteTrackQuestion(int recordTrack);
std::string NormaliseQuestion(int recordTrack);
std::string ClearAllTracksQuestion();

// ---- Track switches -------------------------------------------------------------------------

// Switches on exactly the tracks with a non-zero level at a step 1..LastEditStep, then the
// record track too when a record mode is chosen (play mode up).
void SearchAlltrack(ShowData& d, ShowTickState& st, int32_t SongSteps, bool playTrackDown);
void SetAllTracks(ShowTickState& st, bool on);
void OnlyRecordTrackOn(ShowData& d, ShowTickState& st);

// A user scroll of the record bar to r with "Serial Tracks": each view that can stand before
// the record track follows it (view A r - 1, B r - 2, C r - 3); the others keep theirs.
void FollowRecordTrack(ShowData& d, int r);

// Name fields written from an edit: the first 16 characters as CP1251, padded with blanks.
void WriteNameField(uint8_t* field, const std::string& utf8);

// ---- Record view mouse ----------------------------------------------------------------------

inline constexpr int kHoverPaints = 155;

// Level of a pointer height: 254 - 2 x Y limited to 0..127.
int LevelFromY(int y);
// Step under a pointer column: (X - 12) div 20 + CurStep - 25, truncating toward zero.
int StepFromX(int x, int32_t CurStep);

void RecordViewPress(ShowClock& clk, bool left, bool right, int x, int y);
// The hover read-out and the mouse level follow the pointer. While paused (STOP down) a held
// button edits the pressed step directly: left the level, sequencer and scene of the two
// mouse bars and command 1; right only the level.
void RecordViewMove(ShowData& d, ShowClock& clk, int x, int y, bool stopDown, int seqMouse, int sceneMouse);
void RecordViewRelease(ShowClock& clk);

// ---- What the views draw --------------------------------------------------------------------

inline constexpr int kTrackViewWidth = 970;
inline constexpr int kTrackViewColumns = 48;   // x = 16 + 20k while x < 970
inline constexpr int kCursorX = 495;

struct TextLine {
    int x = 0, y = 0;   // top-left corner
    std::string text;
};

struct RecordColumn {
    enum Kind : uint8_t { Grey, Point, Blank };
    Kind kind = Grey;
    int x = 0, y = 127, step = 0;
    uint32_t colour = 0;   // 24-bit, red in the low byte
};

struct RecordViewModel {
    int firstY = 127;              // where the pen starts at x = 16
    int shiftX = kCursorX;         // the yellow advance line
    std::array<RecordColumn, kTrackViewColumns> columns;
    std::vector<TextLine> texts;   // white
    std::vector<TextLine> hover;   // aqua, empty when not shown
};

// Takes one paint of the hover countdown.
RecordViewModel RecordViewOf(ShowData& d, ShowClock& clk, const std::string& enteredText);

struct WatchedViewModel {
    int track = 0;
    int shiftX = kCursorX;
    std::array<int, kTrackViewColumns> x{}, y{};
    std::array<bool, kTrackViewColumns> grey{};   // segment into column k drawn grey
    std::vector<TextLine> texts;
};
WatchedViewModel WatchedViewOf(ShowData& d, int track, int32_t CurStep, const std::string& enteredText);

// Histogram: per layer (a track, or the record track on top) one inclusive row interval per
// column, top -1 for none. Pixel-equal to drawing every step.
struct GistoLayer {
    uint32_t colour = 0;
    std::vector<int16_t> top, bottom;
};
struct GistoOptions {
    bool onlyOneTrack = false;   // SpeedButtonOnlyOneTrack
    bool colour = true;          // SpeedButtonColor
    bool currentOnTop = false;   // SpeedButtonCurretTrack
    bool bars = true;            // SpeedButtonGistoLine
};
std::vector<GistoLayer> GistoLayersOf(ShowData& d, const ShowTickState& st, int32_t SongSteps,
                                      const GistoOptions& o, int width = kTrackViewWidth);

// The 224 ms selection read-out: texts, and a selection whose end lies before its start cleared.
struct SelectionReadout {
    bool finishShown = false;
    std::string startText = "No Select", finishText;
};
SelectionReadout SelectionRule(ShowClock& clk);

}  // namespace spirelo
