#include "dmx/output_pipeline.h"

#include <algorithm>
#include <cstring>

namespace spirelo {

namespace {

constexpr int kManualFirstSlot = 60;
constexpr int kShowSlots = 60;

enum EffectKindCode : uint8_t {
    kKindQuickly = 0,
    kKindRate = 1,
    kKindDecay = 2,
    kKindVibrato = 3,
    kKindMux = 4,
    kKindMods = 5,
    kKindAdd = 6,
};

inline int ClampByte(int64_t v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v)); }

inline void Tap(DmxOutputState& st, int tap, const uint8_t* stage) {
    if (st.MonitorTap == tap) std::memcpy(st.MonitorFrame + 1, stage + 1, kChannels);
}

// The slot's period counter: true when the slot steps in this cycle.
inline bool CountDown(ShowData& d, int s) {
    auto cd = static_cast<uint32_t>(d.EffectCountdown[s]);
    if (cd > 0) --cd;
    d.EffectCountdown[s] = static_cast<int32_t>(cd);
    return cd == 0;
}

// A stored level below 0 would make the counter wrap to billions of cycles.
inline void Reload(ShowData& d, int s) { d.EffectCountdown[s] = std::max<int32_t>(d.EffectLevel[s], 0); }

// A negative time from a file would move a level away from its target.
inline int SlewStep(const ShowData& d, int s) { return ClampByte(d.EffectTime[s]); }

inline const uint8_t* MaskRow(const ShowData& d, int s) {
    return d.SequencerChannelMask[ClampMaskRow(d.EffectSeq[s])];
}

// A slew-limited move toward the target by at most t (0..255).
inline uint8_t Slew(int cur, int target, int t) {
    if (target > cur) return uint8_t(std::min(cur + t, target));
    if (target < cur) return uint8_t(std::max(cur - t, target));
    return uint8_t(cur);
}

inline uint8_t DecayMove(int cur, int target, int t) {
    if (target >= cur) return uint8_t(target);
    return uint8_t(std::max(cur - t, target));
}

// 0x80 in every byte of w that is non-zero.
inline uint64_t NonZeroBytes(uint64_t w) {
    constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7FULL;
    return (((w & k7F) + k7F) | w) & ~k7F;
}

// Calls fn(i) for each channel i whose mask column is set and, when testFree, whose flag in
// free[] is still 1. Eight channels are tested per step: most slots touch few channels.
template <typename Fn>
inline void ForMembers(const uint8_t* row, const uint8_t* freeFlags, bool testFree, Fn fn) {
    for (int base = 0; base < kChannels; base += 8) {
        uint64_t m, f;
        std::memcpy(&m, row + base, 8);          // columns base..base+7: channels base+1..base+8
        uint64_t hits = NonZeroBytes(m);
        if (testFree && hits) {
            std::memcpy(&f, freeFlags + base + 1, 8);
            hits &= NonZeroBytes(f);
        }
        while (hits) {
            fn(base + 1 + (__builtin_ctzll(hits) >> 3));
            hits &= hits - 1;
        }
    }
}

// Rate (and the manual slots): move every member channel; claim it unless claiming is off.
// Returns the number of channels newly claimed.
template <bool kDecay, bool kTestFree>
int RunSlewSlot(ShowData& d, DmxOutputState& st, int s, bool steps) {
    const int t = SlewStep(d, s);
    int claimed = 0;
    ForMembers(MaskRow(d, s), st.RateFreeFlags, kTestFree, [&](int i) {
        claimed += st.RateFreeFlags[i];
        st.RateFreeFlags[i] = 0;
        if (steps) {
            d.DmxSlewed[i] = kDecay ? DecayMove(d.DmxSlewed[i], d.DmxTarget[i], t)
                                    : Slew(d.DmxSlewed[i], d.DmxTarget[i], t);
        }
    });
    return claimed;
}

// The modulation stage over the free member channels with a per-channel mix.
template <typename Mix>
int RunMixSlot(ShowData& d, DmxOutputState& st, int s, Mix mix) {
    int claimed = 0;
    ForMembers(MaskRow(d, s), st.MuxFreeFlags, true, [&](int i) {
        st.MuxFreeFlags[i] = 0;
        ++claimed;
        d.DmxEffected[i] = mix(d.DmxSlewed[i]);
    });
    return claimed;
}

void RebuildSweep(DmxOutputState& st, int i, uint8_t mn, uint8_t mx) {
    for (int v = 0; v < 256; ++v) st.SweepTable[i][v] = raschetSweep(v, mn, mx);
    st.SweepMin[i] = mn;
    st.SweepMax[i] = mx;
    st.SweepValid[i] = 1;
}

}  // namespace

std::unique_ptr<DmxOutputState> MakeDmxOutputState() { return std::make_unique<DmxOutputState>(); }

