// One DMX monitor repaint in its worst case: 512 channels at 255, two-pixel columns, 170 spots
// in their own colours and the pointer box on. It runs after every output frame on the GUI
// thread, so it has to stay a small part of the 16 ms repaint period.
#include "dmx/monitor.h"
#include "dmx/ui/monitor_picture.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace spirelo;

namespace {

struct WorstCase {
    std::unique_ptr<ShowData> d = MakeShowData();
    std::unique_ptr<DmxOutputState> st = MakeDmxOutputState();
    MonitorLook look{true, true, false};
    MonitorBoxState box;
    WorstCase() {
        ResetShowData(*d);
        d->ProgramOptions[20] = 170;
        st->MonitorTap = 0;
        for (int c = 1; c <= 512; ++c) st->MonitorFrame[c] = 255;
        box.MonitorMouseX = 600;
        box.MonitorMouseY = 40;
    }
};

// The level columns alone, into a plain buffer.
void BM_MonitorColumns(benchmark::State& state) {
    WorstCase w;
    std::vector<uint32_t> pixels(size_t(kMonitorImageWidth) * kMonitorImageHeight);
    for (auto _ : state) {
        w.st->FrameSentFlag = 1;
        benchmark::DoNotOptimize(MonitorRepaint(*w.d, *w.st, 1030, w.look, true, w.box, pixels.data(),
                                                kMonitorImageWidth, kMonitorImageWidth, kMonitorImageHeight));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MonitorColumns)->Unit(benchmark::kMicrosecond);

// The whole repaint of the window's picture: columns, then the box with its texts.
void BM_MonitorRepaint(benchmark::State& state) {
    WorstCase w;
    OffscreenMonitorPicture picture;
    for (auto _ : state) {
        w.st->FrameSentFlag = 1;
        benchmark::DoNotOptimize(picture.repaint(*w.d, *w.st, 1030, w.look, true, w.box));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MonitorRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
