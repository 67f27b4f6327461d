// One tick of the layout window's one-second timer: the top-view diagram into its 1000 x 1000
// bitmap, then the jets rebuilt. The "WR" preset, and the worst case of 100 rings of 254
// nozzles with the grid on (25,400 dots). Runs on the offscreen platform.
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/offscreen_app.h"
#include "visualiser/visualiser_state.h"

#include <benchmark/benchmark.h>

using namespace spirelo;

namespace {

void Run(benchmark::State& state) {
    for (auto _ : state) FormSet->TimerPaintTimer();
    int dots = 0;
    const CollectorTable& t = VisualiserInstance().collectors;
    for (int c = 1; c <= kCollectors; ++c)
        if (t.Kind[c] == kKindRing || t.Kind[c] == kKindLine) dots += t.Kolvo[c];
    state.counters["dots"] = dots;
}

void Prepare(bool grid) {
    ResetVisualiserTables(VisualiserInstance());
    FormSet->SpeedButtonGrid->setChecked(grid);
}

void BM_TimerPaintPreset(benchmark::State& state) {
    Prepare(false);
    FillPresetLayout(VisualiserInstance().collectors);
    Run(state);
}
BENCHMARK(BM_TimerPaintPreset)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TimerPaintHundredRingsWithGrid(benchmark::State& state) {
    Prepare(true);
    CollectorTable& t = VisualiserInstance().collectors;
    for (int c = 1; c <= kCollectors; ++c) {
        t.Kind[c] = kKindRing;
        t.Kolvo[c] = 254;
        t.X[c] = float((c % 10) * 9 - 45);
        t.Z[c] = float((c / 10) * 9 - 45);
        t.Size[c] = 8;
        t.RotatAll[c] = float(c);
        t.Proporcia[c] = 180;
    }
    Run(state);
}
BENCHMARK(BM_TimerPaintHundredRingsWithGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    OffscreenApplication app(argc, argv);
    // The windows as the program has them; the main window's GL view is never shown here.
    FormMain = new TFormMain;
    FormSet = new TFormSet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete FormSet;
    FormSet = nullptr;
    delete FormMain;
    FormMain = nullptr;
    return 0;
}
