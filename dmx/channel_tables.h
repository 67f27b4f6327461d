// The per-channel output tables as the USB and DMX window edits them: area labels, row
// colours, hand and min/max range operations, colour presets, the coder fill, the spot-count
// reset, the wheel and the lock. No Qt: the window reads its controls and calls these.
//
// The areas can describe more channels than the universe has (178 spots alone are 534
// channels); the stored values are kept so files load as they are, and every range written
// here is cut to 1..512 by ClampedRange.
#pragma once

#include "core/show_data.h"
#include "dmx/areas.h"
#include "dmx/output_pipeline.h"

#include <cstdint>
#include <string>

namespace spirelo {

// A channel range cut to 1..512; empty when first > last.
struct ChannelRange {
    int first = 1;
    int last = 0;
    bool empty() const { return first > last; }
};
ChannelRange ClampedRange(int first, int last);
void FillChannels(uint8_t* table, ChannelRange r, uint8_t v);

// Texts of the ten area labels of the "Channels" page.
struct AreaLabelTexts {
    std::string StartRGB, StopRGB, LengRGB, Spots;
    std::string StartInv, StopInv, LengInv;
    std::string StartKlap, StopKLap, LengKLap;
};
// spotCount is ProgramOptions[20]; inverterLen and klapanLen the two area bars' positions.
AreaLabelTexts RafreshLabelChannel(int spotCount, int inverterLen, int klapanLen);

// One row of the view: its colour (24-bit, red low) and whether the area forces its min/max
// bars to 0/255 (spot and valve channels).
inline constexpr uint32_t kRowSilver = 0xC0C0C0;
inline constexpr uint32_t kRowRed = 0x0000FF;
inline constexpr uint32_t kRowGreen = 0x008000;
inline constexpr uint32_t kRowBlue = 0xFF0000;
inline constexpr uint32_t kRowBlack = 0x000000;
inline constexpr uint32_t kRowTeal = 0x808000;
struct RowLook {
    uint32_t colour = kRowSilver;
    bool forceMinMax = false;
};
RowLook RowAppearance(int ch, int spotCount, int inverterLen, int klapanLen);

// Hand page ranges.
enum class HandArea { All, Spots, Inverters, Klapans };
ChannelRange HandAreaRange(const TAreaBounds& a, HandArea area);
void SetHandEnable(ShowData& d, ChannelRange r, bool on);
void SetHandLevel(ShowData& d, ChannelRange r, uint8_t level);

// Colour presets: the levels of every spot (3k+1, 3k+2, 3k+3 for k < spotCount), enables kept.
void SetSpotColour(ShowData& d, int spotCount, uint8_t red, uint8_t green, uint8_t blue);

// ScrollBarMin / ScrollBarMax: ChannelMin (or ChannelMax) := 255 - position over the inverters.
void SetInverterMin(ShowData& d, const TAreaBounds& a, int position);
void SetInverterMax(ShowData& d, const TAreaBounds& a, int position);
// "MIN=0 MAX=255" over channels 1..512.
void ResetMinMax(ShowData& d);
// The row bars: position inside the inverter area of the options ([20] x 3 < ch <= [20] x 3 +
// [18]), else the open end (0 for min, 255 for max).
void ScrollRowMin(ShowData& d, int ch, int position);
void ScrollRowMax(ShowData& d, int ch, int position);

// Coder page: From and Length from their bars (513 - position), the three label values, the fill
// and the reset.
struct CoderSpan {
    int from = 1;
    int length = 1;
    int end = 1;   // min(from + length, 512)
};
CoderSpan CoderSpanFromBars(int fromPosition, int lengthPosition);
void SetCoderRange(ShowData& d, const CoderSpan& span);
void ResetCoderTable(ShowData& d);

// The spot-count change: ProgramOptions[20] := spotCount, min/max opened from the first channel
// after the inverters to 511, FrameSentFlag := 1. The window then redraws its labels and rows.
void paschetMaxSpot(ShowData& d, DmxOutputState& st, int spotCount);

// The wheel: deltas are summed until they reach the sensor value in magnitude, then they move
// the view by sum div sensor rows (negated when "Direct"), and the sum starts again.
class WheelAccumulator {
public:
    // Returns the rows to move (0 while the sum is still below the sensor).
    int add(int delta, int sensor, bool direct);
    void reset() { sum_ = 0; }

private:
    int sum_ = 0;
};
// The view's top channel after a move, within 0..487.
int MoveViewTop(int top, int rows);

// What the lock (ProgramFlags[8]) enables: the area bars, the coder reset, every row's min, max
// and coder bar, and whether the save button is shown.
struct LockState {
    bool controlsEnabled = true;
    bool saveVisible = true;
};
LockState EnableMinMax(const ShowData& d);

}  // namespace spirelo
