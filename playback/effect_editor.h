// The Effects page's editor as logic: which controls a kind shows, what the bars and Record
// write, the copy container, and the drag of a span on the effect timeline.
#pragma once

#include "core/show_data.h"
#include "playback/show_clock.h"
#include "playback/sound_view.h"

#include <array>
#include <string>

namespace spirelo {

// Controls and labels of the panel for one kind; kinds above 6 show like kind 0.
struct EffectPanel {
    bool levelShown = false, timeShown = false, seqShown = false, vibratoShown = false;
    int timeWidth = 105;
    std::string timeLabel, levelLabel;
};
EffectPanel EffectPanelOf(int kind, int timeValue, int levelValue);

// The record button is shown exactly when the effect's start and finish differ.
bool EnableRecEffect(const ShowData& d, int n);
// A user scroll of a value bar writes only into an effect that is on and has a span.
bool EffectScrollWrites(const ShowData& d, int n);

// Record: the waveform selection becomes the effect's span (limited to the track store) with
// the panel's values; nothing when the selection is empty.
struct EffectValues {
    int kind = 0, seq = 0, time = 1, level = 0;
    std::string name;
};
bool RecordToEffect(ShowData& d, const ShowClock& clk, int n, const EffectValues& v);
// The name edit's rule: an empty text leaves the name.
void RecordNameEffect(ShowData& d, int n, const std::string& text);

std::string ClearEffectQuestion(int n);
std::string ClearAllEffectsQuestion();
std::string PasteAllEffectsQuestion(int n);
void ClearAllEffects(ShowData& d);

// All 64 entries and a one-entry slot, kept until the program ends.
class EffectKontainer {
public:
    struct Entry {
        std::array<uint8_t, kNameLen> name{};
        uint8_t kind = 0, seq = 0;
        int32_t start = 0, finish = 0, time = 0, level = 0;
    };
    void CopyAll(const ShowData& d);
    bool PasteAll(ShowData& d) const;   // false while nothing was copied
    void CopyOne(const ShowData& d, int n);
    bool PasteOne(ShowData& d, int n) const;
    bool HasAll() const { return hasAll_; }
    bool HasOne() const { return hasOne_; }

private:
    std::array<Entry, kEffects> all_{};
    Entry one_{};
    bool hasAll_ = false, hasOne_ = false;
};
EffectKontainer& EffectKontainerInstance();

// ---- Dragging a span on the timeline -------------------------------------------------------

// Press at (x, y): the effect of the row, or -1 for rows past effect 63 (nothing happens).
int EffectPress(const ShowData& d, const ShowClock& clk, EffectDragState& s, bool left, bool right, int x, int y);
// Move with the left button held: the span follows the pointer by the mode.
void EffectMove(const ShowData& d, const ShowClock& clk, EffectDragState& s, int x);
// Release: a dragged span is stored, limited to 0..16300; true when an effect changed.
bool EffectRelease(ShowData& d, EffectDragState& s);
// What the timeline draws of a drag.
EffectDragView EffectDragViewOf(const EffectDragState& s);

}  // namespace spirelo
