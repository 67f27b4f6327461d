#include "sequencer/scene_editor.h"

#include "core/text_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace spirelo {

namespace {

constexpr int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
constexpr bool InStore(int seq, int step, int channel) {
    return seq >= 0 && seq < kSequencers && step >= 0 && step < kSequencerSteps && channel >= 0 &&
           channel < kChannels;
}
constexpr int Sign(int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

constexpr uint32_t kPalette[8] = {
    Rgb(255, 0, 0), Rgb(255, 255, 0), Rgb(0, 255, 0),     Rgb(0, 255, 255),
    Rgb(0, 0, 255), Rgb(255, 0, 255), Rgb(255, 255, 255), Rgb(0, 0, 0),
};

void WriteTriple(ShowData& d, uint32_t colour, int channel, int step, int seq) {
    uint8_t* levels = d.SequencerStepData[seq][step];
    const uint8_t bytes[3] = {uint8_t(RedOf(colour)), uint8_t(GreenOf(colour)), uint8_t(BlueOf(colour))};
    for (int k = 0; k < 3; ++k)
        if (channel + k >= 0 && channel + k < kChannels) levels[channel + k] = bytes[k];
}

// The Bresenham-like walk shared by the three line tools: `visit` gets the column and row of
// each cell and returns false to end the line.
template <class Visit>
void WalkLine(const SequencerEditState& e, Visit visit) {
    const int dx = e.AreaSelX2 - e.AreaSelX1;
    const int dy = e.AreaSelY2 - e.AreaSelY1;
    const int n = MaxOfTwo(std::abs(dx), std::abs(dy));
    int x = e.AreaSelX1, y = e.AreaSelY1, ex = 0, ey = 0;
    for (int i = 0; i <= n; ++i) {
        if (!visit(x, y)) return;
        ex += std::abs(dx);
        ey += std::abs(dy);
        if (ex >= n) {
            ex -= n;
            x += Sign(dx);
        }
        if (ey >= n) {
            ey -= n;
            y += Sign(dy);
        }
    }
}

// A line may write a step that exists, is no later than 254 and holds no control word.
bool LineMayWrite(const ShowData& d, int seq, int step) {
    return step >= 0 && step <= kLastLineStep && !IsTempoMark(d.SequencerStepWords[seq][step]);
}

void ColourLine(ShowData& d, const SequencerEditState& e, const AreaView& v, uint32_t colour, bool stopAboveFirst) {
    const int seq = ClampSequencer(v.seq);
    WalkLine(e, [&](int x, int y) {
        const int step = v.firstStep + x;
        const int spot = v.firstRow + y;
        if ((stopAboveFirst && spot < 0) || !LineMayWrite(d, seq, step)) return false;
        RecPix(d, colour, spot * 3, step, seq);
        return true;
    });
}

template <class Write>
void FillRect(SequencerEditState& e, const AreaView& v, Write write) {
    NormaliseSelection(e);
    const int first = v.firstStep + e.AreaSelX1;
    if (first > kSequencerSteps - 1) return;
    const int last = std::min(v.firstStep + e.AreaSelX2, kSequencerSteps - 1);
    for (int y = e.AreaSelY1; y <= e.AreaSelY2; ++y)
        for (int step = first; step <= last; ++step) write(v.firstRow + y, step);
}

int& ToolState(SequencerEditState& e, AreaPage page) {
    return page == AreaPage::Spots ? e.SpotToolState : e.KlapanToolState;
}

}  // namespace

// --- Cell writers ----------------------------------------------------------------------------

void RecPix(ShowData& d, uint32_t colour, int channel, int step, int seq) {
    WriteTriple(d, colour, Clamp(channel, 0, kChannels - 1), ClampSeqStep(step), ClampSequencer(seq));
}

void SetSceneCell(ShowData& d, uint8_t value, int channel, int step, int seq) {
    d.SequencerStepData[ClampSequencer(seq)][ClampSeqStep(step)][Clamp(channel, 0, kChannels - 1)] = value;
}

void SetRGB(ShowData& d, int seq, int step, int channel, int colour) {
    const int index = colour % 8;
    if (index < 0 || !InStore(seq, step, channel)) return;
    WriteTriple(d, kPalette[index], channel, step, seq);
}

uint32_t PaletteColour(int index) { return kPalette[Clamp(index, 0, 7)]; }

void NormaliseSelection(SequencerEditState& e) {
    if (e.AreaSelY1 > e.AreaSelY2) std::swap(e.AreaSelY1, e.AreaSelY2);
    if (e.AreaSelX1 > e.AreaSelX2) std::swap(e.AreaSelX1, e.AreaSelX2);
}

void FillRectColor(ShowData& d, SequencerEditState& e, const AreaView& v, uint32_t colour) {
    const int seq = ClampSequencer(v.seq);
    FillRect(e, v, [&](int spot, int step) { RecPix(d, colour, spot * 3, step, seq); });
}

void FillRectKlapan(ShowData& d, SequencerEditState& e, const AreaView& v, uint8_t value) {
    const int seq = ClampSequencer(v.seq);
    FillRect(e, v, [&](int channel, int step) { SetSceneCell(d, value, channel, step, seq); });
}

void drawLineColor(ShowData& d, const SequencerEditState& e, const AreaView& v, uint32_t colour) {
    ColourLine(d, e, v, colour, true);
}

void drawTwoLineColor(ShowData& d, const SequencerEditState& e, const AreaView& v, uint32_t colour) {
    ColourLine(d, e, v, colour, false);
}

void LineBetween(ShowData& d, const SequencerEditState& e, const AreaView& v, uint8_t value) {
    const int seq = ClampSequencer(v.seq);
    WalkLine(e, [&](int x, int y) {
        const int step = v.firstStep + x;
        if (!LineMayWrite(d, seq, step)) return false;
        SetSceneCell(d, value, v.firstRow + y, step, seq);
        return true;
    });
}

void ChangeColorPattern(ShowData& d, const AreaView& v) {
    const int seq = ClampSequencer(v.seq);
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k <= 160; ++k) SetRGB(d, seq, v.firstStep + i, 3 * k, i);
}

