// The 10 ms show tick: the music position becomes the show step, and the 32 tracks at that step
// drive the sequencers and DmxFrame. The tick is plain logic; everything it needs from the audio
// engine and the windows comes in through ShowTickControls (what it reads) and ShowTickHost
// (what it asks others to do), so tests run it on their own stores.
#pragma once

#include "core/show_data.h"
#include "playback/show_clock.h"

#include <cstdint>

namespace spirelo {

inline constexpr int kSpectrumBands = 60;

// The sound window's own tick data.
struct ShowTickState {
    uint8_t TrackOn[kTracks + 1] = {};        // entry t + 1 belongs to track t; entry 0 unused
    uint32_t TrackLastStep[kTracks] = {};     // the show step each track was last applied at
    uint8_t FirstTickFlag = 1;
    int32_t StepsLeft = 0;
    // Spectrum sums of the bands, read by the BPM page.
    int32_t BandLowSum = 0, BandMidSum = 0, BandHighSum = 0;
    int32_t PeakLowSum = 0, PeakMidSum = 0, PeakHighSum = 0;
};

ShowTickState& ShowTickStateInstance();

// Control states the tick reads, taken from the sound window (and the main window's DANCE button).
struct ShowTickControls {
    bool PlayTrackDown = true;        // sbPlayTrack: down plays the tracks, up is a recording pass
    int TaprSpring = 10;              // ScrollBarTaprSpring: seek jump in seconds
    int StartPlayList = 1;            // RadioGroupStartPlayList
    int Coda = 0;                     // RadioGroupCoda
    int ClearDmx = 0;                 // rgClearDmx
    bool LastTrack = false;           // CheckBoxLastTrack
    bool DanceDown = false;           // the main window's SpeedButtonModeDance
    bool TrackMouseRecDown = false;   // SpeedButtonTrackMouseRec
    bool OnInversDown = false;        // SpeedButtonOnInvers
    int SeqMouse = 0, ScenaMouse = 0; // ScrollBarSeqMouse, ScrollBarScenaMouse
    int SeqMouseInvers = 2, ScenaMouseInvers = 0;
    int Page = 0;                     // PageControl's active page
    int ShowListCount = 0;            // lines of ListBoxShow
    // Band arrays of the spectrum analysis (kSpectrumBands entries each); null skips the sums.
    const int32_t* BandAverage = nullptr;
    const int32_t* SpectrumPeak = nullptr;
};

// What the tick asks of the audio engine and the windows. Every call happens at its place in
// the tick's order.
class ShowTickHost {
public:
    virtual ~ShowTickHost() = default;
    virtual bool AudioOpen() = 0;                          // a show's audio is open and usable
    virtual uint32_t ChannelPosition() = 0;                // byte position, low 32 bits
    virtual void SetChannelPosition(uint64_t byte) = 0;
    virtual void ChannelPlay(bool restart) = 0;
    virtual void SetChannelVolume(float volume) = 0;       // 0..1
    virtual void SoundStop() = 0;
    virtual void ClearShowListSelection() = 0;
    virtual void PlayListBoxCurrent() = 0;                 // loads show ProgramOptions[24]
    virtual void setNextFile() = 0;                        // next show of the list
    virtual void ClearAreaForNewSong() = 0;                // the logic below plus its window part
    // A recording pass reached the song's end: sbPlayTrack down, SpeedButtonOnInvers up, the
    // record-track bar shows recTrack, the scene input panel is closed.
    virtual void RecordingPassEnded(int recTrack) = 0;
    virtual void CalculateFFT() = 0;                       // FFT data of the channel + analysis
    virtual void Redraw(int page) = 0;
    virtual void ShowRealTime(int curStep) = 0;            // the main window's status panel 0
};

struct ShowTickResult {
    bool audioOpen = false;
    bool showSwitched = false;    // the first tick or the song's end opened another show
};

ShowTickResult RunShowTick(ShowData& d, ShowClock& clk, ShowTickState& st, ShowTickControls c,
                           ShowTickHost& host);

// One track's step at the show step i; steps outside the store read as the empty step.
struct TrackStepValue {
    uint8_t seq = kEmptyTrackSeq, scene = kEmptyScene, level = 0, command = kCmdNothing;
};
TrackStepValue ReadTrackStep(const ShowData& d, int track, int step);

// Applies one track step to the sequencers and DmxFrame (the command table of the tick).
void ApplyTrackStep(ShowData& d, const TrackStepValue& v);

// DmxFrame[c] := scene level x level div 255 on every channel that sequencer s drives.
void CopyLeveledScene(ShowData& d, int seq, int scene, int level);

// The six sums of the spectrum bands.
void ComputeSpectrumSums(const int32_t* BandAverage, const int32_t* SpectrumPeak, ShowTickState& st);

// All sequencers off, DMX buffers cleared, the restart mark at the start of the song.
void ClearAreaForNewSong(ShowData& d, ShowClock& clk);

// Show step text "m:ss:cc" (cc = hundredths, in 5s).
std::string timeTostr(int step);

}  // namespace spirelo
