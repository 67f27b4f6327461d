#include "playback/scene_input.h"

#include "playback/track_edit.h"

#include <algorithm>

namespace spirelo {

SpotRows InputSpotRows(const ShowData& d, int q) {
    const uint8_t* mask = d.SequencerChannelMask[ClampMaskRow(q)];
    int lo = -1, hi = -1;
    for (int i = 0; i < kChannels; ++i)
        if (mask[i]) {
            if (lo < 0) lo = i;
            hi = i;
        }
    SpotRows r;
    if (lo < 0) return r;
    r.first = lo / 3;
    r.last = std::min(hi / 3, r.first + kInputMaxRows - 1);
    return r;
}

uint32_t InputCellColor(const ShowData& d, int q, int scene, int spot) {
    const uint8_t* levels = d.SequencerStepData[ClampSequencer(q)][ClampSeqStep(scene)];
    auto level = [&](int i) -> uint32_t { return i >= 0 && i < kChannels ? levels[i] : 0; };
    return level(3 * spot) | (level(3 * spot + 1) << 8) | (level(3 * spot + 2) << 16);
}

int InputSceneFromX(int p, int x) {
    return (p + std::clamp(x, 0, 1023) / 16) & 0xFF;
}

uint32_t InputPickColor(int x, int y) {
    x = std::clamp(x, 0, 254);
    y = std::clamp(y, 0, 254);
    const int r = std::max(0, 255 - ((255 - y) * x) / 64);
    const int g = std::max(0, 255 - (x * y) / 64);
    const int b = 2 * x < 255 ? 0 : (2 * x) & 0xFF;
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

void InputRecordStep(ShowData& d, int seq, int scene, int curStep) {
    WriteTrackStep(d, RecordTrack(d), curStep,
                   TrackStepValue{uint8_t(ClampSequencer(seq)), uint8_t(scene), 255, kCmdSetScene});
}

}  // namespace spirelo