// --- The area editor -------------------------------------------------------------------------

bool IsDriven(const ShowData& d, int seq, int channel) {
    return channel >= 0 && channel < kChannels && d.SequencerChannelMask[ClampSequencer(seq)][channel] != 0;
}

int CountDrivenExactly(const ShowData& d, int seq) {
    const uint8_t* mask = d.SequencerChannelMask[ClampSequencer(seq)];
    return int(std::count(mask, mask + kChannels, uint8_t{1}));
}

namespace {

bool InsideGrid(int x, int y) { return x >= 0 && x <= kAreaLastPixel && y >= 0 && y <= kAreaLastPixel; }

struct Cell {
    int col, row, step, rowIndex, channel;
};

// The cell under (x, y), and the information fields that follow the mouse.
Cell Locate(const AreaContext& c, int x, int y) {
    Cell cell;
    cell.col = x / kCellPixels;
    cell.row = y / kCellPixels;
    cell.step = c.view.firstStep + cell.col;
    cell.rowIndex = c.view.firstRow + cell.row;
    cell.channel = c.page == AreaPage::Spots ? 3 * cell.rowIndex : cell.rowIndex;
    c.e.InfoStep = cell.step + 1;
    c.e.InfoRow = cell.rowIndex + 1;
    c.e.InfoBoxX = x;
    c.e.InfoBoxY = y;
    return cell;
}

void DrawOneClickLine(const AreaContext& c, int seq) {
    SequencerEditState& e = c.e;
    const int driven = CountDrivenExactly(c.d, seq);
    if (c.page == AreaPage::Spots) {
        const int n = driven / 3;
        if (c.tool == AreaTool::Rainbow) {
            e.AreaSelX2 = e.AreaSelX1;
            e.AreaSelY2 = e.AreaSelY1 + n;
        } else if (c.tool == AreaTool::Up45) {
            e.AreaSelX2 = e.AreaSelX1 + n;
            e.AreaSelY2 = e.AreaSelY1 - n;
        } else {
            e.AreaSelX2 = e.AreaSelX1 + n;
            e.AreaSelY2 = e.AreaSelY1 + n;
        }
        drawLineColor(c.d, e, c.view, c.colour);
    } else {
        const int n = 1 + driven;
        e.AreaSelX2 = e.AreaSelX1 + n;
        e.AreaSelY2 = c.tool == AreaTool::Up45 ? e.AreaSelY1 - n : e.AreaSelY1 + n;
        LineBetween(c.d, e, c.view, c.value);
    }
    ToolState(e, c.page) = 0;
}

bool IsOneClickTool(AreaPage page, AreaTool tool) {
    if (tool == AreaTool::Up45 || tool == AreaTool::Down45) return true;
    return page == AreaPage::Spots && tool == AreaTool::Rainbow;
}

}  // namespace

