#include "playback/track_edit.h"

#include <algorithm>

namespace spirelo {

int RecordTrack(ShowData& d) {
    int t = std::clamp(d.TrackEditState[5], 0, kTracks - 1);
    d.TrackEditState[5] = t;
    return t;
}

void WriteTrackStep(ShowData& d, int track, int step, const TrackStepValue& v) {
    if (track < 0 || track >= kTracks || step < 0 || step > kMaxShowStep) return;
    d.TrackSeq[track][step] = v.seq;
    d.TrackScene[track][step] = v.scene;
    d.TrackLevel[track][step] = v.level;
    d.TrackCommand[track][step] = v.command;
}

}  // namespace spirelo
