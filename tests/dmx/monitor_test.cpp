#include "dmx/monitor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace spirelo;

namespace {

constexpr uint32_t kBlack = 0xFF000000;

struct Monitor : ::testing::Test {
    void SetUp() override {
        d = MakeShowData();
        ResetShowData(*d);
        st = MakeDmxOutputState();
        pixels.assign(size_t(kMonitorImageWidth) * kMonitorImageHeight, 0x12345678);
    }
    void Areas(int spots, int inv, int klap) {
        d->ProgramOptions[20] = spots;
        d->ProgramOptions[18] = inv;
        d->ProgramOptions[19] = klap;
    }
    void Draw(const MonitorLook& look = {}) {
        DrawMonitorColumns(pixels.data(), kMonitorImageWidth, kMonitorImageWidth, kMonitorImageHeight, st->MonitorFrame,
                           d->ProgramOptions[20], look);
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * kMonitorImageWidth + x]; }
    // Rows lit in column x, as first..last (first > last when none).
    std::pair<int, int> Lit(int x) const {
        int first = -1, last = -2;
        for (int y = 0; y < kMonitorImageHeight; ++y)
            if (At(x, y) != kBlack) {
                if (first < 0) first = y;
                last = y;
            }
        return {first, last};
    }
    std::unique_ptr<ShowData> d;
    std::unique_ptr<DmxOutputState> st;
    std::vector<uint32_t> pixels;
};

}  // namespace

TEST_F(Monitor, CountLengFormWidthsAndCaption) {
    struct Case { int spots, inv, klap, count, width, channels; } cases[] = {
        {10, 5, 3, 0, 106, 38}, {0, 0, 0, 0, 106, 0}, {0, 0, 0, 510, 1030, 0},
        {178, 128, 512, 0, 1034, 1174}, {0, 0, 100, 0, 216, 100}, {0, 0, 0, 600, 1034, 0},
    };
    for (const Case& c : cases) {
        Areas(c.spots, c.inv, c.klap);
        MonitorLayout l = CountLengForm(*d, c.count);
        EXPECT_EQ(l.MonitorWidth, c.width) << c.spots << "/" << c.inv << "/" << c.klap << " " << c.count;
        EXPECT_EQ(l.caption, "Channels DMX512 = " + std::to_string(c.channels));
    }
    Areas(10, 5, 3);
    MonitorLayout l = CountLengForm(*d, 0);
    EXPECT_EQ(l.buttonsLeft, 108);
    EXPECT_EQ(l.checkLeft, 113);
    EXPECT_EQ(l.radioLeft, 135);
    EXPECT_EQ(l.narrowWidth, 141);
    EXPECT_EQ(l.wideWidth, 323);
}

TEST_F(Monitor, LevelColumnsSpanFromTheirHeightToRow127) {
    Areas(0, 0, 0);
    st->MonitorFrame[1] = 255;
    st->MonitorFrame[2] = 2;
    st->MonitorFrame[3] = 1;
    st->MonitorFrame[4] = 128;
    Draw();
    EXPECT_EQ(Lit(0), std::make_pair(1, 127));
    EXPECT_EQ(At(0, 5), 0xFFFFFFFFu);   // white outside the spots
    EXPECT_EQ(Lit(1), std::make_pair(-1, -2));   // the gap
    EXPECT_EQ(Lit(2), std::make_pair(127, 127));
    EXPECT_EQ(Lit(4), std::make_pair(-1, -2));
    EXPECT_EQ(Lit(6), std::make_pair(64, 127));
    EXPECT_EQ(At(1000, 0), kBlack);   // the rest was cleared

    Draw({true, true, false});   // two pixels wide
    EXPECT_EQ(Lit(1), std::make_pair(1, 127));

    // Channel 512 sits in column 1022, the last; its second column would be outside the image.
    st->MonitorFrame[512] = 255;
    Draw({true, true, false});
    EXPECT_EQ(Lit(1022), std::make_pair(1, 127));
}

