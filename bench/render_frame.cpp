// One frame under Mesa's software renderer at 1024x768 into an EGL framebuffer: the preset
// layout with every layer on, and a table of 1000 jets. Run with LIBGL_ALWAYS_SOFTWARE=1.
// The CPU column is the whole process's, the driver's drawing threads included: the work of a
// frame, which the wall time shows only on an idle machine.
#include "visualiser/ui/offscreen_gl.h"
#include "visualiser/ui/renderer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace spirelo;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

OffscreenGl& Context() {
    static OffscreenGl gl;
    static bool made = [] {
        std::string error;
        if (!gl.create(kWidth, kHeight, &error)) {
            std::fprintf(stderr, "no GL context: %s\n", error.c_str());
            return false;
        }
        std::fprintf(stderr, "GL renderer: %s\n", gl.renderer().c_str());
        return true;
    }();
    if (!made) std::exit(1);
    return gl;
}

void Run(benchmark::State& state, VisualiserState& s, const FrameLayers& layers) {
    OffscreenGl& gl = Context();
    gl.makeCurrent();
    SceneRenderer renderer;
    renderer.InitGLState(kWidth, kHeight);
    RecountJets(s.collectors, s.jets);
    SmoothLevels(s.levels, DmxMode::AllOn);
    ViewDefault(s.camera);
    // The first frames compile llvmpipe's state variants; they are not what a running view pays.
    for (int i = 0; i < 5; ++i) renderer.DrawFrame(s, layers);
    gl.finish();
    for (auto _ : state) {
        AdvanceSpiralPhase(s.SpiralPhase);
        renderer.DrawFrame(s, layers);
        gl.finish();
    }
    renderer.Release();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["jets"] = s.jets.JetCount - 1;
}

// The base of the frame times: a frame that only clears colour and depth and waits for the
// driver, as a view's frame costs before anything is drawn.
void BM_FrameClearOnly(benchmark::State& state) {
    OffscreenGl& gl = Context();
    gl.makeCurrent();
    SceneRenderer renderer;
    renderer.InitGLState(kWidth, kHeight);
    for (auto _ : state) {
        gl.clear();
        gl.finish();
    }
    renderer.Release();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameClearOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The floor under a frame: the cheapest frame that writes as many pixels as the frame does
// (its fragments that pass the depth test, overdraw included), cleared and filled with flat
// rectangles. Argument 0: the preset layout with the usual layers; 1: the thousand jets.
FrameLayers Usual();
void FillThousandJets(CollectorTable& t);
void BM_FrameSamePixelsCheapest(benchmark::State& state) {
    OffscreenGl& gl = Context();
    gl.makeCurrent();
    auto s = MakeVisualiserState();
    if (state.range(0) == 0) FillPresetLayout(s->collectors);
    else FillThousandJets(s->collectors);
    RecountJets(s->collectors, s->jets);
    SmoothLevels(s->levels, DmxMode::AllOn);
    ViewDefault(s->camera);
    SceneRenderer renderer;
    renderer.InitGLState(kWidth, kHeight);
    for (int i = 0; i < 3; ++i) renderer.DrawFrame(*s, Usual());
    gl.beginFragmentCount();
    renderer.DrawFrame(*s, Usual());
    long long pixels = gl.endFragmentCount();
    renderer.Release();
    for (auto _ : state) {
        gl.clear();
        gl.fillPixels(pixels);
        gl.finish();
    }
    state.counters["pixels"] = double(pixels);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameSamePixelsCheapest)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Every scene layer on, shaded, neither transparent nor wire-frame: the usual way to watch.
FrameLayers Usual() {
    FrameLayers l;
    l.alfa = false;
    l.wire = false;
    return l;
}

void BM_FramePresetLayout(benchmark::State& state) {
    auto s = MakeVisualiserState();
    FillPresetLayout(s->collectors);
    Run(state, *s, Usual());
}
BENCHMARK(BM_FramePresetLayout)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_FramePresetEveryButtonDown(benchmark::State& state) {
    auto s = MakeVisualiserState();
    FillPresetLayout(s->collectors);
    Run(state, *s, FrameLayers{});
}
BENCHMARK(BM_FramePresetEveryButtonDown)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void FillThousandJets(CollectorTable& t) {
    for (int c = 1; c <= 10; ++c) {
        t.Kind[c] = c % 2 ? kKindRing : kKindLine;
        t.Kolvo[c] = 100;
        t.Size[c] = 2.0f * c;
        t.High[c] = 3 + c % 4;
        t.Naklon[c] = 4;
        t.Proporcia[c] = 180;
        t.Nozzle[c] = 4;
        t.PumpDmx[c] = uint16_t(100 + c);
        t.SpotDmx[c] = uint16_t(1 + 3 * c);
        t.SpotGroups[c] = 1;
    }
}

void BM_FrameThousandJets(benchmark::State& state) {
    auto s = MakeVisualiserState();
    FillThousandJets(s->collectors);
    Run(state, *s, Usual());
}
BENCHMARK(BM_FrameThousandJets)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_FrameThousandJetsStreamsOnly(benchmark::State& state) {
    auto s = MakeVisualiserState();
    CollectorTable& t = s->collectors;
    for (int c = 1; c <= 10; ++c) {
        t.Kind[c] = kKindRing;
        t.Kolvo[c] = 100;
        t.Size[c] = 2.0f * c;
        t.High[c] = 4;
        t.Naklon[c] = 4;
        t.Proporcia[c] = 180;
        t.PumpDmx[c] = uint16_t(100 + c);
    }
    FrameLayers only{false, false, false, true, false, false, false, false, false, false, false, false};
    Run(state, *s, only);
}
BENCHMARK(BM_FrameThousandJetsStreamsOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace


namespace {
// The preset layout with one layer switched off at a time (argument: the layer's index).
void BM_FramePresetWithoutLayer(benchmark::State& state) {
    auto s = MakeVisualiserState();
    FillPresetLayout(s->collectors);
    FrameLayers l = Usual();
    bool* fields[] = {&l.axis, &l.grid, &l.nozzle, &l.streams, &l.cup, &l.water,
                      &l.spot, &l.objects, &l.people, &l.alfa, &l.depth, &l.wire};
    *fields[state.range(0)] = false;
    Run(state, *s, l);
}
BENCHMARK(BM_FramePresetWithoutLayer)->DenseRange(0, 11)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
