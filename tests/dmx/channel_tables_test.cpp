#include "dmx/channel_tables.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace spirelo;

namespace {

struct Tables : ::testing::Test {
    void SetUp() override {
        d = MakeShowData();
        ResetShowData(*d);
        st = MakeDmxOutputState();
    }
    void Areas(int spots, int inv, int klap) {
        d->ProgramOptions[20] = spots;
        d->ProgramOptions[18] = inv;
        d->ProgramOptions[19] = klap;
        a = ComputeAreaBounds(spots, inv, klap);
    }
    // Fills a table with a pattern so any stray write shows.
    static void Pattern(uint8_t* t, int seed) {
        for (int i = 0; i < kChannelSlots; ++i) t[i] = uint8_t(i * 7 + seed);
    }
    std::unique_ptr<ShowData> d;
    std::unique_ptr<DmxOutputState> st;
    TAreaBounds a;
};

}  // namespace

TEST(AreaLabels, SizedAndEmptyAreas) {
    AreaLabelTexts t = RafreshLabelChannel(10, 5, 3);
    EXPECT_EQ(t.StartRGB, "First channel   = 1");
    EXPECT_EQ(t.StopRGB, "Last  channel   = 30");
    EXPECT_EQ(t.LengRGB, "Leng allocated  = 30");
    EXPECT_EQ(t.Spots, "Spots           = 10");
    EXPECT_EQ(t.StartInv, "Первый канал    = 31");
    EXPECT_EQ(t.StopInv, "Последний канал = 35");
    EXPECT_EQ(t.LengInv, "Leng allocated  = 5");
    EXPECT_EQ(t.StartKlap, "First channel   = 36");
    EXPECT_EQ(t.StopKLap, "Last  channel   = 38");
    EXPECT_EQ(t.LengKLap, "Leng allocated  = 3");

    t = RafreshLabelChannel(0, 5, 3);
    EXPECT_EQ(t.StartRGB, "Area for ");
    EXPECT_EQ(t.StopRGB, "Spots no allocated ");
    EXPECT_EQ(t.LengRGB, " ");
    EXPECT_EQ(t.Spots, " ");
    EXPECT_EQ(t.StartInv, "Первый канал    = 1");   // the inverters start at channel 1

    t = RafreshLabelChannel(4, 0, 0);
    EXPECT_EQ(t.StartInv, "Area for  ");
    EXPECT_EQ(t.StopInv, "Invertors ");
    EXPECT_EQ(t.LengInv, "no allocated ");
    EXPECT_EQ(t.StartKlap, "Area for  ");
    EXPECT_EQ(t.StopKLap, "Klapans  no allocated ");
    EXPECT_EQ(t.LengKLap, " ");
}

TEST(RowLooks, ColoursAndForcedWindowsOfTheAreas) {
    struct Case { int ch; uint32_t colour; bool force; } cases[] = {
        {1, kRowRed, true},    {2, kRowGreen, true},  {30, kRowBlue, true}, {31, kRowBlack, false},
        {35, kRowBlack, false}, {36, kRowTeal, true}, {38, kRowTeal, true}, {39, kRowSilver, false},
        {512, kRowSilver, false},
    };
    for (const Case& c : cases) {
        RowLook l = RowAppearance(c.ch, 10, 5, 3);
        EXPECT_EQ(l.colour, c.colour) << c.ch;
        EXPECT_EQ(l.forceMinMax, c.force) << c.ch;
    }
    // No inverters: the valves follow the spots at once.
    EXPECT_EQ(RowAppearance(31, 10, 0, 3).colour, kRowTeal);
    EXPECT_EQ(RowAppearance(1, 0, 0, 0).colour, kRowSilver);
}

TEST_F(Tables, RangeOperationsStopAtChannel512) {
    // 160 spots, 20 inverters, 40 valves: the valves would run to 540.
    Areas(160, 20, 40);
    Pattern(d->InvertFlag, 3);
    uint8_t invert[kChannelSlots];
    std::memcpy(invert, d->InvertFlag, sizeof invert);
    SetHandEnable(*d, HandAreaRange(a, HandArea::Klapans), true);
    for (int c = 501; c <= 512; ++c) EXPECT_EQ(d->HandEnable[c], 1) << c;
    EXPECT_EQ(d->HandEnable[500], 0);
    EXPECT_EQ(0, std::memcmp(invert, d->InvertFlag, sizeof invert));   // the table after it in memory

    Areas(160, 40, 0);   // inverters 481..520
    Pattern(d->ChannelMax, 5);
    uint8_t max[kChannelSlots];
    std::memcpy(max, d->ChannelMax, sizeof max);
    SetInverterMin(*d, a, 55);
    for (int c = 481; c <= 512; ++c) EXPECT_EQ(d->ChannelMin[c], 200) << c;
    EXPECT_EQ(d->ChannelMin[480], 0);
    EXPECT_EQ(0, std::memcmp(max, d->ChannelMax, sizeof max));
    SetInverterMax(*d, a, 0);
    for (int c = 481; c <= 512; ++c) EXPECT_EQ(d->ChannelMax[c], 255) << c;
    EXPECT_EQ(d->ChannelMax[480], max[480]);

    // Every hand range of a full universe, and the spot range of an empty one.
    SetHandLevel(*d, HandAreaRange(a, HandArea::All), 9);
    EXPECT_EQ(d->HandLevel[0], 0);
    EXPECT_EQ(d->HandLevel[1], 9);
    EXPECT_EQ(d->HandLevel[512], 9);
    EXPECT_TRUE(HandAreaRange(ComputeAreaBounds(0, 0, 0), HandArea::Spots).empty());
    EXPECT_TRUE(HandAreaRange(ComputeAreaBounds(178, 0, 0), HandArea::Inverters).empty());
}

