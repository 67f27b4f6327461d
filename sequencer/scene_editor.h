// The scene editors of the sequencer window without the window: the cell writers and paint
// tools, one mouse-driven area editor for the RGB spot page and the channel page, the pattern
// and sequencer clipboards with their commands, the one-level undo store, the level buttons and
// what the areas show (information box, colours). The window reads its controls, calls these
// and does what the results say.
#pragma once

#include "core/show_data.h"
#include "sequencer/sequencer_store.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace spirelo {

inline constexpr int kAreaCells = 32;          // columns and rows shown
inline constexpr int kCellPixels = 16;
inline constexpr int kAreaPixels = 513;        // the grid's width and height
inline constexpr int kAreaLastPixel = kAreaPixels - 1;
inline constexpr int kStripPixels = 7;         // a press above y 7 acts on the step
inline constexpr int kLastLineStep = 254;      // lines end here, rectangles at 255
inline constexpr uint16_t kClearedSeqWord = 25;
inline constexpr int kLastSequencer = kSequencers - 1;   // popup edits but paste skip it

// 24-bit colours, red in the low byte.
constexpr uint32_t Rgb(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }
constexpr int RedOf(uint32_t c) { return int(c & 0xFF); }
constexpr int GreenOf(uint32_t c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(uint32_t c) { return int((c >> 16) & 0xFF); }

enum class AreaPage : uint8_t { Spots, Channels };

// The cells an area shows: the sequencer, its first visible step and its first visible row
// (a spot on the RGB page, a channel index on the channel page).
struct AreaView {
    int seq = 0;
    int firstStep = 0;
    int firstRow = 0;
};

// --- Cell writers ----------------------------------------------------------------------------

// Red, green, blue of `colour` into levels channel..channel+2; seq, step and channel are each
// clamped, and only bytes whose index is at most 511 are written.
void RecPix(ShowData& d, uint32_t colour, int channel, int step, int seq);
// One level := value, every index clamped.
void SetSceneCell(ShowData& d, uint8_t value, int channel, int step, int seq);
// The colour of palette entry colour mod 8 into channel..channel+2; a negative remainder or a
// cell outside the store writes nothing.
void SetRGB(ShowData& d, int seq, int step, int channel, int colour);
// The eight colours of SetRGB and the colour shapes, top to bottom.
uint32_t PaletteColour(int index);

// --- Paint tools over the selection corners ------------------------------------------------

void NormaliseSelection(SequencerEditState& e);
// Rectangles fill every cell between the corners (ordered in place), steps up to 255.
void FillRectColor(ShowData& d, SequencerEditState& e, const AreaView& v, uint32_t colour);
void FillRectKlapan(ShowData& d, SequencerEditState& e, const AreaView& v, uint8_t value);
// Lines run from corner 1 to corner 2 and stop at the first step past 254, before 0 or
// holding a control word (below 10). drawLineColor also stops above spot 0, drawTwoLineColor
// keeps writing channels 0..2 there.
void drawLineColor(ShowData& d, const SequencerEditState& e, const AreaView& v, uint32_t colour);
void drawTwoLineColor(ShowData& d, const SequencerEditState& e, const AreaView& v, uint32_t colour);
void LineBetween(ShowData& d, const SequencerEditState& e, const AreaView& v, uint8_t value);
// The hidden test pattern: the first eight visible steps get the eight palette colours on
// channel indices 0..482.
void ChangeColorPattern(ShowData& d, const AreaView& v);

// --- The area editor -------------------------------------------------------------------------

enum class AreaTool : uint8_t { Pencil, Line, Rect, Down45, Up45, Rainbow, ColourLine, CopySelect };
enum class AreaButton : uint8_t { Left, Right, Other };

struct AreaContext {
    ShowData& d;
    SequencerEditState& e;
    AreaPage page;
    AreaTool tool;
    AreaView view;
    uint32_t colour = 0;              // the RGB page's painting colour
    uint8_t value = 255;              // the channel page's paint value
    std::function<void()> saveToUndo; // called before anything is written
};

struct AreaResult {
    enum class StepAction : uint8_t { None, MakeCurrent, ToggleWord };
    StepAction stepAction = StepAction::None;
    int step = 0;               // the step the action is for
    bool redraw = false;        // redraw the area
    bool toolToPencil = false;  // the RGB rectangle is done: the pencil is the tool again
};

// A driven cell: its row's mask byte (the spot's red channel) is set; indexes past 511 are
// never driven.
bool IsDriven(const ShowData& d, int seq, int channel);
// Mask bytes of row seq, indexes 0..511, that are exactly 1.
int CountDrivenExactly(const ShowData& d, int seq);

// Mouse press, move and release on either grid, at pixel (x, y) of the grid. Presses outside
// 0..512 x 0..512 do nothing; moves outside update only the information fields and the band.
AreaResult AreaMouseDown(const AreaContext& c, AreaButton button, int x, int y);
AreaResult AreaMouseMove(const AreaContext& c, int x, int y);
void AreaMouseUp(SequencerEditState& e, AreaPage page);
// The right-click step action: a control word becomes the tempo, any other the loop mark.
void ToggleStepWord(ShowData& d, int seq, int step, int tempo);

// --- Pattern commands and clipboards -------------------------------------------------------

// The levels and words a copy took, with the spans and kind they were taken with.
struct SceneClipboard {
    uint8_t PatternClipboard[kSequencerSteps][kChannels];
    uint16_t PatternClipboardWords[kSequencerSteps];
    uint8_t MirrorBuffer[kSequencerSteps][kChannels];
    uint8_t Kind = 0;           // 0 nothing, 2 a pattern, 3 a whole sequencer
    int StepSpan = 0;
    int ChannelSpan = 0;
    uint8_t SequencerClipboard[kSequencerSteps][kChannels];   // the popup's copy of levels
};
std::unique_ptr<SceneClipboard> MakeSceneClipboard();

// First and last driven channel (mask byte exactly 1) of seq; 1 and 511 when none.
void LengActiv(const ShowData& d, int seq, int16_t& First, int16_t& Last);
// PatternFrom at most 254, PatternTo at most 255.
void LimitPatternRange(SequencerEditState& e);

// Clears levels First..Last of the pattern's steps and sets their words to the tempo. False
// when the range or the driven channels are one wide (nothing done).
bool ClearPattern(ShowData& d, SequencerEditState& e, int seq, int tempo);
// Levels 0, words 25, current step 0, Off.
void ClearSequencer(ShowData& d, int seq);
// The sequencer store only: levels 0, words 1000, mask rows 0..31, current steps 0, Off.
void ClearAllSequencers(ShowData& d);
// Reverses the step order of the pattern's levels.
void MirrorPattern(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq);
// True when the clipboard now holds something to paste.
bool CopyPattern(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq);
bool CopySequencer(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq);
// Writes the clipboard at the target's first driven channel (pattern: from PatternFrom).
void PastePattern(ShowData& d, SequencerEditState& e, const SceneClipboard& clip, int seq);

// Popup edits. The point erasers write only indexes up to 511.
void ErasePointSpot(ShowData& d, int seq, int step, int channel);
void ErasePointChannel(ShowData& d, int seq, int step, int channel);
void ClearScene(ShowData& d, int seq, int step);
void ClearSequencerLevels(ShowData& d, int seq);
void CopySequencerLevels(const ShowData& d, SceneClipboard& clip, int seq);
void PasteSequencerLevels(ShowData& d, const SceneClipboard& clip, int seq);

// --- Undo ------------------------------------------------------------------------------------

// One snapshot of the store (levels, all 64 mask rows, words, run states; 4,243,616 bytes).
// Every save() means "restart the 1000 ms window"; only the first save of a burst copies, so a
// snapshot holds the state before the burst. burstEnded() is the window running out.
class UndoStore {
public:
    UndoStore();
    ~UndoStore();
    bool save(const ShowData& d);          // true when this call took the snapshot
    void burstEnded();
    bool restore(ShowData& d);             // false when there is nothing to restore
    bool canRestore() const { return valid_; }
    bool taken() const { return taken_; }
    static constexpr size_t kSnapshotBytes =
        sizeof(ShowData::SequencerStepData) + sizeof(ShowData::SequencerChannelMask) +
        sizeof(ShowData::SequencerStepWords) + sizeof(ShowData::SequencerRunState);

private:
    struct Snapshot;
    std::unique_ptr<Snapshot> s_;
    bool taken_ = false;
    bool valid_ = false;
};

// --- Level buttons ---------------------------------------------------------------------------

inline constexpr int kLevelButtons = 6;
// EditorSettings entry of the level button of edit mode 1..6 (button 1 holds [15]).
constexpr int LevelSettingIndex(int mode) { return 16 - mode; }

struct LevelButtonsLook {
    std::array<int, kLevelButtons> levels{};        // captions, button 1 first
    std::array<uint32_t, kLevelButtons> captionColours{};
    bool groupVisible = false;
    int groupBeside = 0;                            // mode of the button the slider stands by
    std::optional<int> slider;                      // the slider's new position
};

// Mode 0 closes the slider, 1..6 opens it on that button's level and selects the level;
// 7 and above change nothing.
std::optional<LevelButtonsLook> SetButtonInvertor(ShowData& d, SequencerEditState& e, int mode);
// A press of either button on level button `mode`: left selects its level and closes the
// slider, right opens the slider on it.
LevelButtonsLook LevelButtonPressed(ShowData& d, SequencerEditState& e, int mode, AreaButton button);
// The slider moved: the level being edited follows it.
std::optional<LevelButtonsLook> LevelSliderMoved(ShowData& d, SequencerEditState& e, int position);

// --- What the areas show ----------------------------------------------------------------------

inline constexpr uint32_t kAreaGrey = Rgb(128, 128, 128);
inline constexpr uint32_t kChannelBackground = Rgb(192, 220, 192);
inline constexpr uint32_t kCurrentStepColour = Rgb(0, 255, 255);
inline constexpr uint32_t kStripOffColour = Rgb(192, 192, 192);
inline constexpr uint32_t kInfoSkyBlue = Rgb(166, 202, 240);

// Clamps the box into a width x height picture (kept in the state) and gives its lines.
struct InfoBox {
    int x = 0, y = 0;
    bool onCell = false;
    std::vector<std::string> lines;
};
InfoBox AreaInfoBox(const ShowData& d, SequencerEditState& e, AreaPage page, const AreaView& v, int width,
                    int height, char decimalPoint = '.');

// Colour of a grid cell, the current-step strip and a step's word bar (none for other words).
uint32_t CellColour(const ShowData& d, AreaPage page, int seq, int step, int row, uint32_t face);
uint32_t StripColour(const ShowData& d, AreaPage page, int seq, int step, int row, uint32_t face);
std::optional<uint32_t> WordBarColour(int word);
// Level of [seq][step][channel], or nothing outside the store.
std::optional<int> LevelAt(const ShowData& d, int seq, int step, int channel);

}  // namespace spirelo
