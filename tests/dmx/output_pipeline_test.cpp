#include "dmx/output_pipeline.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace spirelo;

namespace {

class Pipeline : public ::testing::Test {
protected:
    void SetUp() override {
        d = MakeShowData();
        ResetShowData(*d);
        st = MakeDmxOutputState();
        InitVibratoWave(*st);
        d->AquelMode = 4;
    }
    // Sequencer g drives channels [from, to] and is stopped (so its channels follow DmxFrame).
    void Drive(int g, int from, int to, uint8_t runState = kRunStop) {
        for (int c = from; c <= to; ++c) d->SequencerChannelMask[g][c - 1] = 1;
        d->SequencerRunState[g] = runState;
    }
    void Effect(int s, uint8_t kind, uint8_t seq, int32_t time, int32_t level, int32_t start = 0, int32_t finish = 100) {
        d->EffectKind[s] = kind;
        d->EffectSeq[s] = seq;
        d->EffectTime[s] = time;
        d->EffectLevel[s] = level;
        d->EffectStart[s] = start;
        d->EffectFinish[s] = finish;
    }
    PipelineRequests Run(int32_t step = 10) { return ProcTimerDMX(*d, *st, step); }

    std::unique_ptr<ShowData> d;
    std::unique_ptr<DmxOutputState> st;
};

}  // namespace

TEST(RaschetSweep, Table) {
    struct Case { int v, mn, mx, want; } cases[] = {
        {255, 10, 200, 200}, {0, 10, 200, 10}, {128, 0, 100, 51}, {128, 64, 192, 131},
        {0, 50, 50, 50},     {77, 50, 50, 50}, {255, 50, 50, 50}, {200, 100, 50, 100},
        {0, 0, 255, 0},      {255, 0, 255, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(raschetSweep(c.v, c.mn, c.mx), c.want) << c.v << " " << c.mn << " " << c.mx;
    for (int v = 0; v < 256; ++v) ASSERT_EQ(raschetSweep(v, 0, 255), v);
}

TEST_F(Pipeline, HandLevelsOnlyInStaticMode) {
    Drive(0, 1, 2);
    d->DmxFrame[1] = 40;
    d->DmxFrame[2] = 50;
    d->HandEnable[1] = 1;
    d->HandLevel[1] = 200;
    d->HandLevel[2] = 210;   // not enabled: follows its sequencer even in STATIC

    d->StaticModeFlag = 0;
    Run();
    EXPECT_EQ(d->DmxOut[1], 40);
    d->StaticModeFlag = 1;
    Run();
    EXPECT_EQ(d->DmxOut[1], 200);
    EXPECT_EQ(d->DmxOut[2], 50);
}

TEST_F(Pipeline, TargetsHoldWhereNoRunningSequencerDrivesTheChannel) {
    Drive(3, 5, 5, kRunPlay);
    Drive(7, 5, 5, kRunStop);
    d->DmxFrame[5] = 90;
    Run();
    EXPECT_EQ(d->DmxOut[5], 90);

    d->SequencerRunState[3] = kRunOff;
    d->SequencerRunState[7] = kRunOff;
    d->DmxFrame[5] = 10;
    Run();
    EXPECT_EQ(d->DmxTarget[5], 90);
    EXPECT_EQ(d->DmxOut[5], 90);

    // Mask column i-1 stands for channel i: a mask on column 5 drives channel 6, not 5.
    d->SequencerChannelMask[9][5] = 1;
    d->SequencerRunState[9] = kRunStop;
    d->DmxFrame[6] = 33;
    Run();
    EXPECT_EQ(d->DmxOut[6], 33);
    EXPECT_EQ(d->DmxOut[5], 90);
}

TEST_F(Pipeline, SlotWithEqualStartAndFinishNeverActs) {
    Drive(0, 1, 1);
    d->DmxFrame[1] = 200;
    Effect(0, 1, 0, 5, 0, 10, 10);
    Run(10);
    EXPECT_EQ(d->DmxOut[1], 200);
}

TEST_F(Pipeline, LowestActiveRateSlotClaimsTheChannelInDance) {
    Drive(0, 1, 1);
    d->DmxFrame[1] = 100;
    Effect(2, 1, 0, 10, 0);   // claims first
    Effect(5, 1, 0, 50, 0);   // would move faster, but never reaches channel 1
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 10);
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 20);

    // An inactive lower slot leaves the channel to the next one.
    d->EffectFinish[2] = 5;
    Run(10);
    EXPECT_EQ(d->DmxSlewed[1], 70);
}

TEST_F(Pipeline, ManualSlotsMoveTheChannelInTurn) {
    d->AquelMode = 3;
    Drive(0, 1, 1);
    d->DmxFrame[1] = 100;
    for (int s = 60; s < 64; ++s) Effect(s, 0, 0, 5, 0, 1, 1);   // kind and window do not matter
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 20);
    // Show slots do nothing outside dance.
    d->AquelMode = 5;
    Effect(0, 1, 0, 1, 0);
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 40);
}