TEST_F(Tables, ColourPresetsWriteOnlySpotLevels) {
    Pattern(d->HandEnable, 1);
    uint8_t enable[kChannelSlots];
    std::memcpy(enable, d->HandEnable, sizeof enable);
    SetSpotColour(*d, 178, 255, 255, 255);   // 534 channels: cut at 512
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(d->HandLevel[c], 255) << c;
    EXPECT_EQ(d->HandLevel[0], 0);
    EXPECT_EQ(0, std::memcmp(enable, d->HandEnable, sizeof enable));

    SetSpotColour(*d, 2, 0, 255, 64);
    const uint8_t want[] = {0, 0, 255, 64, 0, 255, 64, 255};
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(d->HandLevel[c], want[c]) << c;
}

TEST_F(Tables, RowMinMaxFollowTheOptionInverterArea) {
    Areas(10, 5, 3);
    struct Case { int ch; int min; int max; } cases[] = {{31, 77, 77}, {35, 77, 77}, {36, 0, 255}, {5, 0, 255}, {30, 0, 255}};
    for (const Case& c : cases) {
        d->ChannelMin[c.ch] = 1;
        d->ChannelMax[c.ch] = 1;
        ScrollRowMin(*d, c.ch, 77);
        ScrollRowMax(*d, c.ch, 77);
        EXPECT_EQ(d->ChannelMin[c.ch], c.min) << c.ch;
        EXPECT_EQ(d->ChannelMax[c.ch], c.max) << c.ch;
    }
    Pattern(d->ChannelMin, 2);
    ResetMinMax(*d);
    EXPECT_EQ(d->ChannelMin[0], 2);
    for (int c = 1; c <= 512; ++c) ASSERT_TRUE(d->ChannelMin[c] == 0 && d->ChannelMax[c] == 255) << c;
}

TEST_F(Tables, SetCoderFillsConsecutiveSourcesBelow512) {
    struct Case { int from, length, s; int lastWritten; } cases[] = {
        {10, 3, 40, 13}, {500, 12, 505, 506}, {511, 5, 7, 512}, {512, 1, 512, 512},
    };
    for (const Case& c : cases) {
        ResetCoderTable(*d);
        d->CoderTable[c.from] = uint16_t(c.s);
        // The bars hold 513 - From and 513 - Length.
        SetCoderRange(*d, CoderSpanFromBars(513 - c.from, 513 - c.length));
        for (int k = c.from; k <= c.lastWritten; ++k) EXPECT_EQ(d->CoderTable[k], c.s + (k - c.from)) << c.from << " " << k;
        for (int k = c.lastWritten + 1; k <= 512; ++k) ASSERT_EQ(d->CoderTable[k], k) << c.from << " " << k;
        EXPECT_EQ(d->CoderTable[c.from - 1], c.from - 1);
    }
    CoderSpan span = CoderSpanFromBars(1, 1);   // From 512, Length 512
    EXPECT_EQ(span.from, 512);
    EXPECT_EQ(span.length, 512);
    EXPECT_EQ(span.end, 512);
    span = CoderSpanFromBars(503, 510);
    EXPECT_EQ(span.from, 10);
    EXPECT_EQ(span.end, 13);
    d->CoderTable[0] = 77;
    ResetCoderTable(*d);
    EXPECT_EQ(d->CoderTable[0], 77);
    EXPECT_EQ(d->CoderTable[512], 512);
}

TEST_F(Tables, SpotCountOpensTheWindowsAfterTheInverters) {
    d->ProgramOptions[18] = 5;
    for (int c = 0; c <= 512; ++c) d->ChannelMin[c] = 9, d->ChannelMax[c] = 99;
    st->FrameSentFlag = 0;
    paschetMaxSpot(*d, *st, 10);
    EXPECT_EQ(d->ProgramOptions[20], 10);
    EXPECT_EQ(st->FrameSentFlag, 1);
    for (int c = 0; c <= 512; ++c) {
        const bool opened = c >= 36 && c <= 511;
        ASSERT_EQ(d->ChannelMin[c], opened ? 0 : 9) << c;
        ASSERT_EQ(d->ChannelMax[c], opened ? 255 : 99) << c;
    }
    // Areas past the universe open nothing.
    d->ChannelMin[511] = 9;
    paschetMaxSpot(*d, *st, 178);
    EXPECT_EQ(d->ChannelMin[511], 9);
}

TEST(Wheel, StepsBySensorAndDirection) {
    struct Case { int delta, sensor; bool direct; int rows; } cases[] = {
        {120, 120, true, -1}, {120, 7, true, -17}, {120, 120, false, 1}, {-240, 120, false, -2}, {120, 0, false, 120},
    };
    for (const Case& c : cases) {
        WheelAccumulator w;
        EXPECT_EQ(w.add(c.delta, c.sensor, c.direct), c.rows) << c.delta << " " << c.sensor;
    }
    WheelAccumulator fine;
    int moved = 0;
    for (int i = 0; i < 8; ++i) moved += fine.add(15, 120, false);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(fine.add(15, 120, false), 0);   // the sum started again
    EXPECT_EQ(MoveViewTop(0, -17), 0);
    EXPECT_EQ(MoveViewTop(480, 17), 487);
    EXPECT_EQ(MoveViewTop(100, -17), 83);
}

TEST_F(Tables, LockState) {
    d->ProgramFlags[8] = 0;
    EXPECT_TRUE(EnableMinMax(*d).controlsEnabled);
    EXPECT_TRUE(EnableMinMax(*d).saveVisible);
    d->ProgramFlags[8] = 2;
    EXPECT_FALSE(EnableMinMax(*d).controlsEnabled);
    EXPECT_FALSE(EnableMinMax(*d).saveVisible);
}
