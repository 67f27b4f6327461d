// The sound window's waveform view (selection, restart mark, hover line, envelope) and the
// effect timeline's geometry, as logic: the window's handlers pass box pixels in and draw what
// these functions decide.
#pragma once

#include "core/show_data.h"
#include "playback/show_clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

inline constexpr int kWaveBoxHeight = 115;
inline constexpr int kNoHover = 64000;

struct WaveViewState {
    int32_t SelectionAnchorStep = 0;
    uint8_t WaveMouseDown = 0;
    int32_t WaveHoverX = kNoHover;
    int32_t WaveHoverLineX = 500;
    int32_t PlayCursorX = 1;
    int32_t EffectHintHold = 0;
};

WaveViewState& WaveViewStateInstance();

// What a waveform action asks of the window besides the values it changed.
struct WaveAction {
    bool enableNewStart = false;      // the main window's sbNewStart
    bool showSpace = false;           // LabelSpace and ShapeSpace shown
    int effectRecordButton = -1;      // SpeedButtonEffectRecord: -1 unchanged, 0 hidden, 1 shown
    int delTrackSelect = -1;          // SpeedButtonDelTrackSelect: -1 unchanged, 0 disabled, 1 enabled
    bool seek = false;                // the audio jumps to seekByte
    uint64_t seekByte = 0;
    bool play = false;                // SoundPlay after the jump
};

// Pixel to show step through the clock's sizes (divisor kept at least 1).
int32_t PixelToStep(int64_t x, const ShowClock& clk);

WaveAction WaveRightPress(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int x);
WaveAction WaveLeftPress(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int x, bool playSynchro);
WaveAction WaveMove(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int x, int y,
                    int boxWidth, int boxHeight);
void WaveRelease(WaveViewState& w, int32_t& ScanProgress);
WaveAction WaveSelectAll(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress);
WaveAction WaveResetLeng(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress);

// A new show: no selection (so no A-B loop) is carried over from the previous one.
void ResetSelectionForNewShow(ShowClock& clk, WaveViewState& w);

// ScanProgress countdown of the envelope: true when the envelope is to be redrawn now.
bool EnvelopeRedrawDue(int32_t& ScanProgress, int BytesPerPixel);

// One envelope column: the left peak drawn up from yMid to yTop, the right one down from
// yMid + 2 to yBottom.
struct EnvelopeColumn { int yMid, yTop, yBottom; };
EnvelopeColumn EnvelopeAt(int left, int right, int boxHeight);

// The user line follows the pointer one pixel a tick, jumping when more than 33 pixels away.
void FollowHoverLine(WaveViewState& w);

// Where a line's text goes: 5 pixels right of the line, or 55 further left near the right edge.
int LineTextX(int lineX, int width);

// --- Effect timeline --------------------------------------------------------------------------
inline constexpr int kEffectRowHeight = 6;

int EffectStepToX(int64_t step, const ShowClock& clk);
uint32_t EffectKindColor(int kind);   // 24-bit, red in the low byte

// The drag of the effect editor as the timeline draws it.
struct EffectDragView {
    int row = -100;          // effect being dragged, -100 none
    int newStart = 0, newFinish = 0;
    int cursor = 0;          // 0 default, 1 move (size-all), 2 horizontal resize
};

struct EffectLane {
    bool drawn = false;
    int x1 = 0, x2 = 0, y = 0, width = 3;
    uint32_t color = 0;
};
EffectLane EffectLaneOf(const ShowData& d, const ShowClock& clk, int e, const EffectDragView& drag);

// The hover read-out over effect e's lane: empty when not shown. Lines are 15 pixels apart.
struct EffectHint {
    bool shown = false;
    int textX = 0, textY = 0;
    std::vector<std::string> lines;
};
EffectHint EffectHintOf(const ShowData& d, const ShowClock& clk, int e, int bitmapWidth);

}  // namespace spirelo
