// The Keyboard page's drawing on the GUI thread, which it shares with the 10 ms show tick:
// all 26 tiles (PaintCaseKey) and one pointer move over the open assignment panel (hit test,
// scene preview, redraw of the panel).
#include "core/show_data.h"
#include "playback/live_keys.h"
#include "playback/ui/form_sound.h"
#include "visualiser/ui/offscreen_app.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace spirelo;

namespace {

void PrepareKeys(ShowData& d) {
    ResetKeyTables(d);
    for (int k = 0; k < kKeys; ++k) {
        d.KeySeqTable[k] = uint8_t(k % 32);
        d.KeySceneTable[k] = uint8_t(k % 256);
        d.KeyModeTable[k] = uint8_t(k % 7);
    }
    for (int c = 0; c < kChannels; ++c) d.SequencerChannelMask[3][c] = c % 2;
}

void BM_PaintCaseKey(benchmark::State& state) {
    PrepareKeys(ShowDataInstance());
    for (auto _ : state) FormSound->PaintCaseKey();
}
BENCHMARK(BM_PaintCaseKey)->Unit(benchmark::kMicrosecond);

void BM_AssignPanelPointerMove(benchmark::State& state) {
    ShowData& d = ShowDataInstance();
    PrepareKeys(d);
    d.KeyModeTable[0] = kCmdSetScene;   // the full scene grid is drawn
    d.KeySeqTable[0] = 3;
    FormSound->sbPlusScenaRec->setChecked(false);
    FormSound->TileMouseDown('A', Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        const int x = 10 + (i * 37) % 500, y = 62 + (i * 13) % 280;
        FormSound->PaintBoxAssignMouseMove(Qt::NoButton, Qt::NoModifier, x, y);
        ++i;
    }
    FormSound->SpeedButtonCloseWINClick();
}
BENCHMARK(BM_AssignPanelPointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SPIRELO_AUDIO", "null", 0);
    OffscreenApplication app(argc, argv);
    FormSound = new TFormSound();
    FormSound->FormCreate();
    for (QTimer* t : {FormSound->TimerRepaint, FormSound->TimerWindow, FormSound->TimerGistoRate}) t->stop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete FormSound;
    FormSound = nullptr;
    return 0;
}
