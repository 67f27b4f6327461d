// The scene input panel: one sequencer's spots as a colour table, one column per scene; a
// press or a drag with the left button records the column's scene into the record track.
#pragma once

#include "core/show_data.h"

#include <cstdint>

namespace spirelo {

inline constexpr int kInputColumns = 65;   // scenes drawn per row; the 65th lies outside the box
inline constexpr int kInputMaxRows = 64;
inline constexpr int kInputFirstSceneMax = 191;

struct SpotRows {
    int first = 0, last = 1;   // spots shown, inclusive
};
// The spots of sequencer q's masked channels, at most 64 (two when none is masked).
SpotRows InputSpotRows(const ShowData& d, int q);
// Colour of spot n in scene j (24-bit, red in the low byte); a channel past 512 reads 0.
uint32_t InputCellColor(const ShowData& d, int q, int scene, int spot);
// The scene at pointer X for first scene p; X is limited to the paint box, the sum to a byte.
int InputSceneFromX(int p, int x);
// The colour page's pick at (x, y), each limited to 0..254.
uint32_t InputPickColor(int x, int y);
// One step of the record track at curStep: command 1, the sequencer and scene, level 255.
void InputRecordStep(ShowData& d, int seq, int scene, int curStep);

}  // namespace spirelo
