#include "dmx/monitor.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace spirelo {

MonitorLayout CountLengForm(const ShowData& d, int Count) {
    MonitorLayout l;
    const uint16_t n = uint16_t(d.ProgramOptions[20] * 3 + d.ProgramOptions[18] + d.ProgramOptions[19]);
    l.channels = n;
    // More than 512 channels would make a window wider than the graph it shows.
    int shown = Count == 0 ? std::min(n + 3, kChannels) : std::min(Count, kChannels);
    shown = std::max(shown, 48);
    l.MonitorWidth = shown * 2 + 10;
    l.buttonsLeft = l.MonitorWidth + 2;
    l.checkLeft = l.MonitorWidth + 7;
    l.radioLeft = l.MonitorWidth + 29;
    l.narrowWidth = MonitorWindowWidth(l.MonitorWidth, false);
    l.wideWidth = MonitorWindowWidth(l.MonitorWidth, true);
    l.caption = "Channels DMX512 = " + std::to_string(n);
    return l;
}

void FillMonitorTap(const ShowData& d, DmxOutputState& st) {
    switch (st.MonitorTap) {
        case 10: std::memcpy(st.MonitorFrame, d.HandLevel, kChannelSlots); break;
        case 11: std::memcpy(st.MonitorFrame, d.ChannelMin, kChannelSlots); break;
        case 12: std::memcpy(st.MonitorFrame, d.ChannelMax, kChannelSlots); break;
        case 13:
            for (int i = 0; i < kChannelSlots; ++i) st.MonitorFrame[i] = uint8_t(d.CoderTable[i] & 0xFF);
            break;
        case 15:
            for (int i = 0; i < 256; ++i) st.MonitorFrame[i] = uint8_t(d.EditorSettings[i] & 0xFF);
            std::memset(st.MonitorFrame + 256, 0, kChannelSlots - 256);
            break;
        default: break;
    }
}

namespace {

constexpr uint32_t Rgb(int r, int g, int b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kSilver = Rgb(192, 192, 192);
constexpr uint32_t kChannelColours[3] = {Rgb(255, 0, 0), Rgb(0, 128, 0), Rgb(0, 0, 255)};

}  // namespace

void DrawMonitorColumns(uint32_t* pixels, int strideWords, int width, int height, const uint8_t* frame,
                        int spotCount, const MonitorLook& look) {
    // Each column's first lit row and colour, then the picture row by row: one sequential
    // write per pixel, black included. Channel 512's second column is 1023, the last one lit.
    constexpr int kColumns = 2 * kChannels;
    std::array<int, kColumns> top;
    std::array<uint32_t, kColumns> colourOf;
    top.fill(129);
    colourOf.fill(kBlack);
    const int spotChannels = spotCount * 3;
    auto component = [frame](int c) { return c <= kChannels ? frame[c] : 0; };
    for (int k = 0; k < kChannels; ++k) {
        int m = k < spotChannels ? 3 : 0;
        if (!look.color) m = 1;
        if (m == 3 && !look.everyCol) m = 2;
        uint32_t colour = kWhite;
        if (m == 1) {
            colour = kSilver;
        } else if (m == 2) {
            colour = kChannelColours[k % 3];
        } else if (m == 3) {
            const int b = (k / 3) * 3 + 1;
            colour = Rgb(component(b), component(b + 1), component(b + 2));
        }
        const int x = 2 * k;
        top[x] = 128 - frame[k + 1] / 2;
        colourOf[x] = colour;
        if (!look.space) {
            top[x + 1] = top[x];
            colourOf[x + 1] = colour;
        }
    }
    const int lit = std::min(width, kColumns);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = pixels + size_t(y) * strideWords;
        if (y < 128) {
            for (int x = 0; x < lit; ++x) row[x] = y >= top[x] ? colourOf[x] : kBlack;
            std::fill(row + lit, row + width, kBlack);
        } else {
            std::fill_n(row, width, kBlack);   // row 128 is never drawn
        }
    }
}

void GlideMonitorBox(MonitorBoxState& b, int W) {
    if (b.MonitorBoxX > b.MonitorMouseX) --b.MonitorBoxX;
    if (W - 150 > b.MonitorBoxX && b.MonitorBoxX < b.MonitorMouseX) ++b.MonitorBoxX;
}

int MonitorLevelAt(int mouseY) { return mouseY >= 0 && mouseY < 128 ? 255 - 2 * mouseY : 0; }
std::string MonitorChannelText(int mouseX) { return "DMX  : " + std::to_string(mouseX / 2 + 1); }
std::string MonitorLevelText(int mouseY) { return "Level: " + std::to_string(MonitorLevelAt(mouseY)); }

int MonitorRepaint(const ShowData& d, DmxOutputState& st, int monitorWidth, const MonitorLook& look,
                   bool viewChannel, MonitorBoxState& box, uint32_t* pixels, int strideWords, int width,
                   int height) {
    if (st.FrameSentFlag != 1) return -1;
    st.FrameSentFlag = 0;
    FillMonitorTap(d, st);
    const int W = std::min(monitorWidth, width);
    DrawMonitorColumns(pixels, strideWords, width, height, st.MonitorFrame, d.ProgramOptions[20], look);
    if (viewChannel) GlideMonitorBox(box, W);
    return W;
}

}  // namespace spirelo
