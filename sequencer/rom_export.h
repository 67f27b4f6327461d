// Export of a slice of one sequencer as a table for a stand-alone controller's memory: a text
// description for the notes memo and a 101-byte block sent over the serial port.
//
// Table layout (packed step by step): with w = dmx2 - dmx1 + 1, byte i*w + k is the level of
// DMX channel dmx1 + k at step scen1 + i, for i = 0..scen2 - scen1 and k < w, while below
// 4,096; the rest is 0. Only the first 96 bytes are sent.
#pragma once

#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/serial_port.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

inline constexpr int kRomTableSize = 32 * 128;
inline constexpr int kRomSentBytes = 96;
inline constexpr int kRomFrameSize = 101;
inline constexpr int kRomAddressMax = 15;

using RomTable = std::array<uint8_t, kRomTableSize>;

struct RomRange {
    int dmx1 = 1, dmx2 = 511;     // DMX channels
    int scen1 = 0, scen2 = 254;   // steps
};

// The channels the mask row holds and the loop slice round the sequencer's current step.
RomRange ComputeRomRange(const ShowData& d, int seq);
// The refusal text, or empty when the range may be exported.
std::string RomRefusal(const RomRange& r);
// "00" + n below 10, "0" + n below 100.
std::string IntToStr3(int n);
std::string RomIncludeName(const std::string& programFolder, int seq, const RomRange& r);
// The eleven lines the export adds to the memo.
std::vector<std::string> RomTableText(const std::string& seqFileName, const std::string& includeName,
                                      int seq, const RomRange& r);
RomTable FillRomTable(const ShowData& d, int seq, const RomRange& r);
// 00 FF address, the 96 first table bytes (255 sent as 254), checksum, FF.
std::vector<uint8_t> RomUploadFrame(const RomTable& table, int address);

struct RomSendResult {
    std::vector<std::string> memoLines;   // to be added to the end of the memo
    int nextAddress = 0;
};

// The whole send command on sequencer `seq` (0..31) to block `address`: refusals and port
// failures are told through `messages`; the port is opened as `portName`.
RomSendResult SendRomTable(const ShowData& d, int seq, int address, SerialPort& port,
                           const std::string& portName, MessageService& messages);

}  // namespace spirelo
