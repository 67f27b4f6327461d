#include "playback/spectrum.h"

#include <cmath>
#include <limits>

namespace spirelo {

SpectrumState::SpectrumState() { InitBandGains(*this); }

SpectrumState& SpectrumInstance() {
    static auto* instance = new SpectrumState();
    return *instance;
}

void InitBandGains(SpectrumState& s) {
    for (int k = 0; k < kFftGainSlots; ++k) s.BandGain[k] = 100 * k + 50;
}

int32_t BandLevelOf(int32_t gain, float magnitude) {
    if (!std::isfinite(magnitude)) return 0;
    double v = static_cast<double>(gain) * static_cast<double>(magnitude);
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    return static_cast<int32_t>(r);
}

static int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

SpectrumOutput CalculateFFT(SpectrumState& s, const SpectrumInput& in, const SpectrumControls& c) {
    SpectrumOutput out;

    // 1. VU from one sample of the heard audio.
    const int32_t v = in.SampleOk ? static_cast<int32_t>(in.SecondSample) / 196 : 0;
    if (v < 0)
        s.VuLevel = 0;
    else if (v > s.VuLevel)
        s.VuLevel = v;
    else
        s.VuLevel -= 3;
    s.VuLevel = Clamp(s.VuLevel, 0, 255);
    out.ProgressBarDown = s.VuSlow;
    if (s.VuLevel > s.VuSlow)
        s.VuSlow += c.Mid;
    else
        s.VuSlow -= c.Mid;
    out.ProgressBarMidl = s.VuLevel;

    // 2. The bands.
    const int32_t H = kSpectrumHeight;
    for (int k = 0; k < kFftBands; ++k) {
        const float magnitude = in.Fft ? in.Fft[k] : 0.0f;
        const int32_t L = BandLevelOf(s.BandGain[k], magnitude);
        s.BandLevel[k] = L;
        s.BandGain[k] += (L >= 14) ? -10 : 10;
        if (s.BandGain[k] > kBandGainMax) s.BandGain[k] = kBandGainMax;
        const int32_t lv = L < H ? L : H;

        int32_t& peak = s.SpectrumPeak[k];
        peak = (lv >= peak) ? lv : peak - c.Decay;
        if (peak < 0) peak = 0;
        int32_t& hold = s.BandHold[k];
        hold = (lv >= hold) ? lv : hold - 1;
        peak = (lv >= peak) ? lv : peak - 3;
        if (hold < 0) hold = 0;
        if (peak < 0) peak = 0;

        int32_t& avg = s.BandAverage[k];
        avg += (avg < L) ? c.Mid : -c.Mid;
        avg = Clamp(avg, 1, 127);

        if (s.BeatCount[k] != s.BeatSeen[k] && L > c.GainThreshold && L > avg + c.Margin) {
            s.BeatSeen[k] = s.BeatCount[k];
            s.BeatFlag[k] = 1;
            s.BeatPhase[k] = static_cast<uint8_t>(s.BeatPhase[k] + 1);
            if (s.BeatPhase[k] > 3) s.BeatPhase[k] = 0;
        }
        if (avg - c.Margin > L && L < c.GainThreshold) {
            s.BeatFlag[k] = 0;
            s.BeatCount[k] = static_cast<uint8_t>(s.BeatCount[k] + 1);
        }
    }

    // 3. Overall level with its automatic divisor.
    if (s.LevelKoef < 96) s.LevelKoef = 96;
    if (s.LevelKoef > 512) s.LevelKoef = 512;
    const int32_t lev = in.LevelOk ? static_cast<int32_t>(in.Level & 0xFFFF) / s.LevelKoef : 0;
    if (lev > s.LevelPeak) {
        s.LevelPeak += 30;
        if (lev <= s.LevelPeak) s.LevelPeak = lev;
    }
    if (s.LevelPeak > 1) --s.LevelPeak;
    if (s.LevelPeak > 1) --s.LevelPeak;
    s.LevelSlow += (s.LevelPeak > s.LevelSlow) ? 1 : -1;
    s.LevelKoef = static_cast<int16_t>(s.LevelKoef + ((s.LevelSlow > 128) ? 1 : -1));

    // 4. Read-outs.
    out.PbGain = s.LevelPeak;
    out.PbGainPlav = s.LevelSlow;
    if (c.Agc) {
        out.SetGainThreshold = true;
        out.GainThreshold = s.LevelKoef / 10;
    }
    return out;
}

}  // namespace spirelo
