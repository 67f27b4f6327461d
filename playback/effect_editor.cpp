#include "playback/effect_editor.h"

#include "platform/message_service.h"
#include "playback/track_edit.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace spirelo {

EffectPanel EffectPanelOf(int kind, int t, int v) {
    EffectPanel p;
    static const char* const timeNames[] = {"Off ", "Rate  ", "Decay ", "Vibro ", "Mux ", "Mod ", "Add "};
    if (kind < 0 || kind > 6) {
        p.timeLabel = p.levelLabel = "No Set Mode! ";
        return p;
    }
    if (kind == 0) {
        p.timeLabel = p.levelLabel = "Off ";
        return p;
    }
    p.levelShown = p.seqShown = true;
    p.timeShown = kind <= 3;
    p.vibratoShown = kind == 3;
    p.timeWidth = kind == 3 ? 91 : 105;
    p.timeLabel = timeNames[kind] + std::to_string(t);
    if (kind <= 2) p.levelLabel = "Slowing " + std::to_string(v);
    else if (kind == 3) p.levelLabel = "Level " + std::to_string(v / 5);
    else p.levelLabel = "Channel " + std::to_string(v);
    return p;
}

namespace {
int EffectIndex(int n) { return std::clamp(n, 0, kEffects - 1); }
}  // namespace

bool EnableRecEffect(const ShowData& d, int n) {
    n = EffectIndex(n);
    return d.EffectStart[n] != d.EffectFinish[n];
}

bool EffectScrollWrites(const ShowData& d, int n) {
    n = EffectIndex(n);
    return d.EffectKind[n] != 0 && d.EffectStart[n] != d.EffectFinish[n];
}

bool RecordToEffect(ShowData& d, const ShowClock& clk, int n, const EffectValues& v) {
    if (clk.SelectionEndStep == clk.SelectionStartStep) return false;
    n = EffectIndex(n);
    d.EffectStart[n] = ClampShowStep(clk.SelectionStartStep);
    d.EffectFinish[n] = ClampShowStep(clk.SelectionEndStep);
    d.EffectKind[n] = uint8_t(v.kind);
    d.EffectTime[n] = v.time;
    d.EffectSeq[n] = uint8_t(v.seq);
    d.EffectLevel[n] = v.level;
    RecordNameEffect(d, n, v.name);
    return true;
}

void RecordNameEffect(ShowData& d, int n, const std::string& text) {
    if (text.empty()) return;
    WriteNameField(d.EffectNames[EffectIndex(n)], text);
}

std::string ClearEffectQuestion(int n) { return "Warning! Clear Effect " + std::to_string(n + 1) + " ?"; }
std::string ClearAllEffectsQuestion() { return "Warning! Clear All Effects?"; }
std::string PasteAllEffectsQuestion(int n) {
    return "Warning! Change All Current Effects! " + std::to_string(n + 1) + " ?";
}

void ClearAllEffects(ShowData& d) {
    for (int e = 0; e < kEffects; ++e) ResetEffect(d, e);
}

// ---- Container ------------------------------------------------------------------------------

namespace {

EffectKontainer::Entry Take(const ShowData& d, int n) {
    EffectKontainer::Entry e;
    std::memcpy(e.name.data(), d.EffectNames[n], kNameLen);
    e.kind = d.EffectKind[n];
    e.seq = d.EffectSeq[n];
    e.start = d.EffectStart[n];
    e.finish = d.EffectFinish[n];
    e.time = d.EffectTime[n];
    e.level = d.EffectLevel[n];
    return e;
}

void Put(ShowData& d, int n, const EffectKontainer::Entry& e) {
    std::memcpy(d.EffectNames[n], e.name.data(), kNameLen);
    d.EffectKind[n] = e.kind;
    d.EffectSeq[n] = e.seq;
    d.EffectStart[n] = e.start;
    d.EffectFinish[n] = e.finish;
    d.EffectTime[n] = e.time;
    d.EffectLevel[n] = e.level;
}

}  // namespace

void EffectKontainer::CopyAll(const ShowData& d) {
    for (int n = 0; n < kEffects; ++n) all_[size_t(n)] = Take(d, n);
    hasAll_ = true;
}

