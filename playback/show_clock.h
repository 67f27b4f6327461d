// The show clock and the sound-window values that the show tick, the waveform view and the
// editors share. One instance for the running program (ShowClockInstance); logic takes a
// ShowClock& so tests can pass their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace spirelo {

inline constexpr int kWaveformWidth = 970;   // pixels of the waveform paint box
inline constexpr int kNoRestartMark = 64000; // NewStartPixel of 1100 or more means "no mark"

struct ShowClock {
    uint32_t SoundChannel = 0;     // audio engine handle of the playing stream or module
    uint32_t DecodeChannel = 0;    // handle of the decode-only copy the peak scan reads
    uint8_t AudioReady = 0;
    int32_t BytesPerStep = 100000;
    int32_t BytesPerPixel = 100000; // below 3: no audio open; the tick and the player do nothing
    int32_t CurStep = 1;
    int32_t SongSteps = 1;
    int32_t NewStartPixel = kNoRestartMark;
    int32_t NewStartStep = 1;
    int32_t SeekForwardRequest = 0;
    int32_t SeekBackRequest = 0;
    std::atomic<uint8_t> ScanAbort{0};
    std::vector<uint16_t> PeakLeft;   // one level per waveform pixel, filled by the peak scan
    std::vector<uint16_t> PeakRight;

    // Selection on the waveform.
    int32_t SelectionStartPixel = 0;
    int32_t SelectionEndPixel = 0;
    int32_t SelectionStartStep = 0;
    int32_t SelectionEndStep = 0;
    // Mouse recording.
    int32_t MouseRecLevel = 0;
    int32_t MouseRecLevelInverse = 0;
    bool MouseLeftDown = false;
    bool MouseRightDown = false;
    // Effect timeline.
    int32_t EffectDrag = 0;
    int32_t EffectHoverX = 0;
    int32_t EffectHoverY = 0;
    int32_t EffectHoverCountdown = 0;
};

ShowClock& ShowClockInstance();

}  // namespace spirelo
