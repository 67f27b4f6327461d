#include "dmx/macros.h"

#include <algorithm>

namespace spirelo {

static int ClampMacro(int n) { return std::clamp(n, 0, kMacros - 1); }

void ReadMacro(ShowData& d, int n) {
    const uint16_t* words = d.MacroTable[ClampMacro(n)];
    for (int j = 0; j < kChannels; ++j) d.HandLevel[j] = uint8_t(words[j] & 0xFF);
}

void WriteMacro(ShowData& d, int n) {
    uint16_t* words = d.MacroTable[ClampMacro(n)];
    for (int j = 0; j < kChannels; ++j) words[j] = d.HandLevel[j];
}

// A Latin "C" followed by Cyrillic, as the label always read.
std::string MacroReadText(int n) { return "C" "читан макрос " + std::to_string(n); }
std::string MacroWrittenText(int n) { return "Записано в макрос " + std::to_string(n); }

}  // namespace spirelo
