// The spectrum analysis of the playing music, run on every show tick: 60 bands with their own
// automatic gain, falling peaks, slow averages and beat flags, a VU level and an automatically
// gained overall level. Plain logic: the window passes the engine's readings and its controls.
#pragma once

#include <cstdint>

namespace spirelo {

inline constexpr int kFftBins = 128;          // FFT256 gives 128 magnitudes
inline constexpr int kFftBands = 60;          // bands 0..59 are bins 0..59
inline constexpr int kFftGainSlots = 64;      // gains 60..63 are set but never used
inline constexpr int kSpectrumHeight = 127;   // height of the spectrum paint box
inline constexpr int kFftDrawnColumns = 58;   // bands 58 and 59 are computed, not drawn
// Upper bound of a band's gain. Silence raises every gain by 10 per tick; unbounded, a long
// silence would leave the bands deaf for minutes (and overflow after weeks). At 10 per tick
// this bound is left within 6.4 s when music returns; it is above every starting gain.
inline constexpr int32_t kBandGainMax = 6400;

struct SpectrumState {
    SpectrumState();   // BandGain[k] = 100 k + 50, as the window's creation sets them

    int32_t BandLevel[kFftBands] = {};
    int32_t BandGain[kFftGainSlots] = {};
    int32_t SpectrumPeak[kFftBands] = {};
    int32_t BandHold[kFftBands] = {};
    int32_t BandAverage[kFftBands] = {};
    uint8_t BeatFlag[kFftBands] = {};
    uint8_t BeatPhase[kFftBands] = {};
    uint8_t BeatCount[kFftBands] = {};
    uint8_t BeatSeen[kFftBands] = {};

    int32_t VuLevel = 1;
    int32_t VuSlow = 1;
    int32_t LevelPeak = 1;
    int32_t LevelSlow = 1;
    int16_t LevelKoef = 128;
    int32_t FftBarIndex = 0;
};

SpectrumState& SpectrumInstance();

// BandGain[k] := 100 k + 50 for k = 0..63 (the window's creation does it).
void InitBandGains(SpectrumState& s);

// The readings of one tick. A failed read is passed as not ok and counts as silence.
struct SpectrumInput {
    const float* Fft = nullptr;     // kFftBins magnitudes; null: all 0
    bool SampleOk = false;
    int16_t SecondSample = 0;       // the second 16-bit sample of the 16 bytes read
    bool LevelOk = false;
    uint32_t Level = 0;             // left level in the low 16 bits
};

// The BPM page's controls as the analysis reads them.
struct SpectrumControls {
    int Decay = 3;          // ScrollBarDecay 1..5
    int Mid = 1;            // ScrollBarMid 1..5
    int Margin = 1;         // ScrollBar2 1..100
    int GainThreshold = 35; // trckbrGain 1..35
    bool Agc = false;       // SpeedButtonAGC down
};

// What the page shows after the tick.
struct SpectrumOutput {
    int ProgressBarDown = 0;   // VuSlow before this tick's update
    int ProgressBarMidl = 0;   // VuLevel
    int PbGain = 0;            // LevelPeak
    int PbGainPlav = 0;        // LevelSlow
    bool SetGainThreshold = false;
    int GainThreshold = 0;     // trckbrGain's new position when SetGainThreshold (LevelKoef div 10)
};

SpectrumOutput CalculateFFT(SpectrumState& s, const SpectrumInput& in, const SpectrumControls& c);

// Round to nearest, ties to even, of gain x magnitude; a magnitude that is not finite is 0.
int32_t BandLevelOf(int32_t gain, float magnitude);

// Drawing geometry: column k spans x = 11k + 1 .. 11k + 11.
inline int SpectrumColumnLeft(int k) { return 11 * k + 1; }
inline int SpectrumColumnRight(int k) { return 11 * k + 11; }

}  // namespace spirelo
