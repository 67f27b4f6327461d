// The fixed DMX-assignment grid: which DMX channels each sequencer owns, edited a run of
// channels at a time for the chosen columns, or from the DMX window's device areas, or from
// one fixed table. Mask row g, index c - 1 stands for DMX channel c.
#pragma once

#include "core/show_data.h"
#include "dmx/areas.h"

#include <array>
#include <cstdint>
#include <string>

namespace spirelo {

inline constexpr int kGridRows = 26;
inline constexpr int kGridColumns = 16;
inline constexpr int kGridFirstRowMax = 486;   // the row window's range is 0..486
inline constexpr int kRangeBarMax = 511;       // first channel and length bars are 1..511

using GridColumns = std::array<bool, kGridColumns>;

// DMX channels first..last of mask row `row` := value, clipped to channels 1..512 (entries 512
// and 513 of the row are never touched); nothing when last < first or the row is outside.
void SetMaskChannels(ShowData& d, int row, int first, int last, uint8_t value);

// The range tool: channels B .. B + L - 1 of every chosen column of group G.
void ApplyRangeToColumns(ShowData& d, int group, const GridColumns& columns, int begin, int length,
                         uint8_t value);

enum class AreaKind { Spots, Inverters, Klapans };
// One device area of `bounds` set on every chosen column of group G.
void ApplyAreaToColumns(ShowData& d, int group, const GridColumns& columns, const TAreaBounds& bounds,
                        AreaKind kind);

// Channels 1..512 := 0 on mask rows 0 .. rows - 1.
void ClearMaskRows(ShowData& d, int rows);

// Rows 0..31 cleared, then the fixed table on sequencers 1..16.
void ApplyFixedPreset(ShowData& d);

// The cell of column c, row r with the row window at P and group G.
bool GridCellChecked(const ShowData& d, int group, int firstRow, int column, int row);
// Sets or clears that cell's mask entry.
void SetGridCell(ShowData& d, int group, int firstRow, int column, int row, bool checked);

// The first channel after "New": B + L (at most 511), stepped back one length when the next
// run would reach 511; never below the bar's minimum 1.
int NextRangeBegin(int begin, int length);

std::string RangeLabelText(int begin, int length);      // "Set from B to B+L-1"
std::string NextButtonCaption(int begin, int length);   // "New B+L"
std::string RangeLengthText(int length);                // "Leng Fixs L"
// Hint of every cell of column c: "Seq n" and the sequencer's name on the next line.
std::string GridColumnHint(ShowData& d, int group, int column);
// Text of grid row r: the DMX channel P + r + 1, two digits at least.
std::string GridRowText(int firstRow, int row);

}  // namespace spirelo
