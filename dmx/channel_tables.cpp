#include "dmx/channel_tables.h"

#include <algorithm>
#include <cstdlib>

namespace spirelo {

ChannelRange ClampedRange(int first, int last) {
    ChannelRange r;
    r.first = std::max(first, 1);
    r.last = std::min(last, kChannels);
    return r;
}

void FillChannels(uint8_t* table, ChannelRange r, uint8_t v) {
    for (int c = r.first; c <= r.last; ++c) table[c] = v;
}

AreaLabelTexts RafreshLabelChannel(int spotCount, int inverterLen, int klapanLen) {
    const int sc = spotCount * 3;
    AreaLabelTexts t;
    if (spotCount != 0) {
        t.StartRGB = "First channel   = 1";
        t.StopRGB = "Last  channel   = " + std::to_string(sc);
        t.LengRGB = "Leng allocated  = " + std::to_string(sc);
        t.Spots = "Spots           = " + std::to_string(spotCount);
    } else {
        t.StartRGB = "Area for ";
        t.StopRGB = "Spots no allocated ";
        t.LengRGB = " ";
        t.Spots = " ";
    }
    if (inverterLen != 0) {
        t.StartInv = "Первый канал    = " + std::to_string(sc + 1);
        t.StopInv = "Последний канал = " + std::to_string(sc + inverterLen);
        t.LengInv = "Leng allocated  = " + std::to_string(inverterLen);
    } else {
        t.StartInv = "Area for  ";
        t.StopInv = "Invertors ";
        t.LengInv = "no allocated ";
    }
    if (klapanLen != 0) {
        t.StartKlap = "First channel   = " + std::to_string(sc + inverterLen + 1);
        t.StopKLap = "Last  channel   = " + std::to_string(sc + inverterLen + klapanLen);
        t.LengKLap = "Leng allocated  = " + std::to_string(klapanLen);
    } else {
        t.StartKlap = "Area for  ";
        t.StopKLap = "Klapans  no allocated ";
        t.LengKLap = " ";
    }
    return t;
}

RowLook RowAppearance(int ch, int spotCount, int inverterLen, int klapanLen) {
    const int f = spotCount * 3 + 1;
    RowLook look;
    if (ch < f) {
        look.forceMinMax = true;
        const int m = ch % 3;
        look.colour = m == 1 ? kRowRed : (m == 2 ? kRowGreen : kRowBlue);
    }
    if (inverterLen > 0 && ch >= f && ch <= f + inverterLen - 1) look.colour = kRowBlack;
    if (klapanLen > 0 && ch >= f + inverterLen && ch <= f + inverterLen + klapanLen - 1) {
        look.colour = kRowTeal;
        look.forceMinMax = true;
    }
    return look;
}

ChannelRange HandAreaRange(const TAreaBounds& a, HandArea area) {
    switch (area) {
        case HandArea::All: return ClampedRange(1, kChannels);
        case HandArea::Spots: return ClampedRange(a.SpotFirst, a.SpotLast);
        case HandArea::Inverters: return ClampedRange(a.InverterFirst, a.InverterLast);
        case HandArea::Klapans: return ClampedRange(a.KlapanFirst, a.KlapanLast);
    }
    return ChannelRange{};
}

void SetHandEnable(ShowData& d, ChannelRange r, bool on) { FillChannels(d.HandEnable, r, on ? 1 : 0); }
void SetHandLevel(ShowData& d, ChannelRange r, uint8_t level) { FillChannels(d.HandLevel, r, level); }

void SetSpotColour(ShowData& d, int spotCount, uint8_t red, uint8_t green, uint8_t blue) {
    const uint8_t rgb[3] = {red, green, blue};
    const ChannelRange r = ClampedRange(1, spotCount * 3);
    for (int c = r.first; c <= r.last; ++c) d.HandLevel[c] = rgb[(c - 1) % 3];
}

static uint8_t InvertedPosition(int position) { return uint8_t(255 - std::clamp(position, 0, 255)); }

void SetInverterMin(ShowData& d, const TAreaBounds& a, int position) {
    FillChannels(d.ChannelMin, HandAreaRange(a, HandArea::Inverters), InvertedPosition(position));
}

void SetInverterMax(ShowData& d, const TAreaBounds& a, int position) {
    FillChannels(d.ChannelMax, HandAreaRange(a, HandArea::Inverters), InvertedPosition(position));
}

void ResetMinMax(ShowData& d) {
    FillChannels(d.ChannelMin, ClampedRange(1, kChannels), 0);
    FillChannels(d.ChannelMax, ClampedRange(1, kChannels), 255);
}

static bool InOptionInverterArea(const ShowData& d, int ch) {
    const int sc = d.ProgramOptions[20] * 3;
    return ch > sc && ch <= sc + d.ProgramOptions[18];
}

void ScrollRowMin(ShowData& d, int ch, int position) {
    ch = ClampChannel(ch);
    d.ChannelMin[ch] = InOptionInverterArea(d, ch) ? uint8_t(std::clamp(position, 0, 255)) : 0;
}

void ScrollRowMax(ShowData& d, int ch, int position) {
    ch = ClampChannel(ch);
    d.ChannelMax[ch] = InOptionInverterArea(d, ch) ? uint8_t(std::clamp(position, 0, 255)) : 255;
}

CoderSpan CoderSpanFromBars(int fromPosition, int lengthPosition) {
    CoderSpan s;
    s.from = ClampChannel(513 - fromPosition);
    s.length = std::clamp(513 - lengthPosition, 1, kChannels);
    s.end = std::min(s.from + s.length, kChannels);
    return s;
}

void SetCoderRange(ShowData& d, const CoderSpan& span) {
    const ChannelRange r = ClampedRange(span.from, span.end);
    if (r.empty()) return;
    int v = d.CoderTable[r.first];
    for (int k = r.first; k <= r.last; ++k) {
        d.CoderTable[k] = uint16_t(v);
        ++v;
        if (v >= kChannels) break;
    }
}

void ResetCoderTable(ShowData& d) {
    for (int i = 1; i <= kChannels; ++i) d.CoderTable[i] = uint16_t(i);
}

void paschetMaxSpot(ShowData& d, DmxOutputState& st, int spotCount) {
    d.ProgramOptions[20] = spotCount;
    // Channel 512 keeps its window, as it always did.
    const ChannelRange r = ClampedRange(d.ProgramOptions[18] + d.ProgramOptions[20] * 3 + 1, kChannels - 1);
    FillChannels(d.ChannelMin, r, 0);
    FillChannels(d.ChannelMax, r, 255);
    st.FrameSentFlag = 1;
}

int WheelAccumulator::add(int delta, int sensor, bool direct) {
    sensor = std::max(sensor, 1);
    sum_ += delta;
    if (std::abs(sum_) < sensor) return 0;
    int step = sum_ / sensor;
    sum_ = 0;
    return direct ? -step : step;
}

int MoveViewTop(int top, int rows) { return std::clamp(top + rows, 0, kChannels - kReadoutRows); }

LockState EnableMinMax(const ShowData& d) {
    LockState s;
    s.controlsEnabled = d.ProgramFlags[8] == 0;
    s.saveVisible = s.controlsEnabled;
    return s;
}

}  // namespace spirelo
