// The Tracks and Effects pages' pictures with the window's paint functions, into images of the
// boxes' sizes. DrawTracks and the cursor copy run in the 10 ms tick (goal under 0.5 ms), the
// histogram every 224 ms on the same thread (goal under 5 ms), the effect timeline in the tick
// during a drag (goal under 1 ms).
#include "playback/effect_editor.h"
#include "playback/track_edit.h"
#include "playback/ui/track_paint.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace spirelo;

namespace {

std::unique_ptr<ShowData> FullShow() {
    auto d = MakeShowData();
    for (int t = 0; t < kTracks; ++t)
        for (int s = 0; s <= kMaxShowStep; ++s) {
            d->TrackSeq[t][s] = uint8_t(t);
            d->TrackScene[t][s] = uint8_t(s % 200);
            d->TrackLevel[t][s] = uint8_t(11 + (s * 7 + t * 13) % 245);   // all above 10
            d->TrackCommand[t][s] = kCmdSetScene;
        }
    for (int q = 0; q < kSequencers; ++q)
        for (int s = 0; s < kSequencerSteps; ++s)
            for (int c = 0; c < 3; ++c) d->SequencerStepData[q][s][c] = uint8_t(s + 40 * c);
    return d;
}

void BM_DrawTracks(benchmark::State& state) {
    auto d = FullShow();
    ShowClock clk;
    clk.CurStep = 8000;
    clk.HoverStep = 8010;
    clk.HoverX = 400;
    clk.HoverY = 30;
    QImage rec(970, 129, QImage::Format_RGB32), view(970, 64, QImage::Format_RGB32);
    QImage gisto(970, 130, QImage::Format_RGB32), cursor;
    gisto.fill(Qt::black);
    for (auto _ : state) {
        clk.HoverCountdown = kHoverPaints;
        {
            QPainter p(&rec);
            PaintRecordView(p, RecordViewOf(*d, clk, ""), rec.width(), rec.height());
        }
        for (int v = 0; v < 3; ++v) {
            QPainter p(&view);
            PaintWatchedView(p, WatchedViewOf(*d, 1 + v, clk.CurStep, ""), view.width(), view.height());
        }
        cursor = gisto.copy();
        QPainter p(&cursor);
        p.setPen(Qt::white);
        p.drawLine(480, 0, 480, 128);
        p.end();
        benchmark::DoNotOptimize(cursor.constBits());
    }
}
BENCHMARK(BM_DrawTracks)->Unit(benchmark::kMicrosecond);

void BM_RefreshGisto(benchmark::State& state) {
    auto d = FullShow();
    ShowTickState st;
    SetAllTracks(st, true);
    GistoOptions o;
    o.currentOnTop = true;
    o.bars = state.range(0) == 1;
    QImage img(970, 130, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        PaintGisto(p, GistoLayersOf(*d, st, kMaxShowStep, o, img.width()), img.width(), img.height());
    }
    state.SetLabel(o.bars ? "bars" : "lines");
}
BENCHMARK(BM_RefreshGisto)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_DrawEffectViewDragging(benchmark::State& state) {
    auto d = FullShow();
    ShowClock clk;
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 8820 * 16300 / 970;
    for (int e = 0; e < kEffects; ++e) {
        d->EffectKind[e] = uint8_t(1 + e % 6);
        d->EffectStart[e] = 200 * e;
        d->EffectFinish[e] = 200 * e + 3000;
    }
    EffectDragState drag;
    EffectPress(*d, clk, drag, true, false, EffectStepToX(5000, clk), 6 * 20 + 2);
    EffectMove(*d, clk, drag, EffectStepToX(5000, clk) + 40);
    clk.EffectHoverX = EffectStepToX(5000, clk) + 40;
    clk.EffectHoverY = 6 * 20 + 2;
    EffectViewInputs in;
    in.current = 20;
    in.drag = EffectDragViewOf(drag);
    in.playCursorX = 300;
    QImage img(970, 397, QImage::Format_RGB32);
    for (auto _ : state) {
        clk.EffectHoverCountdown = 300;
        QPainter p(&img);
        PaintEffectView(p, *d, clk, in, img.width(), img.height());
    }
}
BENCHMARK(BM_DrawEffectViewDragging)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
