// Track editing shared by the track pages, live keys and the input and assignment panels.
#pragma once

#include "core/show_data.h"
#include "playback/show_tick.h"

namespace spirelo {

// The track that recording and editing write: TrackEditState[5] clamped to 0..31 and stored
// back, so a bad value in a track file can never index past the planes.
int RecordTrack(ShowData& d);

// Writes one track step; steps outside 0..16300 are dropped.
void WriteTrackStep(ShowData& d, int track, int step, const TrackStepValue& v);

}  // namespace spirelo