TEST_F(Monitor, ColourModes) {
    Areas(1, 0, 0);
    st->MonitorFrame[1] = 200;
    st->MonitorFrame[2] = 100;
    st->MonitorFrame[3] = 50;
    st->MonitorFrame[4] = 255;
    Draw();
    const uint32_t spot = 0xFFC86432;   // (200, 100, 50)
    EXPECT_EQ(At(0, 127), spot);
    EXPECT_EQ(At(2, 127), spot);
    EXPECT_EQ(At(4, 127), spot);
    EXPECT_EQ(At(6, 127), 0xFFFFFFFFu);

    Draw({false, true, true});
    EXPECT_EQ(At(0, 127), 0xFFFF0000u);
    EXPECT_EQ(At(2, 127), 0xFF008000u);
    EXPECT_EQ(At(4, 127), 0xFF0000FFu);

    for (bool everyCol : {true, false}) {
        Draw({everyCol, false, true});
        for (int x : {0, 2, 4, 6}) EXPECT_EQ(At(x, 127), 0xFFC0C0C0u) << x;
    }

    // 171 spots: the last spot's blue would be channel 513, read as 0.
    Areas(171, 0, 0);
    st->MonitorFrame[511] = 10;
    st->MonitorFrame[512] = 20;
    Draw();
    EXPECT_EQ(At(2 * 510, 127), 0xFF0A1400u);
    EXPECT_EQ(At(2 * 511, 127), 0xFF0A1400u);
}

TEST_F(Monitor, TapsFilledByTheMonitor) {
    for (int i = 0; i <= 512; ++i) {
        d->HandLevel[i] = uint8_t(i);
        d->ChannelMin[i] = uint8_t(i + 1);
        d->ChannelMax[i] = uint8_t(i + 2);
        d->CoderTable[i] = uint16_t(i);
    }
    d->CoderTable[300] = 300;
    for (int i = 0; i < 256; ++i) d->EditorSettings[i] = 0x100 + i;
    struct Case { int tap, ch, want; } cases[] = {
        {10, 7, 7}, {10, 512, 0}, {11, 7, 8}, {12, 7, 9}, {13, 300, 44}, {15, 255, 255}, {15, 0, 0}, {15, 256, 0}, {15, 512, 0},
    };
    for (const Case& c : cases) {
        for (uint8_t& v : st->MonitorFrame) v = 99;
        st->MonitorTap = uint8_t(c.tap);
        FillMonitorTap(*d, *st);
        EXPECT_EQ(st->MonitorFrame[c.ch], c.want) << c.tap << " " << c.ch;
    }
    // A pipeline tap is left to the pipeline.
    st->MonitorFrame[5] = 99;
    st->MonitorTap = 3;
    FillMonitorTap(*d, *st);
    EXPECT_EQ(st->MonitorFrame[5], 99);
}

TEST_F(Monitor, BoxGlidesTowardThePointerAndStopsAtTheEdge) {
    MonitorBoxState b;
    b.MonitorMouseX = 500;
    b.MonitorBoxX = 1;
    GlideMonitorBox(b, 1023);
    EXPECT_EQ(b.MonitorBoxX, 2);
    for (int i = 0; i < 2000; ++i) GlideMonitorBox(b, 300);
    EXPECT_EQ(b.MonitorBoxX, 150);   // W - 150
    b.MonitorMouseX = 100;
    GlideMonitorBox(b, 300);
    EXPECT_EQ(b.MonitorBoxX, 149);
    b.MonitorMouseX = 140;
    GlideMonitorBox(b, 300);
    EXPECT_EQ(b.MonitorBoxX, 148);
    b.MonitorMouseX = 149;   // forward only while left of the pointer
    GlideMonitorBox(b, 300);
    EXPECT_EQ(b.MonitorBoxX, 149);
    GlideMonitorBox(b, 300);
    EXPECT_EQ(b.MonitorBoxX, 149);

    EXPECT_EQ(MonitorChannelText(20), "DMX  : 11");
    EXPECT_EQ(MonitorLevelText(100), "Level: 55");
    EXPECT_EQ(MonitorLevelText(0), "Level: 255");
    EXPECT_EQ(MonitorLevelText(130), "Level: 0");
    EXPECT_EQ(MonitorLevelText(-1), "Level: 0");
}

TEST_F(Monitor, RepaintOnlyAfterAFrame) {
    MonitorBoxState box;
    st->MonitorTap = 10;
    d->HandLevel[1] = 255;
    st->FrameSentFlag = 0;
    EXPECT_EQ(MonitorRepaint(*d, *st, 1030, {}, false, box, pixels.data(), kMonitorImageWidth, kMonitorImageWidth,
                             kMonitorImageHeight),
              -1);
    EXPECT_EQ(At(0, 127), 0x12345678u);
    st->FrameSentFlag = 1;
    EXPECT_EQ(MonitorRepaint(*d, *st, 1030, {}, true, box, pixels.data(), kMonitorImageWidth, kMonitorImageWidth,
                             kMonitorImageHeight),
              1023);
    EXPECT_EQ(st->FrameSentFlag, 0);
    EXPECT_EQ(Lit(0), std::make_pair(1, 127));
}
