// The DMX monitor's logic: its width and caption, the taps it fills itself, the level columns
// drawn into a 32-bit pixel buffer (rows of 0xFFRRGGBB words, the layout of a Format_RGB32
// image, which the window wraps) and the pointer read-out box's glide and texts.
#pragma once

#include "core/show_data.h"
#include "dmx/output_pipeline.h"

#include <cstdint>
#include <string>

namespace spirelo {

inline constexpr int kMonitorImageWidth = 1023;
inline constexpr int kMonitorImageHeight = 129;

// CountLengForm: the channels shown (at least 48, at most 512) as pixels, the lefts of the
// controls beside the graph, the two window widths and the caption.
struct MonitorLayout {
    int channels = 0;        // n: spot channels + inverter length + valve length (16-bit)
    int MonitorWidth = 0;    // pixels
    int buttonsLeft = 0;     // SpeedButtonEveryCol, SpeedButtonColor, SpeedButtonSpace, SpeedButtonMore
    int checkLeft = 0;       // CheckBoxViewChannel
    int radioLeft = 0;       // RadioButtonVisual
    int narrowWidth = 0;     // window width with ">>" up
    int wideWidth = 0;       // and down
    std::string caption;
};
// Count 0: the areas' channels + 3; otherwise Count; either capped at 512 channels.
MonitorLayout CountLengForm(const ShowData& d, int Count);
inline int MonitorWindowWidth(int monitorWidth, bool more) { return monitorWidth + (more ? 217 : 35); }

// Taps 10 (hand levels), 11 (min), 12 (max), 13 (coder, low byte) and 15 (EditorSettings[0..255],
// low byte; channels 256..512 show 0). Other taps are the pipeline's and are left alone.
void FillMonitorTap(const ShowData& d, DmxOutputState& st);

// The three toggles, true when down.
struct MonitorLook {
    bool everyCol = true;   // spots in their own colour
    bool color = true;      // colours at all (else silver)
    bool space = true;      // one-pixel columns with a gap (else two pixels)
};

// Black, then one column per channel k (x = 2k, and 2k + 1 with space up) from row
// 128 - level div 2 down to row 127. Spot colours read a component beyond channel 512 as 0.
// pixels: height rows of strideWords words each.
void DrawMonitorColumns(uint32_t* pixels, int strideWords, int width, int height, const uint8_t* frame,
                        int spotCount, const MonitorLook& look);

// The pointer read-out box.
struct MonitorBoxState {
    int32_t MonitorMouseX = 0;
    int32_t MonitorMouseY = 0;
    int32_t MonitorBoxX = 1;
};
// One pixel per repaint toward the pointer, never right of W - 150.
void GlideMonitorBox(MonitorBoxState& b, int W);
int MonitorLevelAt(int mouseY);
std::string MonitorChannelText(int mouseX);   // "DMX  : " + (X div 2 + 1)
std::string MonitorLevelText(int mouseY);     // "Level: " + level

// One repaint's logic (its steps up to the box, whose drawing is the window's): -1 when no
// frame came since the last repaint, else W, the shown width in pixels.
int MonitorRepaint(const ShowData& d, DmxOutputState& st, int monitorWidth, const MonitorLook& look,
                   bool viewChannel, MonitorBoxState& box, uint32_t* pixels, int strideWords, int width,
                   int height);

}  // namespace spirelo
