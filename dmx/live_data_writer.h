// The controller's side of the live data: the two named sections, the output levels and the
// spectrum written into them as hex text in every output cycle while they are open.
#pragma once

#include "common/live_data.h"
#include "common/shared_section.h"
#include "core/show_data.h"
#include "platform/message_service.h"

#include <cstdint>
#include <string>

namespace spirelo {

inline constexpr int kSpectrumBands = 30;

struct LiveDataSections {
    std::string DmxName = DmxSectionName();
    std::string SpectrName = SpectrumSectionName();
    // The names in use while open: DmxName and SpectrName, or the user's own (OpenOwnSection).
    std::string DmxOpenName, SpectrOpenName;
    SharedSection DmxMap;
    SharedSection SpectrMap;
    uint8_t SpectrumBytes[kChannelSlots] = {};
    char DmxMapText[kLiveTextSize] = {};
    char SpectrMapText[kLiveTextSize] = {};
};

LiveDataSections& LiveDataInstance();

// The band peaks the spectrum analysis publishes: SpectrumPeak[1..30] (entry 0 unused).
struct LiveSpectrum {
    const int32_t* SpectrumPeak = nullptr;   // nullptr: no analysis yet, every band 0
};

// Creates or opens both sections and maps them. MappingOpenFlag becomes 1 only when both are
// made; a failure shows its message and releases whatever was made. Does nothing while open.
// A name another user holds is no failure: the user's own name is taken instead, and one line
// on stderr and in the event log says so.
// Returns true when the sections are open afterwards.
bool FileMappingToON(ShowData& d, LiveDataSections& live, MessageService& messages);

// Unmaps both (only while open). Returns true when it closed them.
bool FileMappingOFF(ShowData& d, LiveDataSections& live);

// The controller's end: zero levels and an empty spectrum go into both sections, so a visualiser
// started later shows the fountain off, then they are unmapped as by FileMappingOFF. The
// sections stay: a running visualiser keeps reading the same names when the controller returns.
bool FileMappingEnd(ShowData& d, LiveDataSections& live);

// Every output cycle after the pipeline: both texts from DmxOut and the spectrum, only while open.
void WriteLiveData(ShowData& d, LiveDataSections& live, LiveSpectrum spectrum);

}  // namespace spirelo
