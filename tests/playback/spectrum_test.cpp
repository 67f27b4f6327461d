#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player_fixtures.h"
#include "playback/player.h"
#include "playback/spectrum.h"

using namespace spirelo;
using namespace spirelo::testing;

namespace {

struct Fft {
    float bins[kFftBins] = {};
};

SpectrumOutput Tick(SpectrumState& s, const Fft& f, const SpectrumControls& c = {}, uint32_t level = 0,
                    int16_t sample = 0) {
    SpectrumInput in;
    in.Fft = f.bins;
    in.SampleOk = true;
    in.SecondSample = sample;
    in.LevelOk = true;
    in.Level = level;
    return CalculateFFT(s, in, c);
}

TEST(Spectrum, StartingGainsAndRounding) {
    SpectrumState s;
    EXPECT_EQ(s.BandGain[0], 50);
    EXPECT_EQ(s.BandGain[59], 5950);
    EXPECT_EQ(s.BandGain[63], 6350);
    EXPECT_EQ(s.LevelKoef, 128);
    EXPECT_EQ(BandLevelOf(100, 0.125f), 12);    // 12.5 -> 12
    EXPECT_EQ(BandLevelOf(100, 0.135f), 14);    // 13.5 -> 14
    EXPECT_EQ(BandLevelOf(100, NAN), 0);
}

TEST(Spectrum, SilenceRaisesGainsToTheBoundDropsPeaksAndGivesNoBeat) {
    SpectrumState s;
    SpectrumControls c;          // decay 3
    for (int k = 0; k < kFftBands; ++k) s.SpectrumPeak[k] = 127, s.BandAverage[k] = 60;
    Fft silent;
    Tick(s, silent, c);
    EXPECT_EQ(s.BandGain[0], 60);               // + 10 per tick
    EXPECT_EQ(s.SpectrumPeak[0], 127 - 3 - 3);  // decay + 3 per tick
    EXPECT_EQ(s.BandAverage[0], 59);
    for (int t = 0; t < 100000; ++t) Tick(s, silent, c);   // about 17 minutes
    for (int k = 0; k < kFftBands; ++k) {
        EXPECT_EQ(s.BandGain[k], kBandGainMax);
        EXPECT_EQ(s.SpectrumPeak[k], 0);
        EXPECT_EQ(s.BandAverage[k], 1);
        EXPECT_EQ(s.BeatFlag[k], 0);
    }
    EXPECT_EQ(s.BandGain[63], 6350);   // never used, never touched
}

TEST(Spectrum, BandsRecoverWithinSecondsWhenMusicReturnsAfterSilence) {
    SpectrumState s;
    Fft silent, tone;
    for (int t = 0; t < 100000; ++t) Tick(s, silent);
    tone.bins[10] = 0.05f;   // a moderate tone: settles where the level is near 14 (gain ~280)
    int ticks = 0;
    while (s.BandLevel[10] > 20 && ticks < 100000) {
        Tick(s, tone);
        ++ticks;
    }
    EXPECT_LT(ticks * 10, 7000) << "ms until the band is out of saturation";
}

TEST(Spectrum, SteadyToneSettlesNearFourteen) {
    SpectrumState s;
    SpectrumControls c;
    c.GainThreshold = 5;
    c.Margin = 1;
    Fft tone;
    tone.bins[3] = 0.1f;   // gain 350 gives level 35 at the start
    int beats = 0;
    uint8_t lastPhase = s.BeatPhase[3];
    for (int t = 0; t < 3000; ++t) {
        Tick(s, tone, c);
        if (s.BeatPhase[3] != lastPhase) ++beats, lastPhase = s.BeatPhase[3];
    }
    EXPECT_NEAR(s.BandLevel[3], 14, 1);
    EXPECT_NEAR(s.BandGain[3], 140, 10);
    EXPECT_NEAR(s.BandAverage[3], 14, 1);
    // The detector starts disarmed (its counter equals the last seen value) and a steady tone
    // never falls below the threshold to re-arm it.
    EXPECT_EQ(beats, 0);
}

TEST(Spectrum, BeatNeedsAFallBeforeTheNextRise) {
    SpectrumState s;
    SpectrumControls c;
    c.GainThreshold = 5;
    c.Margin = 1;
    s.BandGain[4] = 100;
    s.BandAverage[4] = 10;
    Fft quiet, loud;
    loud.bins[4] = 1.0f;
    // Quiet first: below the average less the margin and below the threshold re-arms.
    Tick(s, quiet, c);
    EXPECT_EQ(s.BeatCount[4], 1);
    Tick(s, loud, c);
    EXPECT_EQ(s.BeatFlag[4], 1);
    EXPECT_EQ(s.BeatPhase[4], 1);
    Tick(s, loud, c);   // still loud: no second beat
    EXPECT_EQ(s.BeatPhase[4], 1);
    for (int i = 0; i < 4; ++i) {
        s.BandGain[4] = 100;
        Tick(s, quiet, c);
        s.BandGain[4] = 100;
        Tick(s, loud, c);
    }
    EXPECT_EQ(s.BeatPhase[4], 1);   // four more beats: 2, 3, 0, 1
}

TEST(Spectrum, GeneratedTonesLightTheirOwnBands) {
    // Magnitudes as the engine gives them for pure tones: a peak at the tone's bin with Hann
    // leakage into the neighbours.
    for (int bin : {2, 17, 40}) {
        SpectrumState s;
        Fft f;
        f.bins[bin] = 1.0f;
        f.bins[bin - 1] = f.bins[bin + 1] = 0.5f;
        for (int t = 0; t < 5; ++t) Tick(s, f);
        for (int k = 0; k < kFftBands; ++k) {
            if (std::abs(k - bin) <= 1)
                EXPECT_GT(s.SpectrumPeak[k], 0) << bin << " " << k;
            else
                EXPECT_EQ(s.SpectrumPeak[k], 0) << bin << " " << k;
        }
        EXPECT_EQ(s.SpectrumPeak[bin], kSpectrumHeight) << bin;   // limited to the box height
    }
}

TEST(Spectrum, VuLevelAndSlowFollower) {
    SpectrumState s;
    SpectrumControls c;
    c.Mid = 2;
    Fft f;
    auto out = Tick(s, f, c, 0, 196 * 100);
    EXPECT_EQ(s.VuLevel, 100);
    EXPECT_EQ(out.ProgressBarMidl, 100);
    EXPECT_EQ(out.ProgressBarDown, 1);   // the value before this tick
    EXPECT_EQ(s.VuSlow, 3);
    Tick(s, f, c, 0, 196 * 50);          // lower: falls by 3
    EXPECT_EQ(s.VuLevel, 97);
    Tick(s, f, c, 0, -196 * 5);          // negative sample: 0
    EXPECT_EQ(s.VuLevel, 0);
    Tick(s, f, c, 0, 0);                 // stays within 0..255
    EXPECT_EQ(s.VuLevel, 0);
}

TEST(Spectrum, OverallLevelRisesByThirtyAndTheDivisorSeeksOneHundredTwentyEight) {
    SpectrumState s;
    Fft f;
    const uint32_t loud = 32768 | (32768u << 16);   // lev = 32768 / 128 = 256
    Tick(s, f, {}, loud);
    EXPECT_EQ(s.LevelPeak, 1 + 30 - 2);
    Tick(s, f, {}, loud);
    EXPECT_EQ(s.LevelPeak, 29 + 30 - 2);
    for (int t = 0; t < 20000; ++t) Tick(s, f, {}, loud);
    EXPECT_GE(s.LevelKoef, 96);
    EXPECT_LE(s.LevelKoef, 513);
    EXPECT_NEAR(s.LevelSlow, 128, 20);

    // A failed level read counts as silence, not as the failure value's 65535.
    SpectrumState quiet;
    SpectrumInput in;
    in.Fft = f.bins;
    in.LevelOk = false;
    in.Level = 0xFFFFFFFF;
    CalculateFFT(quiet, in, {});
    EXPECT_EQ(quiet.LevelPeak, 1);
}

TEST(Spectrum, AgcTiesTheThresholdToTheDivisor) {
    SpectrumState s;
    SpectrumControls c;
    c.Agc = true;
    Fft f;
    auto out = Tick(s, f, c);
    EXPECT_TRUE(out.SetGainThreshold);
    EXPECT_EQ(out.GainThreshold, s.LevelKoef / 10);
    c.Agc = false;
    EXPECT_FALSE(Tick(s, f, c).SetGainThreshold);
}

class SpectrumOfPlayedTones : public EngineTest {};

// Tones played through the engine's manual output land in their own bands: the FFT of what is
// heard, the analysis of the tick, bin k = k x 44100 / 256 Hz.
TEST_F(SpectrumOfPlayedTones, EachToneLightsItsBand) {
    for (int bin : {3, 12, 30}) {
        const double hz = bin * 44100.0 / 256.0;
        const std::string file = dir.file("tone" + std::to_string(bin) + ".wav");
        WriteWav(file, 44100, 2, 2.0, [hz](int64_t frame, int) {
            return 0.5 * std::sin(2.0 * M_PI * hz * static_cast<double>(frame) / 44100.0);
        });
        ShowClock c;
        ASSERT_TRUE(OpenShowChannel(c, file));
        ASSERT_TRUE(BASS_ChannelPlay(c.SoundChannel, false));
        AudioManualAdvance(4410);
        SpectrumState s;
        float fft[kFftBins];
        for (int tick = 0; tick < 5; ++tick) {
            AudioManualAdvance(441);   // 10 ms
            ASSERT_NE(BASS_ChannelGetData(c.SoundChannel, fft, BASS_DATA_FFT256), kAudioBadData);
            SpectrumInput in;
            in.Fft = fft;
            CalculateFFT(s, in, {});
        }
        int loudest = 0;
        for (int k = 1; k < kFftBands; ++k)
            if (s.BandLevel[k] > s.BandLevel[loudest]) loudest = k;
        EXPECT_EQ(loudest, bin);
        EXPECT_EQ(s.SpectrumPeak[bin], kSpectrumHeight) << bin;
        for (int k = 0; k < kFftBands; ++k)
            if (std::abs(k - bin) > 3) {
                EXPECT_LT(s.SpectrumPeak[k], 20) << "tone " << bin << " band " << k;
            }
        BASS_StreamFree(c.SoundChannel);
    }
}

}  // namespace
