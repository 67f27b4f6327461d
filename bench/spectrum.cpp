// The spectrum analysis runs on every 10 ms show tick: its cost per tick, on music-like input
// (every band moving) and on silence.
#include <benchmark/benchmark.h>

#include <cmath>

#include "playback/spectrum.h"

using namespace spirelo;

namespace {

void BM_CalculateFFT_Music(benchmark::State& state) {
    // 64 precomputed frames of moving magnitudes, so the loop measures the analysis only.
    static float frames[64][kFftBins];
    for (int f = 0; f < 64; ++f)
        for (int k = 0; k < kFftBins; ++k)
            frames[f][k] = 0.05f * (1.0f + std::sin(0.37f * float(k) + 0.11f * float(f)));
    SpectrumState s;
    SpectrumControls c;
    c.GainThreshold = 10;
    int t = 0;
    for (auto _ : state) {
        SpectrumInput in;
        in.Fft = frames[t & 63];
        in.SampleOk = true;
        in.SecondSample = int16_t((t * 977) % 30000);
        in.LevelOk = true;
        in.Level = uint32_t((t * 131) % 32768);
        benchmark::DoNotOptimize(CalculateFFT(s, in, c));
        ++t;
    }
}
BENCHMARK(BM_CalculateFFT_Music)->Unit(benchmark::kNanosecond);

void BM_CalculateFFT_Silence(benchmark::State& state) {
    SpectrumState s;
    float fft[kFftBins] = {};
    SpectrumInput in;
    in.Fft = fft;
    for (auto _ : state) benchmark::DoNotOptimize(CalculateFFT(s, in, {}));
}
BENCHMARK(BM_CalculateFFT_Silence)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
