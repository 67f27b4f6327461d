// The 15 ms output cycle's pipeline: from the scene frame to the 512 final levels (hand or
// sequencer choice, effect slots, inversion, master level, min/max window, remap, OFF blanking).
// Pure logic over the show tables; the window sends the result, shows the read-outs and applies
// the two requests the pipeline returns (system volume, the effect editor's vibrato bar).
#pragma once

#include "core/show_data.h"

#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

// The pipeline's own memory between cycles and what the DMX monitor reads.
struct DmxOutputState {
    uint8_t RateFreeFlags[kChannelSlots] = {};
    uint8_t MuxFreeFlags[kChannelSlots] = {};
    uint8_t VibratoRising[kEffects] = {};     // VibratoWave direction, nonzero = rising
    int32_t VibratoLevel[kEffects] = {};      // VibratoWave level, 0..255
    uint8_t FrameSentFlag = 1;
    uint8_t MonitorTap = 0;
    uint8_t MonitorFrame[kChannelSlots] = {};
    uint8_t OutputLabelCounter = 3;

    // raschetSweep of every level for each channel's current window, rebuilt when the window
    // changes: the cycle then costs a table look-up per channel instead of three divisions.
    uint8_t SweepMin[kChannelSlots] = {};
    uint8_t SweepMax[kChannelSlots] = {};
    uint8_t SweepValid[kChannelSlots] = {};
    uint8_t SweepTable[kChannelSlots][256] = {};
};

std::unique_ptr<DmxOutputState> MakeDmxOutputState();
DmxOutputState& DmxOutputStateInstance();

// The window's creation: every slot's wave rising from level 1.
void InitVibratoWave(DmxOutputState& st);

// Min/max scaling of one level (signed 32-bit, truncating division); Min wins when Min > Max.
uint8_t raschetSweep(int value, int min, int max);

// What the cycle asks of others.
struct PipelineRequests {
    enum class Volume { Unchanged, Mute, Full };
    Volume masterVolume = Volume::Unchanged;   // the audio engine's master volume, 0.0 or 1.0
    int vibratoPosition = -1;                  // the effect editor's pbVibrato, -1: unchanged
};

// One cycle up to the final levels in DmxOut (sending is the window's). curStep is the show clock's current step.
PipelineRequests ProcTimerDMX(ShowData& d, DmxOutputState& st, int32_t curStep);

// Monitor tap 9: the frame as encoded for the wire (called when a frame is built).
void TapSendBuffer(const ShowData& d, DmxOutputState& st);

// The "Output" read-outs (25 rows from the view's top channel).
enum class ReadoutFormat { Dmx, Percent, Hz };
inline constexpr int kReadoutRows = 25;
int ReadoutValue(uint8_t v, ReadoutFormat f);
// Counts one cycle; true every 11th, when the read-outs are refreshed.
bool StepOutputLabelCounter(DmxOutputState& st);
// The top channel of the 25-row view (ProgramOptions[21]), kept to 0..487.
int ReadoutTopChannel(const ShowData& d);

// Frame-rate read-out over an injected millisecond tick count (wraps like a 32-bit tick).
class FrameRateCounter {
public:
    // One cycle at tick now; returns true when the read-out changed (text() then holds it).
    bool tick(uint32_t nowMs);
    const std::string& text() const { return text_; }
    float rate() const { return rate_; }

    uint32_t FpsFrameCount = 0;
    uint32_t FpsLastTicks = 0;

private:
    float rate_ = 0.0f;
    std::string text_;
};

}  // namespace spirelo