AreaResult AreaMouseDown(const AreaContext& c, AreaButton button, int x, int y) {
    AreaResult r;
    if (!InsideGrid(x, y)) return r;
    if (c.saveToUndo) c.saveToUndo();
    SequencerEditState& e = c.e;
    const Cell cell = Locate(c, x, y);
    e.PointedStep = cell.step;
    e.PointedChannel = cell.channel;
    e.InfoBoxOnCell = 1;
    const int seq = ClampSequencer(c.view.seq);
    const bool spots = c.page == AreaPage::Spots;

    if (y >= kStripPixels && IsDriven(c.d, seq, cell.channel)) {
        int& state = ToolState(e, c.page);
        if (c.tool != AreaTool::Pencil) {
            if (state == 0) {
                e.AreaSelX1 = e.AreaSelX2 = cell.col;
                e.AreaSelY1 = e.AreaSelY2 = cell.row;
                state = 1;
            } else if (state == 1) {
                e.AreaSelX2 = cell.col;
                e.AreaSelY2 = cell.row;
                state = 2;
            }
        }
        const bool pencil = c.tool == AreaTool::Pencil && y < kAreaLastPixel;
        if (button == AreaButton::Left) {
            if (pencil && spots) {
                RecPix(c.d, c.colour, cell.channel, cell.step, seq);
                e.SpotPenDown = 1;
            } else if (pencil) {
                SetSceneCell(c.d, c.value, cell.channel, cell.step, seq);
                e.KlapanPenDown = 1;
                e.KlapanEraseDown = 0;
            } else if (IsOneClickTool(c.page, c.tool)) {
                DrawOneClickLine(c, seq);
            }
        } else if (button == AreaButton::Right) {
            if (spots) {
                state = 0;
            } else if (pencil) {
                // The press itself erases nothing: the drag does.
                e.KlapanPenDown = 0;
                e.KlapanEraseDown = 1;
            }
        }
        r.redraw = true;
        return r;
    }

    r.step = cell.step;
    if (button == AreaButton::Left) r.stepAction = AreaResult::StepAction::MakeCurrent;
    else if (button == AreaButton::Right) r.stepAction = AreaResult::StepAction::ToggleWord;
    e.InfoBoxOnCell = 0;
    return r;
}

AreaResult AreaMouseMove(const AreaContext& c, int x, int y) {
    AreaResult r;
    r.redraw = true;
    SequencerEditState& e = c.e;
    const bool spots = c.page == AreaPage::Spots;
    const bool inside = InsideGrid(x, y);
    const bool penDown = spots ? e.SpotPenDown : (e.KlapanPenDown || e.KlapanEraseDown);
    if (inside && penDown && c.saveToUndo) c.saveToUndo();
    const Cell cell = Locate(c, x, y);
    const int seq = ClampSequencer(c.view.seq);
    e.InfoBoxOnCell = inside && IsDriven(c.d, seq, cell.channel) ? 1 : 0;
    int& state = ToolState(e, c.page);
    if (state == 1) {
        e.AreaSelX2 = cell.col;
        e.AreaSelY2 = cell.row;
    }
    // The pencil never writes a cell the operator cannot see, and nothing is read past the store.
    if (!inside) return r;

    if (c.tool == AreaTool::Pencil) {
        if (spots && e.SpotPenDown) {
            RecPix(c.d, c.colour, cell.channel, cell.step, seq);
        } else if (!spots && e.KlapanPenDown) {
            SetSceneCell(c.d, c.value, cell.channel, cell.step, seq);
        } else if (!spots && e.KlapanEraseDown) {
            SetSceneCell(c.d, 0, cell.channel, cell.step, seq);
        }
    }

    if (state == 2) {
        switch (c.tool) {
        case AreaTool::Line:
            state = 0;
            if (spots) drawLineColor(c.d, e, c.view, c.colour);
            else LineBetween(c.d, e, c.view, c.value);
            break;
        case AreaTool::ColourLine:
            if (spots) {
                state = 0;
                drawTwoLineColor(c.d, e, c.view, c.colour);
            }
            break;
        case AreaTool::Rect:
            state = 0;
            if (spots) {
                FillRectColor(c.d, e, c.view, c.colour);
                r.toolToPencil = true;
            } else {
                FillRectKlapan(c.d, e, c.view, c.value);
            }
            break;
        case AreaTool::CopySelect:
            state = 0;
            NormaliseSelection(e);
            if (!spots) {
                if (c.view.firstStep + e.AreaSelX1 > kSequencerSteps - 1) {
                    r.redraw = false;
                    return r;
                }
                e.CopyChannelSpan = int16_t(std::max(1, e.AreaSelY2 - e.AreaSelY1));
                e.CopyStepSpan = int16_t(std::max(1, e.AreaSelX2 - e.AreaSelX1));
            }
            break;
        default:
            break;
        }
    }

    if (c.d.SequencerRunState[seq] == kRunStop && cell.step >= 0 && cell.step < kSequencerSteps)
        CopySceneToFrame(c.d, seq, cell.step);
    return r;
}

