// The tempo writer and the step-word commands of the sequencer window. They change step words
// of one sequencer and the pattern range; the window restarts the timer and redraws.
#pragma once

#include "core/show_data.h"
#include "sequencer/sequencer_store.h"

#include <cstdint>
#include <string>

namespace spirelo {

enum class TempoScope { AllPatterns, CurrentPattern, CurrentScene };

inline constexpr int kTempoMin = 100;
inline constexpr int kTempoMax = 10000;
inline constexpr int kTempoStart = 1000;

// Sets the pattern range for `scope` and, when `recOn`, writes `tempo` into the step words:
// all patterns: steps 0..254 whose word is not a tempo mark; current pattern: the run between
// the loop marks round the sequencer's current step, marks inside it overwritten; current
// scene: the step of the step bar.
void WriteTempo(ShowData& d, SequencerEditState& e, int seq, TempoScope scope, bool recOn,
                int tempo, int stepBar);

// Every word of steps 0..254 := tempo (marks included; step 255 kept).
void DeleteAllControls(ShowData& d, int seq, int tempo);
// Steps 1..254 in rising order: a tempo mark takes the word of the step before it.
void DeleteOnlyLines(ShowData& d, int seq);
// Every word of steps 0..254 := 1000.
void ClearAllControls(ShowData& d, int seq);
// Word of one step; false (nothing written) when seq or step lies outside the store.
bool SetStepWordAt(ShowData& d, int seq, int step, uint16_t word);

// The pattern display's two texts.
std::string PatternAdrText(const SequencerEditState& e);
std::string PatternLengText(const SequencerEditState& e);

}  // namespace spirelo