TEST_F(Pipeline, RateSlotStepsEveryNthCycleByAtMostItsTime) {
    Drive(0, 1, 2);
    d->DmxFrame[1] = 100;
    d->DmxFrame[2] = 4;
    Effect(0, 1, 0, 10, 3);
    d->EffectCountdown[0] = 1;
    std::vector<int> seen1, seen2;
    for (int k = 0; k < 7; ++k) {
        Run();
        seen1.push_back(d->DmxSlewed[1]);
        seen2.push_back(d->DmxSlewed[2]);
    }
    EXPECT_EQ(seen1, (std::vector<int>{10, 10, 10, 20, 20, 20, 30}));
    EXPECT_EQ(seen2, (std::vector<int>{4, 4, 4, 4, 4, 4, 4}));
}

TEST_F(Pipeline, DecayRisesAtOnceAndFallsSlowly) {
    Drive(0, 1, 1);
    Effect(0, 2, 0, 30, 0);
    d->DmxFrame[1] = 200;
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 200);
    d->DmxFrame[1] = 100;
    Run();
    EXPECT_EQ(d->DmxSlewed[1], 170);
}

TEST_F(Pipeline, VibratoDepthsAndWaveStep) {
    Drive(0, 1, 1);
    d->DmxFrame[1] = 255;
    d->TrackEditState[12] = 0;

    Effect(0, 3, 0, 0, 0);   // level 0: f = 255, output unchanged
    Run();                   // the stage reads last cycle's slewed level
    for (int k = 0; k < 5; ++k) {
        PipelineRequests r = Run();
        EXPECT_EQ(r.vibratoPosition, 255);
        EXPECT_EQ(d->DmxOut[1], 255);
    }

    // EffectTime 254: 254 div 9 + 1 = 29 levels per cycle.
    InitVibratoWave(*st);
    Effect(0, 3, 0, 254, 0);
    Run();
    EXPECT_EQ(st->VibratoLevel[0], 30);
    Run();
    EXPECT_EQ(st->VibratoLevel[0], 59);

    // EffectLevel 511 at the top of the wave: depth 236, f = 19.
    Effect(0, 3, 0, 254, 511);
    st->VibratoLevel[0] = 250;
    st->VibratoRising[0] = 1;
    PipelineRequests r = Run();
    EXPECT_EQ(st->VibratoLevel[0], 255);
    EXPECT_EQ(st->VibratoRising[0], 0);
    EXPECT_EQ(r.vibratoPosition, 19);
    EXPECT_EQ(d->DmxOut[1], 255 * 19 / 255);

    // The bar follows only the slot the effect editor shows.
    d->TrackEditState[12] = 7;
    EXPECT_EQ(Run().vibratoPosition, -1);
}

TEST_F(Pipeline, MixKindsUseTheSlewedControlChannel) {
    Drive(0, 1, 1);
    Drive(1, 10, 10);
    d->DmxFrame[1] = 200;
    d->DmxFrame[10] = 100;
    struct Case { uint8_t kind; int want; } cases[] = {{4, 200 * 100 / 255}, {5, 150}, {6, 255}};
    for (const Case& c : cases) {
        Effect(0, c.kind, 0, 0, 10);
        Run();   // the control channel passes through in the first cycle
        Run();
        EXPECT_EQ(d->DmxOut[1], c.want) << int(c.kind);
    }
    // A control channel from a file beyond the frame is clamped, never read outside it.
    Effect(0, 6, 0, 0, 100000);
    d->DmxFrame[1] = 10;
    Run();
    Run();
    EXPECT_EQ(d->DmxOut[1], 10);
    Effect(0, 6, 0, 0, -4);
    Run();
    EXPECT_EQ(d->DmxOut[1], 10);
}

TEST_F(Pipeline, InversionComesBeforeMasterAndWindow) {
    d->ProgramOptions[20] = 0;   // no spots: the inverters start at channel 1
    d->ProgramOptions[18] = 4;
    Drive(0, 1, 8);
    d->InvertFlag[1] = 1;        // inverter channel, level 0 -> 255 -> master
    d->InvertFlag[6] = 1;        // outside the inverter area
    d->ProgramOptions[13] = 255;
    Run();
    EXPECT_EQ(d->DmxOut[1], 255);
    EXPECT_EQ(d->DmxOut[6], 255);

    d->ProgramOptions[13] = 0;
    d->ChannelMin[2] = 30;       // the window can still raise a mastered 0
    Run();
    EXPECT_EQ(d->DmxOut[1], 0);
    EXPECT_EQ(d->DmxOut[2], 30);
    EXPECT_EQ(d->DmxOut[6], 255);

    d->ProgramOptions[13] = 128;
    Run();
    EXPECT_EQ(d->DmxOut[1], 128);
}