bool EffectKontainer::PasteAll(ShowData& d) const {
    if (!hasAll_) return false;
    for (int n = 0; n < kEffects; ++n) Put(d, n, all_[size_t(n)]);
    return true;
}

void EffectKontainer::CopyOne(const ShowData& d, int n) {
    one_ = Take(d, EffectIndex(n));
    hasOne_ = true;
}

bool EffectKontainer::PasteOne(ShowData& d, int n) const {
    if (!hasOne_) return false;
    Put(d, EffectIndex(n), one_);
    return true;
}

EffectKontainer& EffectKontainerInstance() {
    static auto* instance = new EffectKontainer();
    return *instance;
}

// ---- Drag -----------------------------------------------------------------------------------

namespace {

int64_t StepOfPixel(int64_t px, const ShowClock& clk) {
    const int64_t bps = clk.BytesPerStep < 1 ? 1 : clk.BytesPerStep;
    return px * clk.BytesPerPixel / bps;
}

}  // namespace

int EffectPress(const ShowData& d, const ShowClock& clk, EffectDragState& s, bool left, bool right, int x, int y) {
    const int e = y / kEffectRowHeight;
    if (y < 0 || e >= kEffects) return -1;
    s.pressedX = x;
    s.effect = e;
    const int start = d.EffectStart[e], finish = d.EffectFinish[e];
    s.nearStart = StepOfPixel(x, clk) < int64_t(start) + (int64_t(finish) - start) / 2;
    if (left) s.leftDown = true;
    if (right) s.rightDown = true;
    s.newStart = start;
    s.newFinish = finish;
    s.mode = EffectDragMode::None;
    // The first row and the left edge start no drag.
    if (d.EffectKind[e] != 0 && e > 0 && x > 0) {
        const int x1 = EffectStepToX(start, clk), x2 = EffectStepToX(finish, clk);
        if (x + 7 > x1 && x - 7 < x2) s.mode = EffectDragMode::Move;
        if (std::abs(x - x1) < 7 || std::abs(x - x2) < 7) s.mode = EffectDragMode::Resize;
    }
    return e;
}

void EffectMove(const ShowData& d, const ShowClock& clk, EffectDragState& s, int x) {
    const int e = s.effect;
    if (!s.leftDown || e <= 0 || e >= kEffects || s.pressedX <= 0 || x == s.pressedX) return;
    const int start = d.EffectStart[e], finish = d.EffectFinish[e];
    if (d.EffectKind[e] == 0 || start == finish) return;
    // Spans from a file may hold any value: the arithmetic is 64-bit, the results kept in range.
    const int64_t dist = StepOfPixel(std::abs(int64_t(x) - s.pressedX), clk);
    const int64_t delta = x > s.pressedX ? dist : -dist;
    auto fit = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    if (s.mode == EffectDragMode::Move) {
        s.newStart = fit(start + delta);
        s.newFinish = fit(finish + delta);
    } else if (s.mode == EffectDragMode::Resize) {
        if (s.nearStart) s.newStart = fit(start + delta);
        else s.newFinish = fit(finish + delta);
        if (s.newStart >= finish) s.newStart = fit(int64_t(finish) - 10);
        if (s.newFinish <= start) s.newFinish = fit(int64_t(start) + 10);
    }
}

bool EffectRelease(ShowData& d, EffectDragState& s) {
    const int e = s.effect;
    bool changed = false;
    if (e >= 0 && e < kEffects) {
        if (s.mode != EffectDragMode::None) {
            d.EffectStart[e] = s.newStart;
            d.EffectFinish[e] = s.newFinish;
            changed = true;
        }
        d.EffectStart[e] = ClampShowStep(d.EffectStart[e]);
        d.EffectFinish[e] = ClampShowStep(d.EffectFinish[e]);
    }
    s = EffectDragState{};
    s.newStart = s.newFinish = 0;
    return changed;
}

EffectDragView EffectDragViewOf(const EffectDragState& s) {
    EffectDragView v;
    v.row = s.effect;
    v.newStart = s.newStart;
    v.newFinish = s.newFinish;
    v.cursor = s.mode == EffectDragMode::Move ? 1 : (s.mode == EffectDragMode::Resize ? 2 : 0);
    return v;
}

}  // namespace spirelo