DmxOutputState& DmxOutputStateInstance() {
    static std::unique_ptr<DmxOutputState> st = MakeDmxOutputState();
    return *st;
}

void InitVibratoWave(DmxOutputState& st) {
    for (int s = 0; s < kEffects; ++s) {
        st.VibratoRising[s] = 1;
        st.VibratoLevel[s] = 1;
    }
}

uint8_t raschetSweep(int value, int min, int max) {
    int d = (max - min) * 100;
    if (d <= 0) d = 1;
    int k = 255000 / d;
    if (k < 1) k = 1;   // only reachable with arguments outside the byte range
    int r = (value * 100 / k) / 10 + min;
    if (r >= max) r = max;
    if (min >= r) r = min;
    return static_cast<uint8_t>(r);
}

PipelineRequests ProcTimerDMX(ShowData& d, DmxOutputState& st, int32_t curStep) {
    PipelineRequests req;

    // The monitor may draw again; its first tap is the scene frame.
    st.FrameSentFlag = 1;
    Tap(st, 1, d.DmxFrame);

    // Target: hand level in STATIC, else the frame where a stopped or playing sequencer drives the
    // channel; otherwise the target holds.
    {
        uint8_t driven[kChannelSlots] = {};
        for (int g = 0; g < kSequencers; ++g) {
            uint8_t rs = d.SequencerRunState[g];
            if (rs != kRunStop && rs != kRunPlay) continue;
            const uint8_t* row = d.SequencerChannelMask[g];
            for (int i = 1; i <= kChannels; ++i) driven[i] |= row[i - 1];
        }
        const bool statik = d.StaticModeFlag != 0;
        for (int i = 1; i <= kChannels; ++i) {
            if (statik && d.HandEnable[i] != 0) d.DmxTarget[i] = d.HandLevel[i];
            else if (driven[i] != 0) d.DmxTarget[i] = d.DmxFrame[i];
        }
    }
    Tap(st, 2, d.DmxTarget);

    // No slot has claimed a channel yet.
    std::memset(st.RateFreeFlags + 1, 1, kChannels);
    std::memset(st.MuxFreeFlags + 1, 1, kChannels);

    // Effect slots: the four manual ones outside dance, the 60 show slots in dance.
    const uint8_t mode = d.AquelMode;
    if (mode == 0 || mode == 1 || mode == 2 || mode == 3 || mode == 5) {
        // Manual slots: every one moves its channels, whatever its kind, with no time window.
        for (int s = kManualFirstSlot; s < kEffects; ++s) {
            bool steps = CountDown(d, s);
            RunSlewSlot<false, false>(d, st, s, steps);
            if (steps) Reload(d, s);
        }
    } else if (mode == 4) {
        int rateFree = kChannels, muxFree = kChannels;
        for (int s = 0; s < kShowSlots; ++s) {
            if (d.EffectStart[s] == d.EffectFinish[s]) continue;
            if (curStep < d.EffectStart[s] || curStep > d.EffectFinish[s]) continue;
            switch (d.EffectKind[s]) {
            case kKindRate:
            case kKindDecay: {
                bool steps = CountDown(d, s);
                // Once every channel is claimed, a later slot only keeps its period.
                if (rateFree > 0) {
                    rateFree -= d.EffectKind[s] == kKindRate ? RunSlewSlot<false, true>(d, st, s, steps)
                                                             : RunSlewSlot<true, true>(d, st, s, steps);
                }
                if (steps) Reload(d, s);
                break;
            }
            case kKindVibrato: {
                int dlt = std::max<int32_t>(d.EffectTime[s], 0) / 9 + 1;
                int32_t& level = st.VibratoLevel[s];
                if (st.VibratoRising[s]) {
                    level += dlt;
                    if (level >= 255) {
                        level = 255;
                        st.VibratoRising[s] = 0;
                    }
                } else {
                    level -= dlt;
                    if (level <= 0) {
                        level = 0;
                        st.VibratoRising[s] = 1;
                    }
                }
                int64_t depth = int64_t(d.EffectLevel[s]) * level / 550;
                const int f = ClampByte(255 - depth);
                if (d.TrackEditState[12] == s) req.vibratoPosition = f;
                if (muxFree > 0) muxFree -= RunMixSlot(d, st, s, [f](int v) { return uint8_t(v * f / 255); });
                break;
            }
            case kKindMux:
            case kKindMods:
            case kKindAdd: {
                // The control channel is the slot's level; outside 0..512 it is clamped.
                int ch = std::clamp<int32_t>(d.EffectLevel[s], 0, kChannels);
                const int c = ch == 0 ? 0 : d.DmxSlewed[ch];
                if (muxFree <= 0) break;
                if (d.EffectKind[s] == kKindMux)
                    muxFree -= RunMixSlot(d, st, s, [c](int v) { return uint8_t(v * c / 255); });
                else if (d.EffectKind[s] == kKindMods)
                    muxFree -= RunMixSlot(d, st, s, [c](int v) { return uint8_t((v + c) / 2); });
                else
                    muxFree -= RunMixSlot(d, st, s, [c](int v) { return uint8_t(std::min(v + c, 255)); });
                break;
            }
            default:
                break;
            }
        }
    }

    // Unclaimed channels pass through.
    for (int i = 1; i <= kChannels; ++i) {
        if (st.RateFreeFlags[i]) d.DmxSlewed[i] = d.DmxTarget[i];
    }
    for (int i = 1; i <= kChannels; ++i) {
        if (st.MuxFreeFlags[i]) d.DmxEffected[i] = d.DmxSlewed[i];
    }
    Tap(st, 4, d.DmxEffected);
    Tap(st, 3, d.DmxSlewed);
    if (st.MonitorTap == 14) {
        for (int i = 1; i <= kChannels; ++i) st.MonitorFrame[i] = st.RateFreeFlags[i] ? 196 : 63;
    }

    // Inversion, before the master level and the window.
    for (int i = 1; i <= kChannels; ++i) {
        if (d.InvertFlag[i]) d.DmxEffected[i] = uint8_t(255 - d.DmxEffected[i]);
    }
    Tap(st, 5, d.DmxEffected);

    // The master level of the jets over the inverter area.
    std::memcpy(d.DmxMastered + 1, d.DmxEffected + 1, kChannels);
    if (d.ProgramOptions[13] < 255) {
        const int master = ClampByte(d.ProgramOptions[13]);
        int64_t spots3 = int64_t(d.ProgramOptions[20]) * 3;
        int64_t first = std::max<int64_t>(spots3 + 1, 1);
        int64_t last = std::min<int64_t>(spots3 + d.ProgramOptions[18], kChannels);
        for (int64_t i = first; i <= last; ++i) d.DmxMastered[i] = uint8_t(d.DmxMastered[i] * master / 255);
    }
    Tap(st, 6, d.DmxMastered);

    // Min/max window.
    for (int i = 1; i <= kChannels; ++i) {
        const uint8_t mn = d.ChannelMin[i], mx = d.ChannelMax[i];
        if (!st.SweepValid[i] || st.SweepMin[i] != mn || st.SweepMax[i] != mx) RebuildSweep(st, i, mn, mx);
        d.DmxScaled[i] = st.SweepTable[i][d.DmxMastered[i]];
    }
    Tap(st, 7, d.DmxScaled);

    // Output channel remap.
    for (int i = 1; i <= kChannels; ++i) {
        if (d.CoderTable[i] >= kChannels) d.CoderTable[i] = kChannels;
        const int src = d.CoderTable[i];
        d.DmxOut[i] = src == 0 ? 0 : d.DmxScaled[src];
    }
    Tap(st, 8, d.DmxOut);

    // OFF blanks the output and restarts the slewed and effected stages from 0.
    if (mode == 0) {
        std::memset(d.DmxOut + 1, 0, kChannels);
        std::memset(d.DmxEffected + 1, 0, kChannels);
        std::memset(d.DmxSlewed + 1, 0, kChannels);
        if (d.ProgramFlags[9]) req.masterVolume = PipelineRequests::Volume::Mute;
    } else if (d.ProgramFlags[9]) {
        req.masterVolume = PipelineRequests::Volume::Full;
    }
    Tap(st, 0, d.DmxOut);
    return req;
}