TEST_F(Pipeline, AreaAndOptionIndexesFromFilesStayInsideTheFrame) {
    Drive(0, 1, 512);
    std::memset(d->DmxFrame + 1, 200, 512);
    d->ProgramOptions[13] = -50;      // treated as 0
    d->ProgramOptions[20] = 178;      // 534 spot channels
    d->ProgramOptions[18] = 128;
    Effect(0, 1, 250, 5, 0);          // sequencer beyond the mask rows
    Run();
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(d->DmxOut[c], 200);   // inverter area lies past 512

    d->ProgramOptions[20] = 100;      // inverters 301..428 scaled to 0
    Run();
    EXPECT_EQ(d->DmxOut[300], 200);
    EXPECT_EQ(d->DmxOut[301], 0);
    EXPECT_EQ(d->DmxOut[428], 0);
    EXPECT_EQ(d->DmxOut[429], 200);
    EXPECT_EQ(d->DmxMastered[0], 0);

    d->ProgramOptions[21] = 100000;
    EXPECT_EQ(ReadoutTopChannel(*d), 487);
    d->ProgramOptions[21] = -3;
    EXPECT_EQ(ReadoutTopChannel(*d), 0);
}

TEST_F(Pipeline, CoderEntriesAbove512AreRewritten) {
    Drive(0, 1, 512);
    d->DmxFrame[512] = 77;
    d->DmxFrame[3] = 11;
    d->CoderTable[5] = 600;
    d->CoderTable[6] = 3;
    d->CoderTable[7] = 0;
    Run();
    EXPECT_EQ(d->CoderTable[5], 512);
    EXPECT_EQ(d->DmxOut[5], 77);
    EXPECT_EQ(d->DmxOut[6], 11);
    EXPECT_EQ(d->DmxOut[7], 0);
}

TEST_F(Pipeline, OffModeBlanksAndRestartsTheStages) {
    Drive(0, 1, 512);
    std::memset(d->DmxFrame + 1, 180, 512);
    Effect(0, 1, 0, 200, 0);
    Run();
    d->AquelMode = 0;
    d->ProgramFlags[9] = 1;
    PipelineRequests r = Run();
    EXPECT_EQ(r.masterVolume, PipelineRequests::Volume::Mute);
    for (int c = 1; c <= 512; ++c) {
        ASSERT_EQ(d->DmxOut[c], 0);
        ASSERT_EQ(d->DmxSlewed[c], 0);
        ASSERT_EQ(d->DmxEffected[c], 0);
    }
    d->AquelMode = 4;
    r = Run();
    EXPECT_EQ(r.masterVolume, PipelineRequests::Volume::Full);
    EXPECT_EQ(d->DmxOut[1], 180);   // rate 200 from 0
    d->ProgramFlags[9] = 0;
    EXPECT_EQ(Run().masterVolume, PipelineRequests::Volume::Unchanged);
}

TEST_F(Pipeline, MonitorTapsCopyTheirStage) {
    Drive(0, 1, 1);
    d->DmxFrame[1] = 100;
    d->InvertFlag[1] = 1;
    st->MonitorTap = 1;
    Run();
    EXPECT_EQ(st->MonitorFrame[1], 100);
    st->MonitorTap = 5;
    Run();
    EXPECT_EQ(st->MonitorFrame[1], 155);
    Effect(0, 1, 0, 1, 0);
    st->MonitorTap = 14;
    Run();
    EXPECT_EQ(st->MonitorFrame[1], 63);
    EXPECT_EQ(st->MonitorFrame[2], 196);
    st->FrameSentFlag = 0;
    Run();
    EXPECT_EQ(st->FrameSentFlag, 1);
}

TEST(OutputReadouts, FormatsAndEveryEleventhCycle) {
    EXPECT_EQ(ReadoutValue(255, ReadoutFormat::Dmx), 255);
    EXPECT_EQ(ReadoutValue(255, ReadoutFormat::Percent), 100);
    EXPECT_EQ(ReadoutValue(255, ReadoutFormat::Hz), 50);
    EXPECT_EQ(ReadoutValue(128, ReadoutFormat::Percent), 50);
    EXPECT_EQ(ReadoutValue(128, ReadoutFormat::Hz), 25);

    auto st = MakeDmxOutputState();
    std::vector<int> refreshes;
    for (int k = 1; k <= 30; ++k)
        if (StepOutputLabelCounter(*st)) refreshes.push_back(k);
    EXPECT_EQ(refreshes, (std::vector<int>{8, 19, 30}));   // counter starts at 3
}

TEST(FrameRate, CountsCyclesOverTheInjectedClock) {
    // FpsLastTicks starts at 0 and the read-out changes once more than 1000 ms have passed.
    FrameRateCounter fps;
    uint32_t now = 0;
    int cycles = 0;
    bool changed = false;
    while (!changed && cycles < 100) {
        changed = fps.tick(now += 15);
        ++cycles;
    }
    EXPECT_EQ(cycles, 67);               // 67 x 15 = 1005 ms, the first tick past 1000
    EXPECT_EQ(fps.text(), "FPS = 66");   // 67 x 1000 / 1005 = 66.67, truncated
    EXPECT_EQ(fps.FpsFrameCount, 0u);
    EXPECT_EQ(fps.FpsLastTicks, 1005u);

    // The tick count wraps like a 32-bit millisecond counter.
    FrameRateCounter w;
    w.FpsLastTicks = 0xFFFFFF00u;
    EXPECT_FALSE(w.tick(0x00000010u));
    EXPECT_TRUE(w.tick(0x00000400u));
    EXPECT_EQ(w.text(), "FPS = 1");
}
