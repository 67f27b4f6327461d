// The visualiser's copy of the controller's output levels: DmxInput as decoded from the shared
// text, DmxDisplay smoothed from it for drawing (a level rises at once and falls by at most 25
// per reader tick).
#pragma once

#include <cstdint>
#include <string_view>

namespace spirelo {

inline constexpr int kLiveChannels = 512;
inline constexpr int kLevelFallPerTick = 25;

enum class DmxMode { Live, AllOn, AllOff };

struct LiveLevels {
    uint8_t DmxInput[kLiveChannels + 1];
    uint8_t DmxDisplay[kLiveChannels + 1];   // element 0 stays 0
};

void ResetLiveLevels(LiveLevels& l);   // input 255, display 0

// Every level read by the drawing goes through here: 0 outside channels 1..512.
inline uint8_t LevelAt(const uint8_t* display, int channel) {
    return channel >= 1 && channel <= kLiveChannels ? display[channel] : 0;
}
inline uint8_t LevelAt(const LiveLevels& l, int channel) { return LevelAt(l.DmxDisplay, channel); }

// Decodes the pairs of text into DmxInput[1..512]. A pair that is not hexadecimal stops the
// decoding; the channels before it keep their new values and false is returned.
bool DecodeLiveText(std::string_view text, LiveLevels& l);

// The smoothing step of one reader tick for the chosen mode.
void SmoothLevels(LiveLevels& l, DmxMode mode);

// One reader tick: decode, then smooth unless the text held a bad pair.
bool LiveReaderTick(std::string_view text, LiveLevels& l, DmxMode mode);

}  // namespace spirelo
