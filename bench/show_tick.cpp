// One show tick with all 32 tracks enabled and changing step: 32 masked scene copies of 512
// channels. The tick runs every 10 ms; the goal is well under 50 us.
#include "playback/show_tick.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace spirelo;

namespace {

struct NullHost : ShowTickHost {
    uint64_t position = 0;
    bool AudioOpen() override { return true; }
    uint32_t ChannelPosition() override { return uint32_t(position); }
    void SetChannelPosition(uint64_t b) override { position = b; }
    void ChannelPlay(bool) override {}
    void SetChannelVolume(float) override {}
    void SoundStop() override {}
    void ClearShowListSelection() override {}
    void PlayListBoxCurrent() override {}
    void setNextFile() override {}
    void ClearAreaForNewSong() override {}
    void RecordingPassEnded(int) override {}
    void CalculateFFT() override {}
    void Redraw(int) override {}
    void ShowRealTime(int) override {}
};

void BM_ShowTick32Tracks(benchmark::State& state) {
    auto d = MakeShowData();
    ShowClock clk;
    ShowTickState st;
    st.FirstTickFlag = 0;
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 8820 * 16000 / 970;
    clk.SongSteps = 16000;
    for (int t = 0; t < kTracks; ++t) {
        st.TrackOn[t + 1] = 1;
        for (int c = 0; c < kChannels; ++c) d->SequencerChannelMask[t][c] = 1;
        for (int s = 0; s <= kMaxShowStep; ++s) {
            d->TrackSeq[t][s] = uint8_t(t);
            d->TrackScene[t][s] = uint8_t(s % 200);
            d->TrackLevel[t][s] = uint8_t(100 + t);      // scaled copy, the slower path
            d->TrackCommand[t][s] = kCmdSetScene;
        }
    }
    for (int t = 0; t < kSequencers; ++t)
        for (int s = 0; s < kSequencerSteps; ++s)
            for (int c = 0; c < kChannels; ++c) d->SequencerStepData[t][s][c] = uint8_t(c + s);
    int32_t avg[kSpectrumBands] = {}, peak[kSpectrumBands] = {};
    ShowTickControls controls;
    controls.BandAverage = avg;
    controls.SpectrumPeak = peak;
    NullHost host;
    int step = 100;
    for (auto _ : state) {
        host.position = uint64_t(step) * 8820;   // a new step each tick: every track applies
        RunShowTick(*d, clk, st, controls, host);
        benchmark::DoNotOptimize(d->DmxFrame[1]);
        step = step >= 15000 ? 100 : step + 1;
    }
}
BENCHMARK(BM_ShowTick32Tracks)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
