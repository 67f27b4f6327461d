#include "dmx/usb_frame.h"

#include <cstring>

namespace spirelo {

// Any fixed bytes serve; the receiving interface must hold the same table.
const uint8_t StreamKeyTable[128] = {
    0x5A, 0xC3, 0x17, 0x8E, 0x2B, 0xF4, 0x61, 0x9D, 0x3C, 0xA7, 0x05, 0xD8, 0x72, 0x1F, 0xB6, 0x49,
    0xE2, 0x3B, 0x94, 0x0D, 0x66, 0xCF, 0x28, 0x81, 0xBA, 0x13, 0x7C, 0xD5, 0x4E, 0xA9, 0x02, 0x6B,
    0xF0, 0x47, 0x9E, 0x25, 0x8C, 0x33, 0xDA, 0x71, 0x18, 0xBF, 0x56, 0xED, 0x04, 0x9B, 0x32, 0xC9,
    0x60, 0xF7, 0x8E, 0x15, 0xAC, 0x43, 0xDA, 0x71, 0x08, 0x9F, 0x36, 0xCD, 0x64, 0xFB, 0x92, 0x29,
    0x9C, 0x07, 0xE3, 0x5E, 0xB1, 0x2C, 0x88, 0xF3, 0x4F, 0xCA, 0x16, 0x91, 0x6D, 0xD8, 0x34, 0xAF,
    0x0B, 0x76, 0xD2, 0x4D, 0xA0, 0x1B, 0x97, 0xE2, 0x3E, 0xB9, 0x05, 0x80, 0x5C, 0xC7, 0x23, 0x9E,
    0xFA, 0x65, 0xC1, 0x3C, 0x8F, 0x0A, 0x86, 0xD1, 0x2D, 0xA8, 0x74, 0xEF, 0x4B, 0xB6, 0x12, 0x8D,
    0xE9, 0x54, 0xB0, 0x2B, 0x7E, 0xF9, 0x45, 0xC0, 0x1C, 0x97, 0x63, 0xDE, 0x3A, 0xA5, 0x01, 0x7C,
};

namespace {
// Key bytes for channel ch: one from each half, at positions shifted by the frame's offsets.
inline uint8_t KeyA(int ch, uint8_t a) { return StreamKeyTable[(ch + a) & 63]; }
inline uint8_t KeyB(int ch, uint8_t b) { return StreamKeyTable[64 + ((ch * 7 + b) & 63)]; }
}  // namespace

uint8_t StreamScramble(uint8_t level, int ch, uint8_t a, uint8_t b) {
    return uint8_t(uint8_t(level + KeyA(ch, a)) ^ KeyB(ch, b));
}

uint8_t StreamUnscramble(uint8_t data, int ch, uint8_t a, uint8_t b) {
    return uint8_t(uint8_t(data ^ KeyB(ch, b)) - KeyA(ch, a));
}

void FillSendBuffer(const uint8_t* dmxOut, uint8_t* sendBuffer, uint8_t format, uint8_t a, uint8_t b) {
    if (format != kOutputFormatStream) {
        std::memcpy(sendBuffer + 1, dmxOut + 1, 512);
        return;
    }
    for (int i = 1; i <= 512; ++i) sendBuffer[i] = StreamScramble(dmxOut[i], i, a, b);
}

size_t BuildDmxUsbFrame(const uint8_t* sendBuffer, uint8_t format, uint8_t a, uint8_t b, uint8_t* out) {
    size_t n = 0;
    out[n++] = 0xFF;
    out[n++] = 0xF0;
    if (format == kOutputFormatStream) {
        out[n++] = a;
        out[n++] = b;
    } else {
        out[n++] = 0x00;
    }
    for (int i = 1; i <= 512; ++i) {
        const uint8_t v = sendBuffer[i];
        out[n++] = v;
        if (v == 0xFF) out[n++] = 0xF7;
    }
    out[n++] = 0xFF;
    out[n++] = 0xF1;
    out[n++] = 0xFF;
    out[n++] = 0xFF;
    return n;
}

size_t DecodeDmxUsbFrame(const uint8_t* bytes, size_t size, bool stream, DecodedDmxUsbFrame& out) {
    size_t n = 0;
    auto need = [&](size_t k) { return n + k <= size; };
    if (!need(2) || bytes[0] != 0xFF || bytes[1] != 0xF0) return 0;
    n = 2;
    out.stream = stream;
    if (stream) {
        if (!need(2)) return 0;
        out.a = bytes[n++];
        out.b = bytes[n++];
        if (out.a > kStreamOffsetMax || out.b > kStreamOffsetMax) return 0;
    } else {
        if (!need(1) || bytes[n] != 0x00) return 0;
        ++n;
    }
    out.levels[0] = 0;
    for (int i = 1; i <= 512; ++i) {
        if (!need(1)) return 0;
        uint8_t v = bytes[n++];
        if (v == 0xFF) {
            if (!need(1) || bytes[n] != 0xF7) return 0;
            ++n;
        }
        out.levels[i] = stream ? StreamUnscramble(v, i, out.a, out.b) : v;
    }
    if (!need(4) || bytes[n] != 0xFF || bytes[n + 1] != 0xF1 || bytes[n + 2] != 0xFF || bytes[n + 3] != 0xFF)
        return 0;
    return n + 4;
}

std::vector<DecodedDmxUsbFrame> DecodeDmxUsbFrames(const std::vector<uint8_t>& bytes, bool stream) {
    std::vector<DecodedDmxUsbFrame> frames;
    size_t pos = 0;
    while (pos + 2 <= bytes.size()) {
        DecodedDmxUsbFrame f;
        size_t len = DecodeDmxUsbFrame(bytes.data() + pos, bytes.size() - pos, stream, f);
        if (len == 0) {
            ++pos;   // resynchronise on the next start mark
            continue;
        }
        frames.push_back(f);
        pos += len;
    }
    return frames;
}

}  // namespace spirelo