void AreaMouseUp(SequencerEditState& e, AreaPage page) {
    if (page == AreaPage::Spots) {
        e.SpotPenDown = 0;
    } else {
        e.KlapanPenDown = 0;
        e.KlapanEraseDown = 0;
    }
}

void ToggleStepWord(ShowData& d, int seq, int step, int tempo) {
    if (seq < 0 || seq >= kSequencers || step < 0 || step >= kSequencerSteps) return;
    uint16_t& w = d.SequencerStepWords[seq][step];
    w = IsTempoMark(w) ? uint16_t(Clamp(tempo, 0, 65535)) : uint16_t(kWordLoop);
}

// --- Pattern commands and clipboards -------------------------------------------------------

std::unique_ptr<SceneClipboard> MakeSceneClipboard() {
    auto clip = std::make_unique<SceneClipboard>();
    std::memset(clip->PatternClipboard, 0, sizeof clip->PatternClipboard);
    std::memset(clip->PatternClipboardWords, 0, sizeof clip->PatternClipboardWords);
    std::memset(clip->MirrorBuffer, 0, sizeof clip->MirrorBuffer);
    std::memset(clip->SequencerClipboard, 0, sizeof clip->SequencerClipboard);
    return clip;
}

void LengActiv(const ShowData& d, int seq, int16_t& First, int16_t& Last) {
    const uint8_t* mask = d.SequencerChannelMask[ClampSequencer(seq)];
    First = 1;
    Last = 511;
    for (int c = 0; c <= 510; ++c)
        if (mask[c] == 1) {
            First = int16_t(c);
            break;
        }
    for (int c = 511; c >= 1; --c)
        if (mask[c] == 1) {
            Last = int16_t(c);
            break;
        }
}

void LimitPatternRange(SequencerEditState& e) {
    e.PatternFrom = std::min<uint16_t>(e.PatternFrom, kLastLineStep);
    e.PatternTo = std::min<uint16_t>(e.PatternTo, kSequencerSteps - 1);
}

bool ClearPattern(ShowData& d, SequencerEditState& e, int seq, int tempo) {
    const int s = ClampSequencer(seq);
    LimitPatternRange(e);
    e.CopyStepSpan = int16_t(e.PatternTo - e.PatternFrom);
    if (e.CopyStepSpan == 0) return false;
    int16_t first = 0, last = 0;
    LengActiv(d, s, first, last);
    e.CopyChannelSpan = int16_t(last - first);
    if (e.CopyChannelSpan == 0) return false;
    for (int step = e.PatternFrom; step <= e.PatternTo; ++step) {
        std::memset(&d.SequencerStepData[s][step][first], 0, size_t(last - first + 1));
        d.SequencerStepWords[s][step] = uint16_t(Clamp(tempo, 0, 65535));
    }
    return true;
}

void ClearSequencer(ShowData& d, int seq) {
    const int s = ClampSequencer(seq);
    std::memset(d.SequencerStepData[s], 0, sizeof d.SequencerStepData[s]);
    std::fill(std::begin(d.SequencerStepWords[s]), std::end(d.SequencerStepWords[s]), kClearedSeqWord);
    d.SequencerCurrentStep[s] = 0;
    d.SequencerRunState[s] = kRunOff;
}

