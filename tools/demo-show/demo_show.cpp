#include "demo_show.h"

#include "common/text_codec.h"
#include "common/window_places.h"

#include <cstring>

namespace demo {

using namespace spirelo;

namespace {
void Name(uint8_t* field, const char* utf8) { Utf8ToNameField(utf8, field, kNameLen); }

void Mask(ShowData& d, int seq, int first, int count) {
    for (int c = first; c < first + count; ++c) d.SequencerChannelMask[seq][c - 1] = 1;
}

void Step(ShowData& d, int track, int step, int seq, int scene, int level, int command) {
    if (step < 0 || step > kMaxShowStep) return;
    d.TrackSeq[track][step] = static_cast<uint8_t>(seq);
    d.TrackScene[track][step] = static_cast<uint8_t>(scene);
    d.TrackLevel[track][step] = static_cast<uint8_t>(level);
    d.TrackCommand[track][step] = static_cast<uint8_t>(command);
}
}  // namespace

void BuildDemoSequencers(ShowData& d) {
    // The channel areas of the installation: spots first, then inverters, then valves.
    d.ProgramOptions[20] = kSpots;
    d.ProgramOptions[18] = kPumps;
    d.ProgramOptions[19] = kValves;
    d.ProgramOptions[3] = 1;    // at the end of the song: repeat it
    d.ProgramOptions[10] = 1;   // at start: play the last show
    d.ProgramFlags[1] = 1;      // show the sound window at start
    // The sound window at its first place, below the tool bar, where Glimmora leaves room for it.
    d.ProgramOptions[8] = kToolBarBand;
    d.ProgramOptions[9] = 0;

    // Spots: eight colours, all spots alike, one scene every half second when played.
    static const uint8_t colours[kColours][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {255, 200, 0},
                                                  {255, 0, 255}, {0, 255, 255}, {255, 255, 255}, {255, 96, 0}};
    Name(d.SequencerNames[kSeqSpots], "Spots RGB");
    Mask(d, kSeqSpots, 1, 3 * kSpots);
    for (int scene = 0; scene < kColours; ++scene) {
        for (int s = 0; s < kSpots; ++s)
            for (int k = 0; k < 3; ++k) d.SequencerStepData[kSeqSpots][scene][3 * s + k] = colours[scene][k];
        d.SequencerStepWords[kSeqSpots][scene] = 500;
    }
    d.SequencerStepWords[kSeqSpots][kColours] = 3;   // back to the first scene

    // Pumps: off, all high, and two alternating patterns that the tracks swap on the beat.
    Name(d.SequencerNames[kSeqPumps], "Pumps");
    Mask(d, kSeqPumps, kFirstPump, kPumps);
    for (int p = 0; p < kPumps; ++p) {
        uint8_t* base = &d.SequencerStepData[kSeqPumps][0][kFirstPump - 1 + p];
        base[0 * kChannels] = 0;
        base[1 * kChannels] = 200;
        base[2 * kChannels] = (p % 2 == 0) ? 255 : 90;
        base[3 * kChannels] = (p % 2 == 0) ? 90 : 255;
    }

    // Valves: a chase, one valve open at a time, a quarter second each.
    Name(d.SequencerNames[kSeqValves], "Valves");
    Mask(d, kSeqValves, kFirstValve, kValves);
    for (int v = 0; v < kValves; ++v) {
        d.SequencerStepData[kSeqValves][v][kFirstValve - 1 + v] = 255;
        d.SequencerStepWords[kSeqValves][v] = 250;
    }
    d.SequencerStepWords[kSeqValves][kValves] = 3;
}

void BuildDemoTracks(ShowData& d, int songSteps) {
    Name(d.TrackNames[0], "Spots");
    Name(d.TrackNames[1], "Pumps beat");
    Name(d.TrackNames[2], "Valves");
    Name(d.TrackNames[3], "Blackout");
    const int last = songSteps - 40;   // two seconds before the end everything rests
    // Track 0: a new colour every two seconds.
    for (int step = kSpotsStartStep, scene = 0; step < last; step += kColourSteps, scene = (scene + 1) % kColours)
        Step(d, 0, step, kSeqSpots, scene, 255, kCmdSetScene);
    // Track 1: the pumps swap pattern on every beat.
    for (int step = kPumpsStartStep, k = 0; step < last; step += kBeatSteps, ++k)
        Step(d, 1, step, kSeqPumps, 2 + (k % 2), 255, kCmdSetScene);
    // Track 2: the valve chase runs on its own sequencer from second 3.
    Step(d, 2, kValvesStartStep, kSeqValves, 0, 255, kCmdSeqPlay);
    Step(d, 2, last, kSeqValves, 0, 0, kCmdSeqStop);
    // Track 3: blackout at the end.
    for (int seq : {kSeqSpots, kSeqPumps, kSeqValves}) Step(d, 3, last + 2 + seq, seq, kBlankScene, 0, kCmdNothing);
}

void BuildDemoLayout(CollectorTable& t) {
    ResetCollectorTable(t);
    // One tour view point, the same as the camera the settings give, so the view stands still.
    t.TourZoom[0] = kDemoZoom;
    t.TourRotX[0] = kDemoRotationX;
    t.TourRotY[0] = 0;
    t.TourRotZ[0] = 0;
    t.TourViewerX[0] = 0.0f;
    t.TourViewerY[0] = kDemoViewerY;
    t.TourLast() = 0;
    // A ring of eight jets, each with its own pump, valve and spot.
    int c = 1;
    t.Kind[c] = kKindRing;
    t.Kolvo[c] = 8;
    t.Size[c] = 8.0f;
    t.High[c] = 4.0f;
    t.Proporcia[c] = 180;
    t.PumpDmx[c] = kFirstPump;
    t.ValveDmx[c] = kFirstValve;
    t.SpotDmx[c] = 1;
    t.SpotGroups[c] = 8;
    SetCollectorName(t, c, "Ring");
    // A tall centre jet on pump 1, lit by spot 1.
    c = 2;
    t.Kind[c] = kKindSingle;
    t.Kolvo[c] = 1;
    t.High[c] = 8.0f;
    t.PumpDmx[c] = kFirstPump;
    t.SpotDmx[c] = 1;
    t.SpotGroups[c] = 1;
    SetCollectorName(t, c, "Centre");
    // A line of five jets at the back on pump 2, lit by spot 2.
    c = 3;
    t.Kind[c] = kKindLine;
    t.Kolvo[c] = 5;
    t.Size[c] = 8.0f;
    t.Z[c] = -6.0f;
    t.High[c] = 3.0f;
    t.PumpDmx[c] = kFirstPump + 1;
    t.SpotDmx[c] = 4;
    t.SpotGroups[c] = 1;
    SetCollectorName(t, c, "Back line");
}

}  // namespace demo
