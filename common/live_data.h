// The live-data texts the controller publishes and the visualiser reads: 1024 upper-case
// hexadecimal digits, two per channel, channels 1..512 in order, NUL-terminated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace spirelo {

inline constexpr const char* kDmxSectionName = "Spirelo3Dwiev";
inline constexpr const char* kSpectrumSectionName = "Spirelo3Dspectr";

// SPIRELO_SECTION_SUFFIX (tests only: keeps a test run off a running show's sections), read once;
// characters other than letters, digits, '.', '_' and '-' are dropped. Empty when unset.
const std::string& SectionSuffix();
std::string SectionSuffixFrom(const char* value);   // the filter SectionSuffix() applies
// The section names both programs use: the documented names plus SectionSuffix().
std::string DmxSectionName();
std::string SpectrumSectionName();
inline constexpr size_t kLiveTextDigits = 1024;
inline constexpr size_t kLiveTextSize = kLiveTextDigits + 1;   // with the NUL

// Two upper-case hex digits per level: out must hold 2*count+1 bytes; levels[0..count-1].
void EncodeHexLevels(const uint8_t* levels, size_t count, char* out);

// Decodes pairs from text into levels[0..max-1] until the text ends, a NUL, or a pair that is
// not hexadecimal. Returns the number of levels decoded; *stopped_on_bad tells why it stopped.
size_t DecodeHexLevels(std::string_view text, uint8_t* levels, size_t max, bool* stopped_on_bad = nullptr);

}  // namespace spirelo
