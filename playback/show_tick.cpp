#include "playback/show_tick.h"

#include "sequencer/sequencer_store.h"

#include <cstdio>

namespace spirelo {

ShowTickState& ShowTickStateInstance() {
    static auto* instance = new ShowTickState();
    return *instance;
}

TrackStepValue ReadTrackStep(const ShowData& d, int track, int step) {
    TrackStepValue v;
    if (track < 0 || track >= kTracks || step < 0 || step > kMaxShowStep) return v;  // empty step
    v.seq = d.TrackSeq[track][step];
    v.scene = d.TrackScene[track][step];
    v.level = d.TrackLevel[track][step];
    v.command = d.TrackCommand[track][step];
    return v;
}

void CopyLeveledScene(ShowData& d, int seq, int scene, int level) {
    seq = ClampSequencer(seq);
    scene = ClampSeqStep(scene);
    if (level >= 255) {   // full level: the sequencers' own masked copy
        CopySceneToFrame(d, seq, scene);
        return;
    }
    const uint8_t* mask = d.SequencerChannelMask[seq];
    const uint8_t* levels = d.SequencerStepData[seq][scene];
    uint8_t* frame = d.DmxFrame;
    const unsigned l = level < 0 ? 0u : unsigned(level);
    for (int c = 1; c <= kChannels; ++c)
        if (mask[c - 1]) frame[c] = uint8_t(levels[c - 1] * l / 255u);
}

void ApplyTrackStep(ShowData& d, const TrackStepValue& v) {
    const int s = v.seq > 31 ? 31 : v.seq;
    if (v.scene == kBlankScene) {
        d.SequencerRunState[s] = kRunStop;
        const uint8_t* mask = d.SequencerChannelMask[s];
        for (int c = 1; c <= kChannels; ++c)
            if (mask[c - 1]) d.DmxFrame[c] = 0;
        return;
    }
    switch (v.command) {
    case kCmdSeqOff:
        d.SequencerRunState[s] = kRunOff;
        break;
    case kCmdSetScene:
        d.SequencerRunState[s] = kRunStop;
        if (v.level >= 1) CopyLeveledScene(d, s, v.scene, v.level);
        break;
    case kCmdSeqPlay:
        d.SequencerCurrentStep[s] = v.scene;
        d.SequencerRunState[s] = kRunPlay;
        CopyLeveledScene(d, s, v.scene, v.level);
        break;
    case kCmdSeqStop:
        d.SequencerRunState[s] = kRunStop;
        break;
    default:   // set rate, next scene and nothing act elsewhere or not at all
        break;
    }
}

void ComputeSpectrumSums(const int32_t* avg, const int32_t* peak, ShowTickState& st) {
    auto sum = [](const int32_t* a, int from, int to) {
        int32_t s = 0;
        for (int k = from; k <= to; ++k) s += a[k];
        return s;
    };
    st.BandLowSum = 3 * sum(avg, 0, 2);
    st.BandMidSum = sum(avg, 3, 25) / 2;
    st.BandHighSum = sum(avg, 26, 45);
    st.PeakLowSum = 2 * sum(peak, 0, 2);
    st.PeakMidSum = sum(peak, 3, 25) / 5;
    st.PeakHighSum = sum(peak, 25, 45) / 5;
}

void ClearAreaForNewSong(ShowData& d, ShowClock& clk) {
    for (int s = 0; s < kSequencers; ++s) d.SequencerRunState[s] = kRunOff;
    ClearDmxBuffers(d);
    clk.NewStartPixel = 0;
    clk.NewStartStep = 1;
}

std::string timeTostr(int step) {
    if (step < 0) step = 0;
    const int seconds = step / 20;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", seconds / 60, seconds % 60, (step % 20) * 5);
    return buf;
}

namespace {

float ShowVolume(const ShowData& d) {
    int v = d.TrackEditState[3];
    v = v < 0 ? 0 : (v > 100 ? 100 : v);
    return float(v) / 100.0f;
}

// Step 5: what the first tick after start does.
bool FirstTickAction(ShowData& d, ShowClock& clk, const ShowTickControls& c, ShowTickHost& host) {
    switch (c.StartPlayList) {
    case 0: d.AquelMode = 1; return false;
    case 1: d.AquelMode = 4; return false;
    case 2:
        if (c.ShowListCount < 1) return false;
        d.AquelMode = 4;
        host.SetChannelVolume(0.0f);
        host.ChannelPlay(true);
        host.ClearShowListSelection();
        d.ProgramOptions[24] = 0;
        host.PlayListBoxCurrent();
        host.ChannelPlay(false);
        if (c.ClearDmx == 1) host.ClearAreaForNewSong();
        host.SetChannelVolume(ShowVolume(d));
        (void)clk;
        return true;
    default: return false;
    }
}

}  // namespace

ShowTickResult RunShowTick(ShowData& d, ShowClock& clk, ShowTickState& st, ShowTickControls c,
                           ShowTickHost& host) {
    ShowTickResult r;
    // 1. Without audio only the start action runs, once.
    if (clk.BytesPerPixel < 3 || !host.AudioOpen()) {
        if (st.FirstTickFlag) {
            st.FirstTickFlag = 0;
            r.showSwitched = FirstTickAction(d, clk, c, host);
        }
        return r;
    }
    r.audioOpen = true;
    const int64_t bytesPerStep = clk.BytesPerStep < 1 ? 1 : clk.BytesPerStep;

    // 2. Clock. The end of the song is judged on the unclamped step.
    const uint32_t position = host.ChannelPosition();
    int64_t rawStep = int64_t(position) / bytesPerStep;
    clk.CurStep = int32_t(rawStep > kMaxShowStep ? kMaxShowStep : rawStep);

    // 3. Seek requests, forward first.
    const int jump = c.TaprSpring * 20;
    if (clk.SeekForwardRequest) {
        clk.SeekForwardRequest = 0;
        clk.CurStep = ClampShowStep(clk.CurStep + jump);
        rawStep = clk.CurStep;
        host.SetChannelPosition(uint64_t(clk.CurStep) * uint64_t(bytesPerStep));
    }
    if (clk.SeekBackRequest) {
        clk.SeekBackRequest = 0;
        clk.CurStep = ClampShowStep(clk.CurStep - jump);
        rawStep = clk.CurStep;
        host.SetChannelPosition(uint64_t(clk.CurStep) * uint64_t(bytesPerStep));
    }

    // 4. A-B loop over the waveform selection, only when its end lies after its start.
    if (clk.SelectionStartPixel > 0 && clk.SelectionEndPixel > clk.SelectionStartPixel &&
        int64_t(position) > int64_t(clk.SelectionEndPixel) * clk.BytesPerPixel) {
        host.SetChannelPosition(uint64_t(clk.SelectionStartPixel) * uint64_t(clk.BytesPerPixel));
        if (c.ClearDmx == 3) host.ClearAreaForNewSong();
    }

    // 5. First tick.
    const bool first = st.FirstTickFlag != 0;
    if (first && FirstTickAction(d, clk, c, host)) r.showSwitched = true;

    // 6. End of song.
    st.StepsLeft = int32_t(int64_t(clk.SongSteps) - rawStep);
    if (!first && st.StepsLeft <= 10) {
        host.SetChannelVolume(0.0f);
        if (!c.PlayTrackDown) {
            c.PlayTrackDown = true;
            c.OnInversDown = false;
            int rec = d.TrackEditState[5];
            rec = rec < 0 ? 0 : (rec > 31 ? 31 : rec);
            if (c.LastTrack && rec < 31) ++rec;
            d.TrackEditState[5] = rec;
            host.RecordingPassEnded(rec);
        }
        switch (c.Coda) {
        case 0:
            host.SoundStop();
            d.AquelMode = 1;
            break;
        case 1:
            host.SetChannelPosition(1);
            break;
        case 2:
        case 3:
            host.ChannelPlay(true);
            host.setNextFile();
            r.showSwitched = true;
            break;
        default: break;
        }
        if (c.ClearDmx == 2) host.ClearAreaForNewSong();
        host.SetChannelVolume(ShowVolume(d));
    }

    // 7.
    st.FirstTickFlag = 0;

    // The clock read above belongs to the show that was just replaced: its tracks must not be
    // applied at the old song's step. The next tick reads the new show's position.
    if (r.showSwitched) return r;

    const int cur = clk.CurStep;

    // 8. Mouse recording into the record track at the step just passed.
    const int rec = ClampTrack(d.TrackEditState[5]);
    const int i = cur - 1;
    if (c.DanceDown && c.TrackMouseRecDown && c.Page == 1 && i >= 0 && i <= kMaxShowStep) {
        if (clk.MouseRightDown) d.TrackLevel[rec][i] = uint8_t(clk.MouseRecLevel);
        if (clk.MouseLeftDown) {
            d.TrackLevel[rec][i] = uint8_t(clk.MouseRecLevel);
            d.TrackSeq[rec][i] = uint8_t(c.SeqMouse);
            d.TrackScene[rec][i] = uint8_t(c.ScenaMouse);
            d.TrackCommand[rec][i] = kCmdSetScene;
            if (c.OnInversDown && rec < 31) {
                d.TrackLevel[rec + 1][i] = uint8_t(clk.MouseRecLevelInverse);
                d.TrackSeq[rec + 1][i] = uint8_t(c.SeqMouseInvers);
                d.TrackScene[rec + 1][i] = uint8_t(c.ScenaMouseInvers);
                d.TrackCommand[rec + 1][i] = kCmdSetScene;
            }
        }
    }

    // 9. Track application, once per show step; a later track overrides an earlier one.
    for (int t = 0; t < kTracks; ++t) {
        if (!st.TrackOn[t + 1] || st.TrackLastStep[t] == uint32_t(cur)) continue;
        st.TrackLastStep[t] = uint32_t(cur);
        const int at = c.PlayTrackDown ? cur + d.TrackShift[t] : cur - 1;
        ApplyTrackStep(d, ReadTrackStep(d, t, at));
    }

    // 10. Spectrum.
    host.CalculateFFT();
    if (c.BandAverage && c.SpectrumPeak) ComputeSpectrumSums(c.BandAverage, c.SpectrumPeak, st);

    // 11. Redraw, 12. status.
    host.Redraw(c.Page);
    host.ShowRealTime(cur);
    return r;
}

}  // namespace spirelo
