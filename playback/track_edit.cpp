#include "playback/track_edit.h"

#include "common/text_codec.h"
#include "core/text_routines.h"
#include "platform/message_service.h"

#include <algorithm>
#include <cstring>

namespace spirelo {

int RecordTrack(ShowData& d) {
    int t = std::clamp(d.TrackEditState[5], 0, kTracks - 1);
    d.TrackEditState[5] = t;
    return t;
}

void WriteTrackStep(ShowData& d, int track, int step, const TrackStepValue& v) {
    if (track < 0 || track >= kTracks || step < 0 || step > kMaxShowStep) return;
    d.TrackSeq[track][step] = v.seq;
    d.TrackScene[track][step] = v.scene;
    d.TrackLevel[track][step] = v.level;
    d.TrackCommand[track][step] = v.command;
}

int LastEditStep(int32_t SongSteps) { return std::clamp<int32_t>(SongSteps, 0, kMaxShowStep); }

// ---- Record-track commands ------------------------------------------------------------------

bool AdvanceDown(ShowData& d) {
    uint8_t& s = d.TrackShift[RecordTrack(d)];
    if (s == 0) return false;
    --s;
    return true;
}

bool AdvanceUp(ShowData& d) {
    uint8_t& s = d.TrackShift[RecordTrack(d)];
    if (s >= 100) return false;
    ++s;
    return true;
}

void DeleteRecordTrack(ShowData& d, int32_t SongSteps) {
    const int r = RecordTrack(d);
    d.TrackShift[r] = 0;
    const int last = LastEditStep(SongSteps);
    for (int i = 0; i <= last; ++i) {
        WriteTrackStep(d, r, i, TrackStepValue{});
        d.TrackPlane5[r][i] = 0;
    }
}

void ChangeRecordTrackSeq(ShowData& d, int32_t SongSteps, int seq) {
    const int r = RecordTrack(d);
    const int last = LastEditStep(SongSteps);
    for (int i = 0; i <= last; ++i) d.TrackSeq[r][i] = uint8_t(seq);
}

void NormaliseRecordTrack(ShowData& d, int32_t SongSteps, const NormaliseOptions& o) {
    const int r = RecordTrack(d);
    const int last = LastEditStep(SongSteps);
    uint8_t* scene = d.TrackScene[r];
    uint8_t* level = d.TrackLevel[r];
    if (o.thin) {
        for (int i = 1; i <= last; ++i) {
            if (scene[i] == 0) continue;
            for (int j = i + 1; j <= std::min(i + 26, last) && scene[j] != 0; ++j) {
                d.TrackSeq[r][j] = 0;
                scene[j] = 0;
                level[j] = 0;
            }
        }
    }
    if (o.release) {
        const int end = std::min(SongSteps - 1, kMaxShowStep);
        int state = 1, s = 0, l = 0;
        for (int i = 1; i <= end; ++i) {
            if (state == 1) {
                if (scene[i] != 0) {
                    s = scene[i];
                    l = level[i] - o.releaseStep;
                    state = 2;
                }
            } else if (scene[i] != 0) {
                state = 1;
            } else if (l < 1) {
                state = 1;
            } else {
                scene[i] = uint8_t(s);
                level[i] = uint8_t(std::min(l, 255));
                l -= o.releaseStep;
                if (l < 1) state = 1;
            }
        }
    }
    if (o.maxLevel)
        for (int i = 1; i <= last; ++i)
            if (scene[i] != 0) level[i] = 255;
}

void DeleteLowLevels(ShowData& d, int32_t SongSteps) {
    const int r = RecordTrack(d);
    const int end = std::min(SongSteps - 1, kMaxShowStep);
    for (int i = 1; i <= end; ++i)
        if (d.TrackLevel[r][i] < 3) {
            d.TrackLevel[r][i] = 0;
            d.TrackSeq[r][i] = 0;
            d.TrackScene[r][i] = 0;
        }
}

void ParkTrackNames(ShowData& d) {
    std::memcpy(d.SavedTrackNames, d.TrackNames, sizeof d.TrackNames);
    std::memcpy(d.SavedTrackShift, d.TrackShift, sizeof d.TrackShift);
}

void RestoreTrackNames(ShowData& d) {
    std::memcpy(d.TrackNames, d.SavedTrackNames, sizeof d.TrackNames);
    std::memcpy(d.TrackShift, d.SavedTrackShift, sizeof d.TrackShift);
}

std::string DeleteTrackQuestion(int r) {
    return TwoLines(TwoLines("You want delete", "current track " + std::to_string(r + 1)), "You sure?");
}

std::string NormaliseQuestion(int r) {
    return TwoLines(TwoLines("You want modificate", "current track " + std::to_string(r + 1)), "You sure?");
}

std::string ClearAllTracksQuestion() { return TwoLines("You wish delete all tracks", "You sure?"); }

// ---- Track switches -------------------------------------------------------------------------

void SearchAlltrack(ShowData& d, ShowTickState& st, int32_t SongSteps, bool playTrackDown) {
    const int last = LastEditStep(SongSteps);
    for (int t = 0; t < kTracks; ++t) {
        const uint8_t* l = d.TrackLevel[t];
        st.TrackOn[t + 1] = std::any_of(l + 1, l + last + 1, [](uint8_t v) { return v != 0; }) ? 1 : 0;
    }
    if (!playTrackDown) st.TrackOn[RecordTrack(d) + 1] = 1;
}

void SetAllTracks(ShowTickState& st, bool on) {
    for (int t = 1; t <= kTracks; ++t) st.TrackOn[t] = on ? 1 : 0;
}

void OnlyRecordTrackOn(ShowData& d, ShowTickState& st) {
    SetAllTracks(st, false);
    st.TrackOn[RecordTrack(d) + 1] = 1;
}

void FollowRecordTrack(ShowData& d, int r) {
    for (int v = 0; v < 3; ++v)
        if (r >= v + 1) d.TrackEditState[6 + v] = std::min(r - (v + 1), kTracks - 2);
}

void WriteNameField(uint8_t* field, const std::string& utf8) { Utf8ToPaddedField(utf8, field, kNameLen); }

// ---- Record view mouse ----------------------------------------------------------------------

int LevelFromY(int y) { return 254 - 2 * std::clamp(y, 0, 127); }

int StepFromX(int x, int32_t CurStep) { return (x - 12) / 20 + CurStep - 25; }

void RecordViewPress(ShowClock& clk, bool left, bool right, int x, int y) {
    clk.MouseRecStep = StepFromX(x, clk.CurStep);
    clk.MouseRecLevel = LevelFromY(y);
    clk.MouseRecLevelInverse = 2 * std::clamp(y, 0, 127);
    if (left) clk.MouseLeftDown = true;
    if (right) clk.MouseRightDown = true;
}

void RecordViewMove(ShowData& d, ShowClock& clk, int x, int y, bool stopDown, int seqMouse, int sceneMouse) {
    clk.HoverCountdown = kHoverPaints;
    clk.HoverX = x;
    clk.HoverY = y;
    clk.HoverStep = StepFromX(x, clk.CurStep);
    clk.MouseRecLevel = LevelFromY(y);
    clk.MouseRecLevelInverse = 2 * std::clamp(y, 0, 127);
    const int s = clk.MouseRecStep;
    if (!stopDown || s < 0 || s > kMaxShowStep) return;
    const int r = RecordTrack(d);
    if (clk.MouseLeftDown) {
        d.TrackLevel[r][s] = uint8_t(clk.MouseRecLevel);
        d.TrackSeq[r][s] = uint8_t(seqMouse);
        d.TrackScene[r][s] = uint8_t(sceneMouse);
        d.TrackCommand[r][s] = kCmdSetScene;
    } else if (clk.MouseRightDown) {
        d.TrackLevel[r][s] = uint8_t(clk.MouseRecLevel);
    }
}

void RecordViewRelease(ShowClock& clk) {
    clk.MouseLeftDown = false;
    clk.MouseRightDown = false;
}

// ---- What the views draw --------------------------------------------------------------------

namespace {

constexpr uint32_t Rgb(int r, int g, int b) { return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16; }
constexpr uint32_t kGrey = Rgb(128, 128, 128);
constexpr uint32_t kWhite = Rgb(255, 255, 255);

int ColumnX(int k) { return 16 + 20 * k; }
bool StepShown(int s) { return s > 0 && s <= kMaxShowStep; }
int PointY(int level) { return (255 - std::clamp(level, 0, 255)) / 2; }

std::string ShiftText(const ShowData& d, int t) { return "Forvr= " + std::to_string(d.TrackShift[t] * 50); }

}  // namespace

RecordViewModel RecordViewOf(ShowData& d, ShowClock& clk, const std::string& enteredText) {
    RecordViewModel m;
    const int r = RecordTrack(d);
    m.shiftX = kCursorX + 20 * d.TrackShift[r];
    for (int k = 0; k < kTrackViewColumns; ++k) {
        RecordColumn& c = m.columns[size_t(k)];
        c.x = ColumnX(k);
        c.step = clk.CurStep - 25 + k;
        if (!StepShown(c.step)) {
            c.kind = RecordColumn::Grey;
            c.y = PointY(0);
            c.colour = kGrey;
            continue;
        }
        const int s = c.step;
        c.y = PointY(d.TrackLevel[r][s]);
        const int scene = d.TrackScene[r][s];
        if (scene == 255) {
            c.kind = RecordColumn::Blank;
            continue;
        }
        c.kind = RecordColumn::Point;
        const int q = std::min<int>(d.TrackSeq[r][s], kSequencers - 1);
        int cr = d.SequencerStepData[q][scene][0], cg = d.SequencerStepData[q][scene][1],
            cb = d.SequencerStepData[q][scene][2];
        if (cr < 16 && cg < 16 && cb < 16) cr = cg = cb = 64;
        c.colour = Rgb(cr, cg, cb);
    }
    m.firstY = m.columns[0].y;
    m.texts.push_back({10, 11, "Track= " + std::to_string(r + 1)});
    m.texts.push_back({10, 25, TrackNameText(d, r)});
    m.texts.push_back({10, 39, ShiftText(d, r) + " ms "});
    m.texts.push_back({10, 53, enteredText});

    // The read-out only for a step the store holds.
    if (clk.HoverStep >= 1 && clk.HoverStep <= kMaxShowStep && clk.HoverCountdown >= 2) {
        --clk.HoverCountdown;
        const TrackStepValue v = ReadTrackStep(d, r, clk.HoverStep);
        const int hx = (clk.HoverX > kTrackViewWidth - 50 ? kTrackViewWidth - 70 : clk.HoverX) + 15;
        const int y = std::clamp(clk.HoverY, 3, 50);
        m.hover.push_back({hx, y, "Time= " + timeTostr(clk.HoverStep)});
        if (v.command != kCmdSetRate) {
            m.hover.push_back({hx, y + 15, "Seque= " + std::to_string(v.seq + 1)});
            m.hover.push_back({hx, y + 30, "Scena= " + std::to_string(v.scene + 1)});
        } else {
            m.hover.push_back({hx, y + 15, "Block= " + std::to_string(v.seq + 1)});
            m.hover.push_back({hx, y + 30, EffectText(v.scene)});
        }
        m.hover.push_back({hx, y + 45, "Level= " + std::to_string(v.level)});
        m.hover.push_back({hx, y + 60, ModeText(v.command)});
    }
    return m;
}

WatchedViewModel WatchedViewOf(ShowData& d, int track, int32_t CurStep, const std::string& enteredText) {
    WatchedViewModel m;
    const int t = ClampTrack(track);
    m.track = t;
    m.shiftX = kCursorX + 20 * d.TrackShift[t];
    for (int k = 0; k < kTrackViewColumns; ++k) {
        const int s = CurStep - 25 + k;
        const bool shown = StepShown(s);
        const int v = shown ? std::clamp(int(d.TrackLevel[t][s]) - 1, 0, 255) : 0;
        m.x[size_t(k)] = ColumnX(k);
        m.y[size_t(k)] = (255 - v) / 4;
        m.grey[size_t(k)] = !shown;
    }
    m.texts.push_back({10, 10, "Track= " + std::to_string(t + 1) + ", " + TrackNameText(d, t)});
    m.texts.push_back({10, 25, ShiftText(d, t) + " ms, " + enteredText});
    return m;
}

namespace {

// One track's intervals: bars from the column's highest point to the bottom row, or the chained
// vertical lines of the steps in a column, including the line from the carried previous point.
void GistoTrack(const ShowData& d, int t, int32_t SongSteps, int minLevel, bool bars, int width,
                const std::vector<int>& xOf, GistoLayer& layer) {
    layer.top.assign(size_t(width), -1);
    layer.bottom.assign(size_t(width), -1);
    const int last = LastEditStep(SongSteps);
    const uint8_t* level = d.TrackLevel[t];
    int prevY = 63;
    for (int s = 1; s <= last; ++s) {
        if (level[s] < minLevel) continue;
        const int x = xOf[size_t(s)];
        const int y = PointY(level[s]);
        const int a = bars ? y : std::min(y, prevY), b = bars ? 127 : std::max(y, prevY);
        prevY = y;
        if (x < 0 || x >= width) continue;
        int16_t& top = layer.top[size_t(x)];
        int16_t& bottom = layer.bottom[size_t(x)];
        if (top < 0) {
            top = int16_t(a);
            bottom = int16_t(b);
        } else {
            top = int16_t(std::min<int>(top, a));
            bottom = int16_t(std::max<int>(bottom, b));
        }
    }
}

}  // namespace

std::vector<GistoLayer> GistoLayersOf(ShowData& d, const ShowTickState& st, int32_t SongSteps,
                                      const GistoOptions& o, int width) {
    std::vector<GistoLayer> layers;
    if (width < 1) return layers;
    const int scale = std::max<int>(1, int(int64_t(SongSteps) * 256 / width));
    const int r = RecordTrack(d);
    std::vector<int> xOf(size_t(LastEditStep(SongSteps)) + 1);
    for (size_t s = 0; s < xOf.size(); ++s) xOf[s] = int(int64_t(s) * 256 / scale);
    auto add = [&](int t, uint32_t colour, int minLevel) {
        layers.emplace_back();
        layers.back().colour = colour;
        GistoTrack(d, t, SongSteps, minLevel, o.bars, width, xOf, layers.back());
    };
    if (!o.onlyOneTrack) {
        for (int t = 0; t < kTracks; ++t)
            if (st.TrackOn[t + 1]) add(t, o.colour ? ColorOfIndex(t) : kGrey, 11);
    } else if (st.TrackOn[r + 1]) {
        add(r, kGrey, 1);
    }
    if (o.currentOnTop && st.TrackOn[r + 1]) add(r, kWhite, 1);
    return layers;
}

SelectionReadout SelectionRule(ShowClock& clk) {
    SelectionReadout out;
    if (clk.SelectionStartPixel != clk.SelectionEndPixel) {
        out.finishShown = true;
        int32_t bps = clk.BytesPerStep;
        const RateTextResult a = RateText(bps, clk.BytesPerPixel, clk.SelectionStartPixel);
        const RateTextResult b = RateText(bps, clk.BytesPerPixel, clk.SelectionEndPixel);
        out.startText = "Start  " + timeTostr(int(a.value));
        out.finishText = "Finish " + timeTostr(int(b.value));
    }
    if (clk.SelectionEndPixel != 0 && clk.SelectionEndPixel < clk.SelectionStartPixel) {
        clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
        clk.SelectionStartStep = clk.SelectionEndStep = 0;
    }
    return out;
}

}  // namespace spirelo