void TapSendBuffer(const ShowData& d, DmxOutputState& st) { Tap(st, 9, d.DmxSendBuffer); }

int ReadoutValue(uint8_t v, ReadoutFormat f) {
    switch (f) {
    case ReadoutFormat::Percent: return v * 100 / 255;
    case ReadoutFormat::Hz: return v * 50 / 255;
    case ReadoutFormat::Dmx: break;
    }
    return v;
}

bool StepOutputLabelCounter(DmxOutputState& st) {
    st.OutputLabelCounter = uint8_t(st.OutputLabelCounter + 1);
    if (st.OutputLabelCounter > 10) {
        st.OutputLabelCounter = 0;
        return true;
    }
    return false;
}

int ReadoutTopChannel(const ShowData& d) {
    return std::clamp<int32_t>(d.ProgramOptions[21], 0, kChannels - kReadoutRows);
}

bool FrameRateCounter::tick(uint32_t nowMs) {
    ++FpsFrameCount;
    const uint32_t elapsed = nowMs - FpsLastTicks;
    if (elapsed <= 1000) return false;
    rate_ = float(double(FpsFrameCount) * 1000.0 / double(elapsed));
    text_ = "FPS = " + std::to_string(static_cast<long long>(rate_));
    FpsLastTicks = nowMs;
    FpsFrameCount = 0;
    return true;
}

}  // namespace spirelo
