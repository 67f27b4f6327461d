#include "sequencer/fix_dmx_grid.h"

#include "core/text_routines.h"
#include "platform/message_service.h"

#include <algorithm>

namespace spirelo {
namespace {

int ClampGroup(int g) { return std::clamp(g, 0, kMaskRows / kGridColumns - 1); }

struct PresetRun { int seq, first, last; };
constexpr PresetRun kFixedPreset[] = {
    {1, 1, 72},  {2, 1, 48},  {3, 49, 72}, {4, 1, 24},  {5, 25, 48}, {9, 73, 81},
    {11, 73, 76}, {12, 77, 78}, {13, 80, 80}, {14, 77, 77}, {15, 78, 78}, {16, 79, 79},
};

}  // namespace

void SetMaskChannels(ShowData& d, int row, int first, int last, uint8_t value) {
    if (row < 0 || row >= kMaskRows) return;
    first = std::max(first, 1);
    last = std::min(last, kChannels);
    for (int c = first; c <= last; ++c) d.SequencerChannelMask[row][c - 1] = value;
}

void ApplyRangeToColumns(ShowData& d, int group, const GridColumns& columns, int begin, int length,
                         uint8_t value) {
    const int g = ClampGroup(group);
    for (int c = 0; c < kGridColumns; ++c)
        if (columns[c]) SetMaskChannels(d, g * kGridColumns + c, begin, begin + length - 1, value);
}

void ApplyAreaToColumns(ShowData& d, int group, const GridColumns& columns, const TAreaBounds& b,
                        AreaKind kind) {
    int first = b.SpotFirst, last = b.SpotLast;
    if (kind == AreaKind::Inverters) first = b.InverterFirst, last = b.InverterLast;
    if (kind == AreaKind::Klapans) first = b.KlapanFirst, last = b.KlapanLast;
    const int g = ClampGroup(group);
    for (int c = 0; c < kGridColumns; ++c)
        if (columns[c]) SetMaskChannels(d, g * kGridColumns + c, first, last, 1);
}

void ClearMaskRows(ShowData& d, int rows) {
    rows = std::clamp(rows, 0, kMaskRows);
    for (int r = 0; r < rows; ++r) SetMaskChannels(d, r, 1, kChannels, 0);
}

void ApplyFixedPreset(ShowData& d) {
    ClearMaskRows(d, kSequencers);
    for (const PresetRun& p : kFixedPreset) SetMaskChannels(d, p.seq - 1, p.first, p.last, 1);
}

bool GridCellChecked(const ShowData& d, int group, int firstRow, int column, int row) {
    const int g = ClampGroup(group) * kGridColumns + std::clamp(column, 0, kGridColumns - 1);
    const int i = std::clamp(firstRow + row, 0, kChannels - 1);
    return d.SequencerChannelMask[g][i] != 0;
}

void SetGridCell(ShowData& d, int group, int firstRow, int column, int row, bool checked) {
    const int g = ClampGroup(group) * kGridColumns + std::clamp(column, 0, kGridColumns - 1);
    const int i = std::clamp(firstRow + row, 0, kChannels - 1);
    d.SequencerChannelMask[g][i] = checked ? 1 : 0;
}

int NextRangeBegin(int begin, int length) {
    int n = std::min(begin + length, kRangeBarMax);
    if (n + length >= kRangeBarMax) n -= length;
    return std::max(n, 1);
}

std::string RangeLabelText(int begin, int length) {
    return "Set from " + std::to_string(begin) + " to " + std::to_string(begin + length - 1);
}
std::string NextButtonCaption(int begin, int length) { return "New " + std::to_string(begin + length); }
std::string RangeLengthText(int length) { return "Leng Fixs " + std::to_string(length); }

std::string GridColumnHint(ShowData& d, int group, int column) {
    const int g = ClampGroup(group) * kGridColumns + std::clamp(column, 0, kGridColumns - 1);
    return TwoLines("Seq " + std::to_string(g + 1), SeqNameText(d, g));
}

std::string GridRowText(int firstRow, int row) { return IntToStr2(firstRow + row + 1); }

}  // namespace spirelo
