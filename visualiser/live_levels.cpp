#include "visualiser/live_levels.h"

#include "common/live_data.h"

#include <cstring>

namespace spirelo {

void ResetLiveLevels(LiveLevels& l) {
    std::memset(l.DmxInput, 255, sizeof l.DmxInput);
    std::memset(l.DmxDisplay, 0, sizeof l.DmxDisplay);
}

bool DecodeLiveText(std::string_view text, LiveLevels& l) {
    bool bad = false;
    DecodeHexLevels(text, &l.DmxInput[1], kLiveChannels, &bad);
    return !bad;
}

void SmoothLevels(LiveLevels& l, DmxMode mode) {
    switch (mode) {
        case DmxMode::Live:
            for (int c = 1; c <= kLiveChannels; ++c) {
                int in = l.DmxInput[c], shown = l.DmxDisplay[c];
                if (in >= shown) {
                    shown = in;
                } else {
                    shown -= kLevelFallPerTick;   // signed: never wraps below the input
                    if (shown < in) shown = in;
                }
                l.DmxDisplay[c] = static_cast<uint8_t>(shown);
            }
            break;
        case DmxMode::AllOn: std::memset(&l.DmxDisplay[1], 255, kLiveChannels); break;
        case DmxMode::AllOff: std::memset(&l.DmxDisplay[1], 0, kLiveChannels); break;
    }
}

bool LiveReaderTick(std::string_view text, LiveLevels& l, DmxMode mode) {
    if (!DecodeLiveText(text, l)) return false;
    SmoothLevels(l, mode);
    return true;
}

}  // namespace spirelo
