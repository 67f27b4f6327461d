#include "sequencer/fix_dmx_grid.h"
#include "sequencer/sequencer_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace spirelo {
namespace {

class FixDmxGrid : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        ResetSequenceData(*data);
        std::memset(data->SequencerChannelMask, 0, sizeof data->SequencerChannelMask);
    }
    uint8_t* row(int g) { return data->SequencerChannelMask[g]; }
    std::vector<int> Set(int g) {
        std::vector<int> v;
        for (int i = 0; i < kMaskColumns; ++i)
            if (row(g)[i]) v.push_back(i);
        return v;
    }
    static std::vector<int> Range(int a, int b) {
        std::vector<int> v;
        for (int i = a; i <= b; ++i) v.push_back(i);
        return v;
    }
    std::unique_ptr<ShowData> data;
};

TEST_F(FixDmxGrid, CellClickWritesTheMaskOfItsGroupAndRow) {
    SetGridCell(*data, 1, 100, 3, 0, true);
    EXPECT_EQ(row(19)[100], 1);
    EXPECT_TRUE(GridCellChecked(*data, 1, 100, 3, 0));
    EXPECT_EQ(Set(19), std::vector<int>{100});
    SetGridCell(*data, 1, 100, 3, 0, false);
    EXPECT_EQ(row(19)[100], 0);
    // The last row of the window at its end stands for channel 512.
    SetGridCell(*data, 3, kGridFirstRowMax, 15, 25, true);
    EXPECT_EQ(Set(63), std::vector<int>{511});
}

TEST_F(FixDmxGrid, RangeToolStaysInsideChannels1To512) {
    GridColumns cols{};
    cols[0] = true;
    ApplyRangeToColumns(*data, 0, cols, 1, 1, 1);
    EXPECT_EQ(Set(0), std::vector<int>{0});
    EXPECT_EQ(RangeLabelText(1, 1), "Set from 1 to 1");

    row(1)[0] = 7;   // the next row must not be touched
    row(0)[512] = row(0)[513] = 9;
    ApplyRangeToColumns(*data, 0, cols, 500, 100, 1);
    std::vector<int> expect = Range(499, 513);
    expect.insert(expect.begin(), 0);
    EXPECT_EQ(Set(0), expect);
    EXPECT_EQ(row(0)[512], 9);
    EXPECT_EQ(row(1)[0], 7);

    ApplyRangeToColumns(*data, 0, cols, 500, 100, 0);
    EXPECT_EQ(Set(0), (std::vector<int>{0, 512, 513}));
}

TEST_F(FixDmxGrid, AreaPresetsClipToTheUniverseAndSkipEmptyAreas) {
    const TAreaBounds b = ComputeAreaBounds(178, 128, 512);   // spots 1..534, valves past 512
    GridColumns cols{};
    cols[15] = true;
    ApplyAreaToColumns(*data, 0, cols, b, AreaKind::Spots);
    EXPECT_EQ(Set(15), Range(0, 511));
    EXPECT_TRUE(Set(16).empty());

    ClearMaskRows(*data, kMaskRows);
    ApplyAreaToColumns(*data, 3, cols, b, AreaKind::Klapans);   // row 63: no write past the array
    ApplyAreaToColumns(*data, 3, cols, b, AreaKind::Inverters);
    EXPECT_TRUE(Set(63).empty());

    const TAreaBounds empty = ComputeAreaBounds(0, 0, 0);
    ApplyAreaToColumns(*data, 0, cols, empty, AreaKind::Spots);
    EXPECT_TRUE(Set(15).empty());

    const TAreaBounds small = ComputeAreaBounds(2, 3, 4);
    ApplyAreaToColumns(*data, 0, cols, small, AreaKind::Inverters);
    EXPECT_EQ(Set(15), Range(6, 8));
    ApplyAreaToColumns(*data, 0, GridColumns{}, small, AreaKind::Klapans);
    EXPECT_EQ(Set(15), Range(6, 8));
}

TEST_F(FixDmxGrid, ClearingRowsLeavesTheTailBytes) {
    for (int g = 0; g < kMaskRows; ++g) std::memset(row(g), 1, kMaskColumns);
    ClearMaskRows(*data, kSequencers);
    EXPECT_EQ(Set(0), (std::vector<int>{512, 513}));
    EXPECT_EQ(Set(31), (std::vector<int>{512, 513}));
    EXPECT_EQ(Set(32).size(), size_t(kMaskColumns));
    ClearMaskRows(*data, kMaskRows);
    EXPECT_EQ(Set(63), (std::vector<int>{512, 513}));
}

TEST_F(FixDmxGrid, FixedPresetReplacesTheFirst32Rows) {
    for (int g = 0; g < kMaskRows; ++g) row(g)[300] = 1;
    ApplyFixedPreset(*data);
    const std::vector<std::pair<int, std::vector<int>>> table = {
        {0, Range(0, 71)},  {1, Range(0, 47)},  {2, Range(48, 71)}, {3, Range(0, 23)},
        {4, Range(24, 47)}, {5, {}},            {7, {}},            {8, Range(72, 80)},
        {9, {}},            {10, Range(72, 75)}, {11, Range(76, 77)}, {12, {79}},
        {13, {76}},         {14, {77}},         {15, {78}},         {16, {}}, {31, {}},
    };
    for (const auto& [g, expect] : table) EXPECT_EQ(Set(g), expect) << "row " << g;
    EXPECT_EQ(Set(32), std::vector<int>{300});
    EXPECT_EQ(Set(63), std::vector<int>{300});
}

TEST_F(FixDmxGrid, NextBeginAndTexts) {
    EXPECT_EQ(NextRangeBegin(1, 24), 25);
    EXPECT_EQ(NextRangeBegin(480, 24), 480);
    EXPECT_EQ(NextRangeBegin(1, 511), 1);
    EXPECT_EQ(NextButtonCaption(480, 24), "New 504");
    EXPECT_EQ(RangeLengthText(24), "Leng Fixs 24");
    EXPECT_EQ(GridRowText(0, 8), "09");
    EXPECT_EQ(GridRowText(0, 9), "10");
    EXPECT_EQ(GridRowText(486, 0), "487");
    SetSequencerName(*data, 18, "Fountain");
    EXPECT_EQ(GridColumnHint(*data, 1, 2), "Seq 19\n\rFountain        ");
}

}  // namespace
}  // namespace spirelo
