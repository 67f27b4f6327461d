// RecountJets on a full table: 1000 jets spread over ten collectors of every jet type.
#include "visualiser/layout_model.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace spirelo;

namespace {

void FillThousandJets(CollectorTable& t) {
    ResetCollectorTable(t);
    const uint8_t kinds[] = {kKindRing, kKindLine, kKindSpiral, kKindHouse, kKindSingle};
    for (int c = 1; c <= 10; ++c) {
        t.Kind[c] = kinds[(c - 1) % 5];
        t.Kolvo[c] = 100;
        t.Size[c] = 2.0f + c;
        t.High[c] = 4;
        t.Naklon[c] = 3;
        t.Proporcia[c] = 180;
        t.PumpDmx[c] = uint16_t(100 + c);
        t.ValveDmx[c] = uint16_t(200 + 10 * c);
        t.SpotDmx[c] = uint16_t(1 + 30 * c);
        t.SpotGroups[c] = 10;
    }
}

void BM_RecountJetsFullTable(benchmark::State& state) {
    auto t = std::make_unique<CollectorTable>();
    auto jets = std::make_unique<JetTable>();
    FillThousandJets(*t);
    ResetJetTable(*jets);
    for (auto _ : state) {
        RecountJets(*t, *jets);
        benchmark::DoNotOptimize(jets->JetCount);
        benchmark::ClobberMemory();
    }
    state.counters["jets"] = jets->JetCount - 1;
}
BENCHMARK(BM_RecountJetsFullTable);

}  // namespace

BENCHMARK_MAIN();
