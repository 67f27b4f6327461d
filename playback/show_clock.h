// The show clock and the sound-window values that the show tick, the waveform view and the
// editors share. One instance for the running program (ShowClockInstance); logic takes a
// ShowClock& so tests can pass their own.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

inline constexpr int kWaveformWidth = 970;   // pixels of the waveform paint box
inline constexpr int kNoRestartMark = 64000; // NewStartPixel of 1100 or more means "no mark"
inline constexpr int kRestartMarkLimit = 1100;
inline constexpr int kStepsPerSecond = 20;
inline constexpr int kNoAudioBytesPerPixel = 1; // any value below 3: no audio open
inline constexpr int kNoDrag = -100;

// A drag on the effect timeline: what the press found under the pointer decides the mode.
enum class EffectDragMode : uint8_t { None, Move, Resize };
struct EffectDragState {
    bool leftDown = false, rightDown = false;
    int32_t pressedX = kNoDrag;
    int32_t effect = kNoDrag;
    int32_t newStart = 0, newFinish = 0;
    bool nearStart = false;
    EffectDragMode mode = EffectDragMode::None;
};

// Peak levels per waveform pixel. The scan thread writes them while the GUI draws them, so
// every element is an atomic; resize only while no scan runs.
class PeakArray {
public:
    void resize(std::size_t n);
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint16_t operator[](std::size_t i) const { return data_[i].load(std::memory_order_relaxed); }
    void store(std::size_t i, uint16_t v) { data_[i].store(v, std::memory_order_relaxed); }
    void fill(uint16_t v);

private:
    std::unique_ptr<std::atomic<uint16_t>[]> data_;
    std::size_t size_ = 0;
};

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
    PeakArray PeakLeft;   // one level per waveform pixel, filled by the peak scan
    PeakArray PeakRight;

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
    int32_t MouseRecStep = 0;
    // Hover read-out of the record view.
    int32_t HoverStep = 0;
    int32_t HoverX = 0;
    int32_t HoverY = 0;
    int32_t HoverCountdown = 0;
    // Effect timeline.
    EffectDragState EffectDrag;
    int32_t EffectHoverX = 0;
    int32_t EffectHoverY = 0;
    int32_t EffectHoverCountdown = 0;
};

ShowClock& ShowClockInstance();

// True while an audio file is open, as the player's own commands test it.
inline bool PlayerHasAudio(const ShowClock& c) { return c.BytesPerPixel > 3 && c.AudioReady != 0; }

// Rounds to the nearest integer, ties to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
int64_t RoundHalfEven(double v);

// Audio bytes of one show step: (length div round(seconds)) div 20, never 0. A file shorter
// than half a second rounds to 0 seconds and is divided by 1.
int32_t BytesPerStepOf(uint64_t lengthBytes, double seconds);
// Song length in show steps.
int32_t SongStepsOf(uint64_t lengthBytes, int32_t bytesPerStep);
// Audio bytes per waveform pixel: length div 970, at least the bytes of 0.02 s, never 0.
int32_t BytesPerPixelOf(uint64_t lengthBytes, uint64_t minimumBytes);

// Show step of a byte position (low 32 bits of it, unsigned), limited to the last show step.
int32_t StepOfPosition(uint64_t positionBytes, int32_t bytesPerStep);
// Byte positions of a show step and of a waveform pixel (64-bit products).
uint64_t StepToBytes(int64_t step, int32_t bytesPerStep);
uint64_t PixelToBytes(int64_t pixel, int32_t bytesPerPixel);

}  // namespace spirelo
