#include "dmx/live_data_writer.h"

#include <cstdio>
#include <cstring>

#include "core/event_log.h"

namespace spirelo {

LiveDataSections& LiveDataInstance() {
    static LiveDataSections live;
    return live;
}

bool FileMappingToON(ShowData& d, LiveDataSections& live, MessageService& messages) {
    if (d.MappingOpenFlag != 0) return d.MappingOpenFlag == 1;
    bool ok = true;
    // Making a section and mapping it are one step here: a failure shows both texts, as a
    // failed create followed by its missing view does. What happened goes into one log entry,
    // since a second one of the same place and second would replace the first.
    std::string error, note, said, notes;
    const auto add = [](std::string& to, const std::string& what) { to += (to.empty() ? "" : "; ") + what; };
    if (!OpenOwnSection(live.DmxMap, live.DmxName, kLiveTextSize, live.DmxOpenName, note, &error)) {
        add(said, "no_live_data " + live.DmxName + ": " + error);
        messages.message("Donot create FileMapping DMX!");
        messages.message("Donot connect FileMapping Dmx!");
        ok = false;
    }
    if (!note.empty()) add(notes, note);
    if (!OpenOwnSection(live.SpectrMap, live.SpectrName, kLiveTextSize, live.SpectrOpenName, note, &error)) {
        add(said, "no_live_data " + live.SpectrName + ": " + error);
        messages.message("Donot create FileMapping in RAM PC!");
        messages.message("Не могу подключить FileMapping spectr!");
        ok = false;
    }
    if (!note.empty()) add(notes, note);
    if (!notes.empty()) {
        // Glimmora follows the same rule, so it finds the controller there; no box: nothing failed.
        std::fprintf(stderr, "live data: %s\n", notes.c_str());
        add(said, "live_data " + notes);
    }
    if (!said.empty()) WriteLog("FormUSB_COM", "FileMappingToON", said);
    if (!ok) {
        // Half a pair is released: nothing writes unless both views are there.
        live.DmxMap.close();
        live.SpectrMap.close();
        d.MappingOpenFlag = 0;
        return false;
    }
    d.MappingOpenFlag = 1;
    return true;
}

bool FileMappingOFF(ShowData& d, LiveDataSections& live) {
    if (d.MappingOpenFlag != 1) return false;
    d.MappingOpenFlag = 0;
    live.DmxMap.close();
    live.SpectrMap.close();
    return true;
}

bool FileMappingEnd(ShowData& d, LiveDataSections& live) {
    if (d.MappingOpenFlag != 1) return false;
    static const uint8_t kOff[kChannels] = {};
    EncodeHexLevels(kOff, kChannels, live.DmxMapText);
    std::memcpy(live.SpectrMapText, live.DmxMapText, sizeof live.SpectrMapText);
    std::memset(live.SpectrumBytes, 0, sizeof live.SpectrumBytes);
    if (live.DmxMap.isOpen()) live.DmxMap.writeText(live.DmxMapText, kLiveTextDigits);
    if (live.SpectrMap.isOpen()) live.SpectrMap.writeText(live.SpectrMapText, kLiveTextDigits);
    return FileMappingOFF(d, live);
}

void WriteLiveData(ShowData& d, LiveDataSections& live, LiveSpectrum spectrum) {
    if (d.MappingOpenFlag != 1 || !live.DmxMap.isOpen() || !live.SpectrMap.isOpen()) return;
    EncodeHexLevels(d.DmxOut + 1, kChannels, live.DmxMapText);
    live.DmxMap.writeText(live.DmxMapText, kLiveTextDigits);
    for (int k = 1; k <= kSpectrumBands; ++k)
        live.SpectrumBytes[k] = spectrum.SpectrumPeak ? uint8_t(spectrum.SpectrumPeak[k] & 0xFF) : 0;
    EncodeHexLevels(live.SpectrumBytes + 1, kChannels, live.SpectrMapText);
    live.SpectrMap.writeText(live.SpectrMapText, kLiveTextDigits);
}

}  // namespace spirelo
