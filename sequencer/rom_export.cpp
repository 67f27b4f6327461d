#include "sequencer/rom_export.h"

#include "core/text_routines.h"
#include "sequencer/sequencer_store.h"

#include <algorithm>

namespace spirelo {
namespace {

const std::string kRule = ";" + std::string(60, '*');

}  // namespace

RomRange ComputeRomRange(const ShowData& d, int seq) {
    const int s = ClampSequencer(seq);
    RomRange r;
    int first = 0, last = 0;
    for (int i = 0; i < kChannels; ++i) {
        if (d.SequencerChannelMask[s][i] == 0) continue;
        if (first == 0) first = i + 1;
        last = i + 1;
    }
    r.dmx1 = std::min(first == 0 ? 1 : first, 511);
    r.dmx2 = std::min(last == 0 ? 512 : last, 511);

    const int c = d.SequencerCurrentStep[s];
    const uint16_t* words = d.SequencerStepWords[s];
    r.scen1 = 0;
    r.scen2 = kLastWordStep;
    if (c >= 2)
        for (int j = std::min(c, kSequencerSteps) - 1; j >= 0; --j)
            if (IsLoopMark(words[j])) { r.scen1 = j + 1; break; }
    if (c <= 252)
        for (int j = c + 1; j <= kLastWordStep; ++j)
            if (IsLoopMark(words[j])) { r.scen2 = j - 1; break; }
    r.scen1 = std::min(r.scen1, 255);
    r.scen2 = std::min(r.scen2, 255);
    return r;
}

std::string RomRefusal(const RomRange& r) {
    if (r.dmx2 < r.dmx1) return "dmx2 < dmx1 \\ not Carry and TX!";
    if (r.scen2 < r.scen1) return "scen2 < scen1 \\ not Carry and TX!";
    if (r.scen2 - r.scen1 >= 32) return "scen2 - scen1 >=32 \\ not Carry and TX!";
    return {};
}

std::string IntToStr3(int n) {
    const std::string s = std::to_string(n);
    if (n >= 0 && n <= 9) return "00" + s;
    if (n >= 10 && n <= 99) return "0" + s;
    return s;
}

std::string RomIncludeName(const std::string& programFolder, int seq, const RomRange& r) {
    return programFolder + "_Tabl_Sq" + IntToStr2(seq) + "_SC" + IntToStr2(r.scen1) + "_" +
           IntToStr2(r.scen2) + "_DMX" + IntToStr2(r.dmx1) + "_" + IntToStr2(r.dmx2) + ".inc";
}

std::vector<std::string> RomTableText(const std::string& seqFileName, const std::string& includeName,
                                      int seq, const RomRange& r) {
    return {
        kRule,
        "; " + seqFileName,
        "; " + includeName,
        "; SEQ=" + IntToStr2(seq + 1) + ", Scena=" + IntToStr2(r.scen1 + 1) + ">" +
            IntToStr2(r.scen2 + 1) + ", DMX=" + IntToStr3(r.dmx1) + ">" + IntToStr3(r.dmx2),
        kRule,
        "mScen1 = " + std::to_string(r.scen1 + 1) + "\t; Первая сцена",
        "mScen2 = " + std::to_string(r.scen2 + 1) + "\t; Последняя сцена",
        "mDmx1  = " + std::to_string(r.dmx1) + "\t; Первый адрес DMX",
        "mDmx2  = " + std::to_string(r.dmx2) + "\t; Последний адрес DMX",
        kRule,
        "Передача в порт",
    };
}

RomTable FillRomTable(const ShowData& d, int seq, const RomRange& r) {
    RomTable t{};
    const int s = ClampSequencer(seq);
    const int first = std::clamp(r.dmx1, 1, kChannels);
    const int last = std::clamp(r.dmx2, 1, kChannels);
    const int w = last - first + 1;
    if (w <= 0) return t;
    size_t at = 0;
    for (int step = std::max(r.scen1, 0); step <= std::min(r.scen2, kSequencerSteps - 1); ++step)
        for (int k = 0; k < w; ++k) {
            if (at >= t.size()) return t;
            t[at++] = d.SequencerStepData[s][step][first + k - 1];
        }
    return t;
}

std::vector<uint8_t> RomUploadFrame(const RomTable& table, int address) {
    std::vector<uint8_t> f(kRomFrameSize, 0);
    f[1] = 0xFF;
    f[2] = static_cast<uint8_t>(address);
    unsigned sum = 0;
    for (int i = 0; i < kRomSentBytes; ++i) {
        f[3 + i] = table[i] == 0xFF ? 0xFE : table[i];
        sum = (sum + table[i]) % 128;
    }
    f[99] = static_cast<uint8_t>(sum);
    f[100] = 0xFF;
    return f;
}

RomSendResult SendRomTable(const ShowData& d, int seq, int address, SerialPort& port,
                           const std::string& portName, MessageService& messages) {
    RomSendResult res;
    const int s = std::clamp(seq, 0, kSequencers - 1);
    address = std::clamp(address, 0, kRomAddressMax);
    res.nextAddress = address;
    const RomRange r = ComputeRomRange(d, s);
    if (const std::string refusal = RomRefusal(r); !refusal.empty()) {
        messages.warning(refusal);
        return res;
    }
    const RomTable table = FillRomTable(d, s, r);
    res.memoLines = RomTableText(d.sNameFileSeq, RomIncludeName(d.ProgramFolder, s, r), s, r);

    const SerialOpen opened = port.open(portName);
    if (opened == SerialOpen::Failed) {
        messages.warning("Не могу открыть порт");
        return res;
    }
    if (opened == SerialOpen::SettingsRefused) messages.warning("Не могу сконфигурировать порт");

    const std::vector<uint8_t> frame = RomUploadFrame(table, address);
    res.memoLines.push_back("Передаем...");
    res.memoLines.push_back("ADR Блока = " + std::to_string(address));
    res.memoLines.push_back("КС = " + std::to_string(frame[99]));
    res.memoLines.push_back("Отослано " + std::to_string(frame.size()) + " байт");
    port.writeAndClose(frame);
    res.memoLines.push_back(kRule);
    if (address < kRomAddressMax) res.nextAddress = address + 1;
    return res;
}

}  // namespace spirelo
