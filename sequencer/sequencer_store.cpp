#include "sequencer/sequencer_store.h"

#include "common/text_codec.h"

#include <cstring>

namespace spirelo {

SequencerEditState& SequencerEditInstance() {
    static SequencerEditState state;
    return state;
}

void CopySceneToFrame(ShowData& d, int seq, int step) {
    const int s = ClampSequencer(seq);
    const uint8_t* mask = d.SequencerChannelMask[s];
    const uint8_t* levels = d.SequencerStepData[s][ClampSeqStep(step)];
    uint8_t* frame = d.DmxFrame + 1;
    // Branch-free select so the 512 channels vectorise; undriven channels keep their level.
    for (int c = 0; c < kChannels; ++c) {
        const uint8_t keep = mask[c] ? 0x00 : 0xFF;
        frame[c] = uint8_t((levels[c] & ~keep) | (frame[c] & keep));
    }
}

ExpiryResult SequencerExpiry(ShowData& d, int seq, int interval) {
    ExpiryResult r;
    r.interval = interval;
    const int s = seq > kSequencers - 1 ? kSequencers - 1 : (seq < 0 ? 0 : seq);
    if (d.SequencerRunState[s] != kRunPlay) return r;

    // The current step may have been set by a track or a key; never read beyond the store.
    int cur = ClampSeqStep(d.SequencerCurrentStep[s]);
    CopySceneToFrame(d, s, cur);
    r.wrote = true;

    if (++cur >= kTimerWrapStep) cur = 0;
    const uint16_t* words = d.SequencerStepWords[s];
    const uint16_t w = words[cur];
    switch (w) {
    case kWordStopOff:
        d.SequencerRunState[s] = kRunOff;
        r.stateChanged = true;
        break;
    case kWordStop:
        d.SequencerRunState[s] = kRunStop;
        r.stateChanged = true;
        break;
    case kWordLoop:
        for (int j = cur - 1; j >= 0; --j) {
            if (IsLoopMark(words[j])) {
                cur = j + 1;
                break;
            }
        }
        break;
    case kWordToBegin:
        cur = 0;
        break;
    default:
        r.interval = w;
        break;
    }
    d.SequencerCurrentStep[s] = uint16_t(cur);
    return r;
}

void StepBarMoved(ShowData& d, int seq, int position) {
    const int s = ClampSequencer(seq);
    const int p = ClampSeqStep(position);
    if (d.SequencerRunState[s] == kRunStop) CopySceneToFrame(d, s, p);
    else if (d.SequencerRunState[s] == kRunPlay) d.SequencerCurrentStep[s] = uint16_t(p);
}

void SetAllRunStates(ShowData& d, uint8_t state) {
    std::memset(d.SequencerRunState, state, sizeof d.SequencerRunState);
}

std::string StepWordText(int word, char decimalPoint) {
    switch (word) {
    case 0: return "Stop&Off";
    case 1: return "Stop";
    case 2: return "Ret to cucle ";
    case 3: return "Ret to begin ";
    default: break;
    }
    if (word < 10 || word > 65000) return "No Command";
    // word / 1000 in the shortest form: at most three decimals, trailing zeros dropped.
    std::string text = "T=" + std::to_string(word / 1000);
    int frac = word % 1000;
    if (frac != 0) {
        char digits[4] = {char('0' + frac / 100), char('0' + frac / 10 % 10), char('0' + frac % 10), 0};
        int len = 3;
        while (digits[len - 1] == '0') --len;
        digits[len] = 0;
        text += decimalPoint;
        text += digits;
    }
    return text + " sec";
}

bool SetSequencerName(ShowData& d, int row, const std::string& utf8) {
    if (utf8.empty()) return false;
    Utf8ToPaddedField(utf8, d.SequencerNames[ClampMaskRow(row)], kNameLen);
    return true;
}

int WheelSteps(ShowData& d, int delta) {
    int32_t& divisor = d.ProgramOptions[1];
    if (divisor == 0) divisor = 63;
    return delta / divisor;
}

}  // namespace spirelo
