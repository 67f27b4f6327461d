// The bundled demo show: a sequencer file whose scenes drive spots (RGB), pumps and valves, a
// track file that plays them on the music's beat, and a Glimmora layout of collectors that use
// the same channels.
#pragma once

#include "core/show_data.h"
#include "visualiser/layout_model.h"

namespace demo {

// Channel plan of the demo installation.
inline constexpr int kSpots = 8;            // spot k: channels 3k+1 .. 3k+3 (R, G, B)
inline constexpr int kFirstPump = 25;       // 8 pumps (inverters): 25..32
inline constexpr int kFirstValve = 33;      // 8 valves: 33..40
inline constexpr int kPumps = 8;
inline constexpr int kValves = 8;

inline constexpr int kSeqSpots = 0;
inline constexpr int kSeqPumps = 1;
inline constexpr int kSeqValves = 2;

inline constexpr int kPumpsStartStep = 20;  // 1 s: the show's first level
inline constexpr int kSpotsStartStep = 40;  // 2 s: channel 1 (red of spot 1) goes to 255
inline constexpr int kValvesStartStep = 60; // 3 s
inline constexpr int kBeatSteps = 10;       // the pumps swap pattern on every beat
inline constexpr int kColourSteps = 40;     // the spots take the next colour every two seconds
inline constexpr int kColours = 8;          // and come back to red after the eighth

// The visualiser's camera on the demo fountain.
inline constexpr int kDemoZoom = 22;          // the camera's Zoom is its negative
inline constexpr int kDemoRotationX = 20;
inline constexpr float kDemoViewerY = -2.0f;

// Fills the sequencer store, options and tracks of d (which the caller has reset).
void BuildDemoSequencers(spirelo::ShowData& d);
void BuildDemoTracks(spirelo::ShowData& d, int songSteps);
void BuildDemoLayout(spirelo::CollectorTable& t);

}  // namespace demo