void ClearAllSequencers(ShowData& d) {
    std::memset(d.SequencerStepData, 0, sizeof d.SequencerStepData);
    for (int r = 0; r < kSequencers; ++r) std::memset(d.SequencerChannelMask[r], 0, kChannels);
    for (auto& row : d.SequencerStepWords) std::fill(std::begin(row), std::end(row), kResetStepWord);
    std::memset(d.SequencerCurrentStep, 0, sizeof d.SequencerCurrentStep);
    std::memset(d.SequencerRunState, kRunOff, sizeof d.SequencerRunState);
}

void MirrorPattern(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq) {
    const int s = ClampSequencer(seq);
    LimitPatternRange(e);
    const int from = e.PatternFrom, to = e.PatternTo;
    for (int i = 0; from + i <= to; ++i)
        std::memcpy(clip.MirrorBuffer[i], d.SequencerStepData[s][to - i], kChannels);
    for (int i = 0; from + i <= to; ++i)
        std::memcpy(d.SequencerStepData[s][from + i], clip.MirrorBuffer[i], kChannels);
}

bool CopyPattern(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq) {
    const int s = ClampSequencer(seq);
    e.ClipKind = 2;
    LimitPatternRange(e);
    e.CopyStepSpan = int16_t(e.PatternTo - e.PatternFrom);
    if (e.CopyStepSpan <= 0) return false;
    int16_t first = 0, last = 0;
    LengActiv(d, s, first, last);
    e.CopyChannelSpan = int16_t(last - first);
    if (e.CopyChannelSpan == 0) return false;
    std::memset(clip.PatternClipboard, 0, sizeof clip.PatternClipboard);
    std::memset(clip.PatternClipboardWords, 0, sizeof clip.PatternClipboardWords);
    for (int i = 0; i <= e.CopyStepSpan; ++i) {
        std::memcpy(clip.PatternClipboard[i], &d.SequencerStepData[s][e.PatternFrom + i][first],
                    size_t(e.CopyChannelSpan + 1));
        clip.PatternClipboardWords[i] = d.SequencerStepWords[s][e.PatternFrom + i];
    }
    clip.Kind = 2;
    clip.StepSpan = e.CopyStepSpan;
    clip.ChannelSpan = e.CopyChannelSpan;
    return true;
}

bool CopySequencer(ShowData& d, SequencerEditState& e, SceneClipboard& clip, int seq) {
    const int s = ClampSequencer(seq);
    e.ClipKind = 3;
    int16_t first = 0, last = 0;
    LengActiv(d, s, first, last);
    e.CopyChannelSpan = int16_t(last - first);
    if (e.CopyChannelSpan == 0) return false;
    e.CopyStepSpan = kSequencerSteps - 1;
    std::memset(clip.PatternClipboard, 0, sizeof clip.PatternClipboard);
    for (int step = 0; step < kSequencerSteps; ++step)
        std::memcpy(clip.PatternClipboard[step], &d.SequencerStepData[s][step][first], size_t(e.CopyChannelSpan + 1));
    std::memcpy(clip.PatternClipboardWords, d.SequencerStepWords[s], sizeof clip.PatternClipboardWords);
    clip.Kind = 3;
    clip.StepSpan = e.CopyStepSpan;
    clip.ChannelSpan = e.CopyChannelSpan;
    return true;
}

void PastePattern(ShowData& d, SequencerEditState& e, const SceneClipboard& clip, int seq) {
    if (seq < 0 || seq >= kSequencers) return;
    LimitPatternRange(e);
    int16_t first = 0, last = 0;
    LengActiv(d, seq, first, last);
    const int width = std::min(clip.ChannelSpan, kChannels - 1 - first) + 1;
    if (width <= 0) return;
    if (clip.Kind == 2) {
        for (int i = 0; i <= clip.StepSpan; ++i) {
            const int step = e.PatternFrom + i;
            if (step >= kSequencerSteps) break;
            std::memcpy(&d.SequencerStepData[seq][step][first], clip.PatternClipboard[i], size_t(width));
            d.SequencerStepWords[seq][step] = clip.PatternClipboardWords[i];
        }
    } else if (clip.Kind == 3) {
        for (int step = 0; step < kSequencerSteps; ++step)
            std::memcpy(&d.SequencerStepData[seq][step][first], clip.PatternClipboard[step], size_t(width));
        std::memcpy(d.SequencerStepWords[seq], clip.PatternClipboardWords, sizeof d.SequencerStepWords[seq]);
    }
}

void ErasePointSpot(ShowData& d, int seq, int step, int channel) {
    for (int k = 0; k < 3; ++k)
        if (InStore(seq, step, channel + k)) d.SequencerStepData[seq][step][channel + k] = 0;
}

