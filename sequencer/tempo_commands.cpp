#include "sequencer/tempo_commands.h"

namespace spirelo {

namespace {
bool InStore(int seq, int step) {
    return seq >= 0 && seq < kSequencers && step >= 0 && step < kSequencerSteps;
}
}  // namespace

void WriteTempo(ShowData& d, SequencerEditState& e, int seq, TempoScope scope, bool recOn,
                int tempo, int stepBar) {
    const int s = ClampSequencer(seq);
    uint16_t* words = d.SequencerStepWords[s];
    const uint16_t t = uint16_t(tempo < 0 ? 0 : (tempo > 65535 ? 65535 : tempo));

    switch (scope) {
    case TempoScope::AllPatterns:
        e.PatternFrom = 0;
        e.PatternTo = kLastWordStep;
        if (recOn)
            for (int i = 0; i <= kLastWordStep; ++i)
                if (!IsTempoMark(words[i])) words[i] = t;
        break;
    case TempoScope::CurrentPattern: {
        const int c = ClampSeqStep(d.SequencerCurrentStep[s]);
        e.PatternFrom = 0;
        e.PatternTo = kLastWordStep;
        if (c >= 2) {
            for (int j = c - 1; j >= 0; --j)
                if (IsLoopMark(words[j])) {
                    e.PatternFrom = uint16_t(j + 1);
                    break;
                }
        }
        if (c <= 252) {
            for (int j = c + 1; j <= kLastWordStep; ++j)
                if (IsLoopMark(words[j])) {
                    e.PatternTo = uint16_t(j - 1);
                    break;
                }
        }
        if (recOn && e.PatternTo >= e.PatternFrom)
            for (int i = e.PatternFrom; i <= e.PatternTo; ++i) words[i] = t;
        break;
    }
    case TempoScope::CurrentScene: {
        const int p = ClampSeqStep(stepBar);
        e.PatternFrom = e.PatternTo = uint16_t(p);
        if (recOn) words[p] = t;
        break;
    }
    }
}

void DeleteAllControls(ShowData& d, int seq, int tempo) {
    uint16_t* words = d.SequencerStepWords[ClampSequencer(seq)];
    for (int i = 0; i <= kLastWordStep; ++i) words[i] = uint16_t(tempo);
}

void DeleteOnlyLines(ShowData& d, int seq) {
    uint16_t* words = d.SequencerStepWords[ClampSequencer(seq)];
    for (int t = 1; t <= kLastWordStep; ++t)
        if (IsTempoMark(words[t])) words[t] = words[t - 1];
}

void ClearAllControls(ShowData& d, int seq) {
    uint16_t* words = d.SequencerStepWords[ClampSequencer(seq)];
    for (int i = 0; i <= kLastWordStep; ++i) words[i] = kResetStepWord;
}

bool SetStepWordAt(ShowData& d, int seq, int step, uint16_t word) {
    if (!InStore(seq, step)) return false;
    d.SequencerStepWords[seq][step] = word;
    return true;
}

std::string PatternAdrText(const SequencerEditState& e) {
    return "Adr From " + std::to_string(e.PatternFrom + 1) + " to " + std::to_string(e.PatternTo + 1);
}

std::string PatternLengText(const SequencerEditState& e) {
    return "Leng " + std::to_string(int(e.PatternTo) - int(e.PatternFrom) + 1);
}

}  // namespace spirelo
