// The area pages' render, run on every expiry of the shown sequencer and every mouse move over
// a grid: each area with 1,024 driven cells, every bar kind, the pattern band, the information
// box and a selection outline. Also the undo snapshot, taken once per burst of edits.
#include "core/show_data.h"
#include "sequencer/scene_editor.h"
#include "sequencer/ui/area_render.h"
#include "visualiser/ui/offscreen_app.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace spirelo;

namespace {

struct Fixture {
    std::unique_ptr<ShowData> d = MakeShowData();
    SequencerEditState e;
    AreaPictures pictures;

    Fixture() {
        ResetSequenceData(*d);
        for (int c = 0; c < kChannels; ++c) d->SequencerChannelMask[0][c] = 1;
        for (int t = 0; t < kSequencerSteps; ++t)
            for (int c = 0; c < kChannels; ++c) d->SequencerStepData[0][t][c] = uint8_t(t * 7 + c * 13);
        // Every bar kind: the four marks, a tempo and a word that draws no bar.
        const uint16_t words[] = {0, 1, 2, 3, 1000, 5};
        for (int t = 0; t < kSequencerSteps; ++t) d->SequencerStepWords[0][t] = words[t % 6];
        d->SequencerRunState[0] = kRunStop;
        e.PatternFrom = 4;
        e.PatternTo = 20;
        e.InfoBoxX = 250;
        e.InfoBoxY = 250;
        e.InfoStep = 16;
        e.InfoRow = 16;
        e.InfoBoxOnCell = 1;
        e.AreaSelX1 = 3;
        e.AreaSelY1 = 4;
        e.AreaSelX2 = 20;
        e.AreaSelY2 = 25;
    }
    AreaRenderJob Job(AreaPage page, AreaTool tool) const {
        AreaRenderJob s;
        s.page = page;
        s.view = {0, 0, page == AreaPage::Spots ? 100 : 300};
        s.currentStep = 10;
        s.face = QColor(239, 239, 239);
        s.tool = tool;
        return s;
    }
};

void RenderLoop(benchmark::State& state, AreaPage page, AreaTool tool) {
    Fixture f;
    const AreaRenderJob job = f.Job(page, tool);
    for (auto _ : state) {
        // The outline shows while a corner is taken.
        f.e.SpotToolState = f.e.KlapanToolState = 1;
        RenderArea(f.pictures.area, f.pictures.strip, *f.d, f.e, job);
        benchmark::DoNotOptimize(f.pictures.area.constBits());
    }
}

void BM_RenderSpotArea(benchmark::State& state) { RenderLoop(state, AreaPage::Spots, AreaTool::Rect); }
void BM_RenderSpotAreaLineOutline(benchmark::State& state) { RenderLoop(state, AreaPage::Spots, AreaTool::Line); }
void BM_RenderChannelArea(benchmark::State& state) { RenderLoop(state, AreaPage::Channels, AreaTool::CopySelect); }

void BM_UndoSnapshot(benchmark::State& state) {
    Fixture f;
    UndoStore undo;
    for (auto _ : state) {
        undo.save(*f.d);
        undo.burstEnded();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(UndoStore::kSnapshotBytes));
}

}  // namespace

BENCHMARK(BM_RenderSpotArea)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderSpotAreaLineOutline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderChannelArea)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    OffscreenApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