void ErasePointChannel(ShowData& d, int seq, int step, int channel) {
    if (InStore(seq, step, channel)) d.SequencerStepData[seq][step][channel] = 0;
}

void ClearScene(ShowData& d, int seq, int step) {
    std::memset(d.SequencerStepData[ClampSequencer(seq)][ClampSeqStep(step)], 0, kChannels);
}

void ClearSequencerLevels(ShowData& d, int seq) {
    std::memset(d.SequencerStepData[ClampSequencer(seq)], 0, sizeof d.SequencerStepData[0]);
}

void CopySequencerLevels(const ShowData& d, SceneClipboard& clip, int seq) {
    std::memcpy(clip.SequencerClipboard, d.SequencerStepData[ClampSequencer(seq)], sizeof clip.SequencerClipboard);
}

void PasteSequencerLevels(ShowData& d, const SceneClipboard& clip, int seq) {
    std::memcpy(d.SequencerStepData[ClampSequencer(seq)], clip.SequencerClipboard, sizeof clip.SequencerClipboard);
}

// --- Undo ------------------------------------------------------------------------------------

struct UndoStore::Snapshot {
    uint8_t levels[kSequencers][kSequencerSteps][kChannels];
    uint8_t mask[kMaskRows][kMaskColumns];
    uint16_t words[kSequencers][kSequencerSteps];
    uint8_t runStates[kSequencers];
};

UndoStore::UndoStore() : s_(std::make_unique<Snapshot>()) {}
UndoStore::~UndoStore() = default;

bool UndoStore::save(const ShowData& d) {
    if (taken_) return false;
    taken_ = true;
    valid_ = true;
    std::memcpy(s_->levels, d.SequencerStepData, sizeof s_->levels);
    std::memcpy(s_->mask, d.SequencerChannelMask, sizeof s_->mask);
    std::memcpy(s_->words, d.SequencerStepWords, sizeof s_->words);
    std::memcpy(s_->runStates, d.SequencerRunState, sizeof s_->runStates);
    return true;
}

void UndoStore::burstEnded() { taken_ = false; }

bool UndoStore::restore(ShowData& d) {
    if (!valid_) return false;
    std::memcpy(d.SequencerStepData, s_->levels, sizeof s_->levels);
    std::memcpy(d.SequencerChannelMask, s_->mask, sizeof s_->mask);
    std::memcpy(d.SequencerStepWords, s_->words, sizeof s_->words);
    std::memcpy(d.SequencerRunState, s_->runStates, sizeof s_->runStates);
    taken_ = false;
    valid_ = false;
    return true;
}

// --- Level buttons ---------------------------------------------------------------------------

namespace {
constexpr uint32_t kNavy = Rgb(0, 0, 128);
constexpr uint32_t kGrey = Rgb(128, 128, 128);
constexpr uint32_t kRed = Rgb(255, 0, 0);

LevelButtonsLook LookOf(const ShowData& d, uint32_t colour) {
    LevelButtonsLook look;
    for (int i = 0; i < kLevelButtons; ++i) {
        look.levels[i] = d.EditorSettings[LevelSettingIndex(i + 1)];
        look.captionColours[i] = colour;
    }
    return look;
}
}  // namespace

std::optional<LevelButtonsLook> SetButtonInvertor(ShowData& d, SequencerEditState& e, int mode) {
    if (mode < 0 || mode > kLevelButtons) return std::nullopt;
    e.LevelEditMode = uint8_t(mode);
    if (mode == 0) return LookOf(d, kNavy);
    LevelButtonsLook look = LookOf(d, kGrey);
    const int level = d.EditorSettings[LevelSettingIndex(mode)];
    look.captionColours[mode - 1] = kRed;
    look.groupVisible = true;
    look.groupBeside = mode;
    look.slider = level;
    d.EditorSettings[7] = level;
    return look;
}

LevelButtonsLook LevelButtonPressed(ShowData& d, SequencerEditState& e, int mode, AreaButton button) {
    mode = Clamp(mode, 1, kLevelButtons);
    if (button == AreaButton::Right) return *SetButtonInvertor(d, e, mode);
    LevelButtonsLook look = *SetButtonInvertor(d, e, 0);
    d.EditorSettings[7] = d.EditorSettings[LevelSettingIndex(mode)];
    look.captionColours[mode - 1] = kRed;
    return look;
}

