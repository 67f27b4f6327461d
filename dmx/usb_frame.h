// The wire format of the USB-DMX interface: FF F0, a format byte (plain) or two offsets
// ("Stream"), the 512 levels with every data byte FF sent as FF F7, then FF F1 FF FF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace spirelo {

inline constexpr uint8_t kOutputFormatPlain = 10;
inline constexpr uint8_t kOutputFormatStream = 17;
inline constexpr size_t kUsbOutBufferSize = 32768;
inline constexpr size_t kMaxDmxUsbFrame = 1032;
inline constexpr int kStreamOffsetMax = 30;

// The "Stream" key table: two halves of 64 bytes.
extern const uint8_t StreamKeyTable[128];

// The "Stream" form of channel ch's level (ch 1..512) in a frame with offsets a, b (0..30),
// and its inverse, which the receiving interface applies with the same table.
uint8_t StreamScramble(uint8_t level, int ch, uint8_t a, uint8_t b);
uint8_t StreamUnscramble(uint8_t data, int ch, uint8_t a, uint8_t b);

// DmxSendBuffer from DmxOut (entries 1..512): a copy (plain) or scrambled ("Stream").
void FillSendBuffer(const uint8_t* dmxOut, uint8_t* sendBuffer, uint8_t format, uint8_t a, uint8_t b);

// Appends DmxUsbFrame to out (which holds at least kMaxDmxUsbFrame bytes) and returns its length.
size_t BuildDmxUsbFrame(const uint8_t* sendBuffer, uint8_t format, uint8_t a, uint8_t b, uint8_t* out);

// Reads one frame from the start of bytes. On success fills levels[1..512] with the data bytes
// (unscrambled when stream is true) and returns the frame length; 0 when the bytes do not
// start with a whole, well-formed frame.
struct DecodedDmxUsbFrame {
    bool stream = false;
    uint8_t a = 0, b = 0;         // the offsets of a "Stream" frame
    uint8_t levels[513] = {};     // channel c at index c
};
size_t DecodeDmxUsbFrame(const uint8_t* bytes, size_t size, bool stream, DecodedDmxUsbFrame& out);

// Every whole frame in a byte stream (e.g. the simulated interface's file), in order.
std::vector<DecodedDmxUsbFrame> DecodeDmxUsbFrames(const std::vector<uint8_t>& bytes, bool stream);

}  // namespace spirelo
