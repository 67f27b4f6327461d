// One step-timer expiry (the masked copy of a 512-channel scene into DmxFrame and the move to
// the next step), and a second of show with all 32 sequencers playing at 10 ms steps.
#include "core/show_data.h"
#include "sequencer/sequencer_store.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace spirelo;

std::unique_ptr<ShowData> PlayingShow(int stepTime) {
    auto d = MakeShowData();
    ResetSequenceData(*d);
    for (int s = 0; s < kSequencers; ++s) {
        for (int c = 0; c < kChannels; ++c) d->SequencerChannelMask[s][c] = (c + s) % 3 != 0;
        for (int t = 0; t < kSequencerSteps; ++t) {
            d->SequencerStepWords[s][t] = uint16_t(stepTime);
            for (int c = 0; c < kChannels; ++c) d->SequencerStepData[s][t][c] = uint8_t(t + c);
        }
        d->SequencerStepWords[s][120] = kWordLoop;
        d->SequencerRunState[s] = kRunPlay;
    }
    return d;
}

void BM_OneExpiry(benchmark::State& state) {
    auto d = PlayingShow(10);
    int interval = kStartInterval;
    for (auto _ : state) {
        interval = SequencerExpiry(*d, 0, interval).interval;
        benchmark::DoNotOptimize(d->DmxFrame);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OneExpiry);

void BM_SceneCopy512(benchmark::State& state) {
    auto d = PlayingShow(10);
    int step = 0;
    for (auto _ : state) {
        CopySceneToFrame(*d, 5, step);
        step = (step + 1) & 0xFF;
        benchmark::DoNotOptimize(d->DmxFrame);
    }
    state.SetBytesProcessed(state.iterations() * kChannels);
}
BENCHMARK(BM_SceneCopy512);

// 32 sequencers x 100 expiries = one second of show at 10 ms steps. The reported time per
// iteration is the CPU time the step logic takes per second of show.
void BM_SecondOfShow32At10ms(benchmark::State& state) {
    auto d = PlayingShow(10);
    int intervals[kSequencers];
    for (int& i : intervals) i = 10;
    for (auto _ : state) {
        for (int tick = 0; tick < 100; ++tick)
            for (int s = 0; s < kSequencers; ++s) intervals[s] = SequencerExpiry(*d, s, intervals[s]).interval;
        benchmark::DoNotOptimize(d->DmxFrame);
    }
    state.counters["expiries"] = benchmark::Counter(double(state.iterations()) * 100 * kSequencers,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SecondOfShow32At10ms)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
