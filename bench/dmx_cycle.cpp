// The 15 ms output cycle's hot paths: the pipeline in dance mode with all 60 show slots active,
// the frame encoder, the hex texts, and the whole cycle (pipeline, frame, both texts).
#include "common/live_data.h"
#include "dmx/live_data_writer.h"
#include "dmx/output_pipeline.h"
#include "dmx/usb_frame.h"
#include "dmx/usb_link.h"
#include "platform/d2xx.h"
#include "platform/d2xx_simulated.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <unistd.h>

using namespace spirelo;

namespace {

// Dance mode, 32 playing sequencers over all 512 channels, 60 active slots of every kind.
// spread: each slot's sequencer covers every 60th channel, so no slot finds its channels
// already claimed (the most work); otherwise every slot covers all 512 channels.
void MakeShow(ShowData& d, DmxOutputState& st, bool spread) {
    ResetShowData(d);
    InitVibratoWave(st);
    d.AquelMode = 4;
    std::mt19937 rng(7);
    for (int c = 1; c <= 512; ++c) {
        d.DmxFrame[c] = uint8_t(rng());
        d.ChannelMin[c] = uint8_t(rng() % 40);
        d.ChannelMax[c] = uint8_t(200 + rng() % 56);
        d.InvertFlag[c] = c % 7 == 0;
    }
    d.ProgramOptions[13] = 200;
    d.ProgramOptions[20] = 50;
    d.ProgramOptions[18] = 100;
    for (int g = 0; g < 32; ++g) {
        d.SequencerRunState[g] = kRunPlay;
        std::memset(d.SequencerChannelMask[g], 1, 512);
    }
    for (int s = 0; s < 60; ++s) {
        int row = 32 + (s % 32);
        std::memset(d.SequencerChannelMask[row], spread ? 0 : 1, 512);
        d.EffectKind[s] = uint8_t(1 + s % 6);
        d.EffectSeq[s] = uint8_t(row);
        d.EffectStart[s] = 0;
        d.EffectFinish[s] = 1000;
        d.EffectTime[s] = 20 + s;
        d.EffectLevel[s] = d.EffectKind[s] >= 4 ? 1 + s * 7 : s % 4;
    }
    if (spread)
        for (int c = 1; c <= 512; ++c) d.SequencerChannelMask[32 + ((c % 60) % 32)][c - 1] = 1;
}

void BM_ProcTimerDMX(benchmark::State& state) {
    auto d = MakeShowData();
    auto st = MakeDmxOutputState();
    MakeShow(*d, *st, state.range(0) != 0);
    ProcTimerDMX(*d, *st, 500);
    for (auto _ : state) {
        ProcTimerDMX(*d, *st, 500);
        benchmark::DoNotOptimize(d->DmxOut[1]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProcTimerDMX)->Arg(0)->Arg(1)->ArgName("spread");

// The cycle right after every channel's min/max window changed (e.g. the reset to 0..255):
// each channel's scaling table is rebuilt once.
void BM_ProcTimerDMXAllWindowsChanged(benchmark::State& state) {
    auto d = MakeShowData();
    auto st = MakeDmxOutputState();
    MakeShow(*d, *st, true);
    uint8_t flip = 0;
    for (auto _ : state) {
        flip ^= 1;
        for (int c = 1; c <= 512; ++c) d->ChannelMin[c] = flip;
        ProcTimerDMX(*d, *st, 500);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProcTimerDMXAllWindowsChanged);

void BM_DmxUsbFrame(benchmark::State& state) {
    uint8_t out[513], send[513];
    std::mt19937 rng(3);
    for (auto& v : out) v = uint8_t(rng());
    uint8_t frame[kMaxDmxUsbFrame];
    const uint8_t format = state.range(0) ? kOutputFormatStream : kOutputFormatPlain;
    for (auto _ : state) {
        FillSendBuffer(out, send, format, 5, 17);
        benchmark::DoNotOptimize(BuildDmxUsbFrame(send, format, 5, 17, frame));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DmxUsbFrame)->Arg(0)->Arg(1)->ArgName("stream");

void BM_HexText(benchmark::State& state) {
    uint8_t levels[512];
    std::mt19937 rng(5);
    for (auto& v : levels) v = uint8_t(rng());
    char text[kLiveTextSize];
    for (auto _ : state) {
        EncodeHexLevels(levels, 512, text);
        benchmark::DoNotOptimize(text[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HexText);

void BM_WholeCycle(benchmark::State& state) {
    auto d = MakeShowData();
    auto st = MakeDmxOutputState();
    MakeShow(*d, *st, state.range(0) != 0);
    LiveDataSections live;
    live.DmxName = "SpireloBenchDmx_" + std::to_string(::getpid());
    live.SpectrName = "SpireloBenchSpectr_" + std::to_string(::getpid());
    RecordingMessages msgs;
    if (!FileMappingToON(*d, live, msgs)) {
        state.SkipWithError("no shared memory");
        return;
    }
    int32_t peaks[31] = {};
    for (int k = 1; k <= 30; ++k) peaks[k] = k * 9;
    uint8_t frame[kMaxDmxUsbFrame];
    for (auto _ : state) {
        ProcTimerDMX(*d, *st, 500);
        FillSendBuffer(d->DmxOut, d->DmxSendBuffer, kOutputFormatPlain, 0, 0);
        benchmark::DoNotOptimize(BuildDmxUsbFrame(d->DmxSendBuffer, kOutputFormatPlain, 0, 0, frame));
        WriteLiveData(*d, live, {peaks});
        benchmark::ClobberMemory();
    }
    FileMappingOFF(*d, live);
    SharedSection::unlink(live.DmxName);
    SharedSection::unlink(live.SpectrName);
}
BENCHMARK(BM_WholeCycle)->Arg(0)->Arg(1)->ArgName("spread");

// One cycle's sending step: to the simulated device, and on libftdi1 with no device plugged
// in (each cycle then lists the bus and tries one open).
void BM_SendToUsb(benchmark::State& state) {
    auto d = MakeShowData();
    auto st = MakeDmxOutputState();
    std::unique_ptr<D2xx> layer;
    if (state.range(0)) layer = MakeLibFtdiD2xx();
    else layer = std::make_unique<SimulatedD2xx>();
    UsbLink link(*layer, 1);
    link.InitUsbDevise();
    for (auto _ : state) link.SendToUsb(*d, *st);
    state.SetLabel(link.UsbStatusText);
}
BENCHMARK(BM_SendToUsb)->Arg(0)->Arg(1)->ArgName("libftdi");

}  // namespace

BENCHMARK_MAIN();
