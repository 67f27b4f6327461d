// The DMX universe laid out as spots (R, G, B from channel 1), then inverters, then valves, and
// the sound window's drawing colours. Both are republished every 151 ms by the USB and DMX
// window for every other window; header-only so any folder can read them.
#pragma once

#include <cstdint>

namespace spirelo {

struct TAreaBounds {
    int32_t SpotCount = 0;
    int32_t SpotChannels = 0;
    int32_t InverterLen = 0;
    int32_t KlapanLen = 0;
    int32_t SpotFirst = 1;
    int32_t SpotLast = 0;
    int32_t InverterFirst = 1;
    int32_t InverterLast = 0;
    int32_t KlapanFirst = 1;
    int32_t KlapanLast = 0;
};

// From the three area bars (spot count, inverter length, valve length). The bars can describe
// more than 512 channels (178 spots are 534); the bounds are kept as computed and every user
// clamps the channel it indexes.
constexpr TAreaBounds ComputeAreaBounds(int spotCount, int inverterLen, int klapanLen) {
    TAreaBounds a;
    a.SpotCount = spotCount;
    a.SpotChannels = spotCount * 3;
    a.InverterLen = inverterLen;
    a.KlapanLen = klapanLen;
    a.SpotFirst = 1;
    a.SpotLast = a.SpotChannels;
    a.InverterFirst = a.SpotLast + 1;
    a.InverterLast = a.SpotChannels + inverterLen;
    a.KlapanFirst = a.InverterFirst + inverterLen;
    a.KlapanLast = a.SpotLast + inverterLen + klapanLen;
    return a;
}

inline TAreaBounds& AreaBoundsInstance() {
    static TAreaBounds a;
    return a;
}

// Colours as 24-bit values, red in the low byte. Start values are the colour boxes' initial
// selections (black, purple, green, yellow, white).
struct TDrawColors {
    uint32_t ColorBrushEnvelope = 0x000000;
    uint32_t ColorBackGroundSelect = 0x800080;
    uint32_t ColorPenEnvelope = 0x008000;
    uint32_t ColorUserWave = 0x00FFFF;
    uint32_t ColorRealLine = 0xFFFFFF;
};

inline TDrawColors& DrawColorsInstance() {
    static TDrawColors c;
    return c;
}

}  // namespace spirelo
