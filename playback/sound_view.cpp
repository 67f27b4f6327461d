#include "playback/sound_view.h"

#include "playback/show_tick.h"

#include <cmath>

namespace spirelo {

WaveViewState& WaveViewStateInstance() {
    static auto* instance = new WaveViewState();
    return *instance;
}

int32_t PixelToStep(int64_t x, const ShowClock& clk) {
    const int64_t bps = clk.BytesPerStep < 1 ? 1 : clk.BytesPerStep;
    return int32_t(x * clk.BytesPerPixel / bps);
}

WaveAction WaveRightPress(ShowClock& clk, WaveViewState&, int32_t& ScanProgress, int x) {
    WaveAction a;
    clk.NewStartPixel = x;
    clk.NewStartStep = clk.CurStep;
    clk.SelectionStartStep = clk.SelectionEndStep = 0;
    clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
    a.enableNewStart = true;
    a.showSpace = true;
    a.effectRecordButton = 0;
    ScanProgress = 1;
    return a;
}

WaveAction WaveLeftPress(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int x, bool playSynchro) {
    WaveAction a;
    if (x < 0) x = 0;
    clk.NewStartPixel = x;
    w.WaveMouseDown = 1;
    w.SelectionAnchorStep = clk.CurStep;
    a.seek = true;
    a.seekByte = uint64_t(x) * uint64_t(clk.BytesPerPixel < 0 ? 0 : clk.BytesPerPixel);
    a.play = playSynchro;
    const bool endRight = clk.SelectionEndPixel > clk.SelectionStartPixel;
    if (clk.SelectionEndPixel == 0 || clk.SelectionEndPixel == kNoRestartMark || endRight) {
        if (clk.SelectionEndPixel == kNoRestartMark) clk.SelectionEndPixel = 0;
        clk.SelectionStartPixel = x;
        clk.SelectionStartStep = PixelToStep(x, clk);
    }
    ScanProgress = 1;
    return a;
}

WaveAction WaveMove(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int x, int y,
                    int boxWidth, int boxHeight) {
    WaveAction a;
    w.SelectionAnchorStep = clk.CurStep;
    if (w.WaveMouseDown && clk.SelectionStartPixel != 0 && x + 7 > clk.SelectionStartPixel) {
        clk.SelectionEndPixel = x;
        if (x <= clk.SelectionStartPixel) {
            clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
            clk.SelectionStartStep = clk.SelectionEndStep = 0;
            a.delTrackSelect = 0;
            a.effectRecordButton = 0;
        } else {
            clk.SelectionEndStep = PixelToStep(x, clk);
            a.effectRecordButton = 1;
            a.delTrackSelect = 1;
        }
    }
    w.WaveHoverX = (y < 30 || y > boxHeight - 30 || x < 1 || x > boxWidth - 1) ? kNoHover : x;
    ScanProgress = 1;
    return a;
}

void WaveRelease(WaveViewState& w, int32_t& ScanProgress) {
    w.WaveMouseDown = 0;
    ScanProgress = 1;
}

namespace {
WaveAction SelectWhole(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress, int32_t endStep) {
    WaveAction a;
    w.WaveMouseDown = 1;
    clk.NewStartPixel = 1;
    w.SelectionAnchorStep = 1;
    clk.SelectionStartStep = 1;
    clk.SelectionEndStep = endStep;
    a.effectRecordButton = 1;
    a.delTrackSelect = 1;
    ScanProgress = 1;
    return a;
}
}  // namespace

WaveAction WaveSelectAll(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress) {
    return SelectWhole(clk, w, ScanProgress, PixelToStep(kWaveformWidth, clk));
}

WaveAction WaveResetLeng(ShowClock& clk, WaveViewState& w, int32_t& ScanProgress) {
    return SelectWhole(clk, w, ScanProgress, 9);
}

void ResetSelectionForNewShow(ShowClock& clk, WaveViewState& w) {
    clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
    clk.SelectionStartStep = clk.SelectionEndStep = 0;
    w.WaveMouseDown = 0;
}

bool EnvelopeRedrawDue(int32_t& ScanProgress, int BytesPerPixel) {
    if (BytesPerPixel <= 3 || ScanProgress == 0) return false;
    if (ScanProgress == 1) {
        ScanProgress = 0;
        return true;
    }
    if (ScanProgress >= 2 && ScanProgress <= 999) --ScanProgress;
    return false;
}

EnvelopeColumn EnvelopeAt(int left, int right, int boxHeight) {
    auto clampPeak = [](int p) { return p < 0 ? 0 : (p > 32768 ? 32768 : p); };
    const int h = boxHeight / 2;
    EnvelopeColumn c;
    c.yMid = h;
    c.yTop = h - int(std::lround(double(clampPeak(left)) * h / 32768.0));
    c.yBottom = h + 2 + int(std::lround(double(clampPeak(right)) * h / 32768.0));
    return c;
}

void FollowHoverLine(WaveViewState& w) {
    if (w.WaveHoverX >= 3000) return;
    int& line = w.WaveHoverLineX;
    if (line - w.WaveHoverX > 33) line = w.WaveHoverX + 13;
    else if (w.WaveHoverX - line > 33) line = w.WaveHoverX - 13;
    if (line < w.WaveHoverX) ++line;
    else if (line > w.WaveHoverX) --line;
    if (line < 0) line = 0;
    if (line > 1035) line = 1035;
}

int LineTextX(int lineX, int width) {
    return lineX > width - 70 ? lineX + 5 - 55 : lineX + 5;
}

int EffectStepToX(int64_t step, const ShowClock& clk) {
    const int64_t bpp = clk.BytesPerPixel < 1 ? 1 : clk.BytesPerPixel;
    return int(step * clk.BytesPerStep / bpp);
}

uint32_t EffectKindColor(int kind) {
    switch (kind) {
    case 1: return 0x0000FF;
    case 2: return 0x00FF00;
    case 3: return 0xFF0000;
    case 4: return 0x00FFFF;
    case 5: return 0xFF00FF;
    case 6: return 0x800080;
    default: return 0x808080;
    }
}

EffectLane EffectLaneOf(const ShowData& d, const ShowClock& clk, int e, const EffectDragView& drag) {
    EffectLane l;
    if (e < 0 || e >= kEffects || d.EffectStart[e] == d.EffectFinish[e]) return l;
    l.drawn = true;
    l.y = kEffectRowHeight * e + 2;
    l.x1 = EffectStepToX(d.EffectStart[e], clk);
    l.x2 = EffectStepToX(d.EffectFinish[e], clk);
    l.color = EffectKindColor(d.EffectKind[e]);
    if (drag.row == e && drag.cursor != 0) {
        l.x1 = EffectStepToX(drag.newStart, clk);
        l.x2 = EffectStepToX(drag.newFinish, clk);
        l.width = 5;
        l.color = drag.cursor == 1 ? 0x00FFFF : 0xFF00FF;
    }
    return l;
}

EffectHint EffectHintOf(const ShowData& d, const ShowClock& clk, int e, int bitmapWidth) {
    EffectHint h;
    if (e < 0 || e >= kEffects) return h;
    if (d.EffectKind[e] == 0 || d.EffectStart[e] == d.EffectFinish[e]) return h;
    if (clk.EffectHoverY / kEffectRowHeight != e || clk.EffectHoverCountdown <= 1) return h;
    const int x1 = EffectStepToX(d.EffectStart[e], clk);
    const int x2 = EffectStepToX(d.EffectFinish[e], clk);
    if (!(clk.EffectHoverX > x1 - 7 && clk.EffectHoverX < x2 + 7)) return h;
    h.shown = true;
    const int tx = clk.EffectHoverX > bitmapWidth - 80 ? bitmapWidth - 100 : clk.EffectHoverX;
    h.textX = tx + 15;
    h.textY = clk.EffectHoverY < 5 ? 5 : (clk.EffectHoverY > 300 ? 300 : clk.EffectHoverY);
    h.lines.push_back("Effect=" + std::to_string(e + 1));
    h.lines.push_back("Seque=" + std::to_string(int(d.EffectSeq[e]) + 1));
    const std::string t = std::to_string(d.EffectTime[e]);
    switch (d.EffectKind[e]) {
    case 1: h.lines.push_back("Rate  = " + t); break;
    case 2: h.lines.push_back("Decay = " + t); break;
    case 3:
        h.lines.push_back("Vibro = " + t);
        h.lines.push_back("Level = " + std::to_string(d.EffectLevel[e]));
        break;
    case 4: h.lines.push_back("Mux   = " + t); break;
    default: break;
    }
    h.lines.push_back("Start = " + timeTostr(d.EffectStart[e]));
    h.lines.push_back("Coda  = " + timeTostr(d.EffectFinish[e]));
    return h;
}

}  // namespace spirelo