std::optional<LevelButtonsLook> LevelSliderMoved(ShowData& d, SequencerEditState& e, int position) {
    if (e.LevelEditMode >= 1 && e.LevelEditMode <= kLevelButtons)
        d.EditorSettings[LevelSettingIndex(e.LevelEditMode)] = Clamp(position, 0, 255);
    return SetButtonInvertor(d, e, e.LevelEditMode);
}

// --- What the areas show ----------------------------------------------------------------------

std::optional<int> LevelAt(const ShowData& d, int seq, int step, int channel) {
    if (!InStore(seq, step, channel)) return std::nullopt;
    return d.SequencerStepData[seq][step][channel];
}

InfoBox AreaInfoBox(const ShowData& d, SequencerEditState& e, AreaPage page, const AreaView& v, int width,
                    int height, char decimalPoint) {
    const bool spots = page == AreaPage::Spots;
    e.InfoBoxX = std::min(e.InfoBoxX, width - 100);
    e.InfoBoxY = std::min(e.InfoBoxY, height - (spots ? 101 : 100));
    InfoBox box;
    box.x = e.InfoBoxX;
    box.y = e.InfoBoxY;
    box.onCell = e.InfoBoxOnCell == 1;
    const int seq = ClampSequencer(v.seq);
    const int step = e.InfoStep - 1;
    auto level = [&](int channel) {
        const std::optional<int> l = LevelAt(d, seq, step, channel);
        return l ? std::to_string(*l) : std::string("-");
    };
    box.lines.push_back("Слева : " + std::to_string(e.InfoStep - v.firstStep));
    box.lines.push_back("Сверху: " + std::to_string(e.InfoRow - v.firstRow));
    box.lines.push_back("Сцена: " + std::to_string(e.InfoStep));
    if (spots) {
        const int channel = 3 * (e.InfoRow - 1);
        box.lines.push_back("Cпот : " + std::to_string(e.InfoRow));
        box.lines.push_back(level(channel) + "," + level(channel + 1) + "," + level(channel + 2));
        const bool stepInStore = step >= 0 && step < kSequencerSteps;
        box.lines.push_back(stepInStore ? StepWordText(d.SequencerStepWords[seq][step], decimalPoint) : "-");
    } else {
        box.lines.push_back("DMX  : " + std::to_string(e.InfoRow));
        box.lines.push_back("Уров.:" + level(e.InfoRow - 1));
    }
    return box;
}

uint32_t CellColour(const ShowData& d, AreaPage page, int seq, int step, int row, uint32_t face) {
    const int s = ClampSequencer(seq);
    if (page == AreaPage::Spots) {
        const int c = 3 * row;
        if (c < 0 || c >= kChannels || d.SequencerChannelMask[s][c] != 1) return face;
        const uint8_t* l = d.SequencerStepData[s][ClampSeqStep(step)];
        return Rgb(l[c], c + 1 < kChannels ? l[c + 1] : 0, c + 2 < kChannels ? l[c + 2] : 0);
    }
    if (!IsDriven(d, s, row)) return face;
    const int level = d.SequencerStepData[s][ClampSeqStep(step)][row];
    if (level == 0) return Rgb(0, 0, 0);
    if (level == 255) return Rgb(255, 255, 255);
    return Rgb(0, level, 255 - level);
}

uint32_t StripColour(const ShowData& d, AreaPage page, int seq, int step, int row, uint32_t face) {
    const int s = ClampSequencer(seq);
    const bool off = d.SequencerRunState[s] == kRunOff;
    if (page == AreaPage::Spots) {
        const int c = 3 * row;
        if (c < 0 || c >= kChannels || d.SequencerChannelMask[s][c] != 1) return face;
        return off ? kStripOffColour : CellColour(d, page, s, step, row, face);
    }
    if (!IsDriven(d, s, row)) return face;
    if (off) return kStripOffColour;
    const int level = d.SequencerStepData[s][ClampSeqStep(step)][row];
    return Rgb(level, level, level);
}

std::optional<uint32_t> WordBarColour(int word) {
    switch (word) {
    case 0: return Rgb(255, 255, 0);
    case 1: return Rgb(255, 0, 0);
    case 2: return Rgb(0, 128, 0);
    case 3: return Rgb(0, 0, 255);
    default: return std::nullopt;
    }
}

}  // namespace spirelo
