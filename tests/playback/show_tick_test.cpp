#include "playback/show_tick.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace spirelo;

namespace {

struct FakeHost : ShowTickHost {
    bool open = true;
    uint64_t position = 0;
    std::vector<std::string> calls;
    bool AudioOpen() override { return open; }
    uint32_t ChannelPosition() override { return uint32_t(position); }
    void SetChannelPosition(uint64_t b) override {
        position = b;
        calls.push_back("pos " + std::to_string(b));
    }
    void ChannelPlay(bool restart) override { calls.push_back(restart ? "play restart" : "play"); }
    void SetChannelVolume(float v) override { calls.push_back("vol " + std::to_string(int(v * 100 + 0.5f))); }
    void SoundStop() override { calls.push_back("stop"); }
    void ClearShowListSelection() override { calls.push_back("deselect"); }
    void PlayListBoxCurrent() override { calls.push_back("show"); }
    void setNextFile() override { calls.push_back("next show"); }
    void ClearAreaForNewSong() override { calls.push_back("clear area"); }
    void RecordingPassEnded(int rec) override { calls.push_back("rec end " + std::to_string(rec)); }
    void CalculateFFT() override { calls.push_back("fft"); }
    void Redraw(int page) override { calls.push_back("redraw " + std::to_string(page)); }
    void ShowRealTime(int step) override { calls.push_back("real " + std::to_string(step)); }
    bool called(const std::string& c) const {
        for (auto& x : calls) if (x == c) return true;
        return false;
    }
};

// 44.1 kHz 16-bit stereo: 8820 bytes a step; a song of 1200 steps (60 s).
struct TickFixture : ::testing::Test {
    std::unique_ptr<ShowData> d = MakeShowData();
    ShowClock clk;
    ShowTickState st;
    ShowTickControls c;
    FakeHost host;

    void SetUp() override {
        ResetTrackData(*d);
        clk.BytesPerStep = 8820;
        clk.BytesPerPixel = 8820 * 1200 / 970;
        clk.SongSteps = 1200;
        clk.SoundChannel = 1;
        clk.SelectionStartPixel = clk.SelectionEndPixel = kNoRestartMark;
        st.FirstTickFlag = 0;
        for (int t = 1; t <= kTracks; ++t) st.TrackOn[t] = 1;
        d->TrackEditState[3] = 80;
        // Sequencer 3 drives channels 1..4, scene 10 holds 200 on each.
        for (int ch = 0; ch < 4; ++ch) {
            d->SequencerChannelMask[3][ch] = 1;
            d->SequencerStepData[3][10][ch] = 200;
        }
        d->DmxFrame[5] = 77;   // not driven by sequencer 3
    }
    void atStep(int step) { host.position = uint64_t(step) * 8820 + 100; }
    void putStep(int track, int step, int seq, int scene, int level, int cmd) {
        d->TrackSeq[track][step] = uint8_t(seq);
        d->TrackScene[track][step] = uint8_t(scene);
        d->TrackLevel[track][step] = uint8_t(level);
        d->TrackCommand[track][step] = uint8_t(cmd);
    }
    void tick() { RunShowTick(*d, clk, st, c, host); }
};

TEST_F(TickFixture, TrackCommandsOnTheFrameAndTheSequencer) {
    struct Case { int scene, level, cmd; int frame; uint8_t run; uint16_t curStep; };
    const Case cases[] = {
        {10, 128, kCmdSetScene, 200 * 128 / 255, kRunStop, 0},
        {10, 255, kCmdSetScene, 200, kRunStop, 0},
        {10, 0, kCmdSetScene, 9, kRunStop, 0},        // level 0 only stops: frame untouched
        {10, 0, kCmdSeqPlay, 0, kRunPlay, 10},         // play writes even at level 0
        {10, 255, kCmdSeqOff, 9, kRunOff, 0},
        {10, 255, kCmdSeqStop, 9, kRunStop, 0},
        {255, 255, kCmdSeqPlay, 0, kRunStop, 0},       // blank scene wins over any command
        {10, 255, kCmdSetRate, 9, 7, 0},
        {10, 255, kCmdNothing, 9, 7, 0},
    };
    int step = 100;
    for (const Case& k : cases) {
        SCOPED_TRACE("scene " + std::to_string(k.scene) + " cmd " + std::to_string(k.cmd) +
                     " level " + std::to_string(k.level));
        for (int ch = 1; ch <= 4; ++ch) d->DmxFrame[ch] = 9;
        d->SequencerRunState[3] = 7;
        d->SequencerCurrentStep[3] = 0;
        putStep(0, step, 3, k.scene, k.level, k.cmd);
        atStep(step);
        tick();
        for (int ch = 1; ch <= 4; ++ch) EXPECT_EQ(d->DmxFrame[ch], k.frame);
        EXPECT_EQ(d->DmxFrame[5], 77);
        EXPECT_EQ(d->SequencerRunState[3], k.run);
        EXPECT_EQ(d->SequencerCurrentStep[3], k.curStep);
        step += 2;
    }
}

TEST_F(TickFixture, ATrackActsOncePerStepAndTheHigherTrackWins) {
    putStep(2, 50, 3, 10, 255, kCmdSetScene);
    putStep(7, 50, 3, 10, 51, kCmdSetScene);   // same channels, later track
    atStep(50);
    tick();
    EXPECT_EQ(d->DmxFrame[1], 200 * 51 / 255);
    d->DmxFrame[1] = 1;
    tick();                                     // same step again: nothing re-applied
    EXPECT_EQ(d->DmxFrame[1], 1);
    st.TrackOn[8] = 0;                          // track 7 off
    atStep(51);
    putStep(2, 51, 3, 10, 255, kCmdSetScene);
    tick();
    EXPECT_EQ(d->DmxFrame[1], 200);
}

TEST_F(TickFixture, TrackShiftPlaysAheadAndRecordingReadsTheStepBefore) {
    d->TrackShift[0] = 4;                       // 4 steps = 200 ms early
    putStep(0, 104, 3, 10, 255, kCmdSetScene);
    atStep(100);
    tick();
    EXPECT_EQ(d->DmxFrame[1], 200);

    c.PlayTrackDown = false;                    // recording pass: step CurStep - 1
    putStep(1, 149, 3, 10, 255, kCmdSeqPlay);
    atStep(150);
    tick();
    EXPECT_EQ(d->SequencerRunState[3], kRunPlay);
}

TEST_F(TickFixture, StepsOutsideTheStoreReadAsEmpty) {
    // CurStep 0 in a recording pass reads step -1; step 16300 plus a shift reads past the end.
    c.PlayTrackDown = false;
    d->SequencerRunState[3] = 7;
    atStep(0);
    tick();
    EXPECT_EQ(d->SequencerRunState[3], 7);
    c.PlayTrackDown = true;
    d->TrackShift[0] = 100;
    clk.SongSteps = 20000;
    atStep(16300);
    tick();
    EXPECT_EQ(d->SequencerRunState[3], 7);
    TrackStepValue v = ReadTrackStep(*d, 0, 16301);
    EXPECT_EQ(v.command, kCmdNothing);
    EXPECT_EQ(v.scene, kEmptyScene);
}

TEST_F(TickFixture, SeeksMoveByTheJumpAndClamp) {
    c.TaprSpring = 5;
    atStep(200);
    clk.SeekForwardRequest = 1;
    tick();
    EXPECT_EQ(clk.CurStep, 300);
    EXPECT_EQ(host.position, 300u * 8820);
    EXPECT_EQ(clk.SeekForwardRequest, 0);

    atStep(50);
    clk.SeekBackRequest = 1;
    tick();
    EXPECT_EQ(clk.CurStep, 0);
    EXPECT_EQ(host.position, 0u);

    clk.SongSteps = 20000;
    atStep(16250);
    clk.SeekForwardRequest = 1;
    tick();
    EXPECT_EQ(clk.CurStep, 16300);
    EXPECT_EQ(host.position, 16300u * 8820);
}

TEST_F(TickFixture, ABLoopOnlyWithAnEndAfterItsStart) {
    c.ClearDmx = 3;
    clk.SelectionStartPixel = 100;
    clk.SelectionEndPixel = 400;
    host.position = uint64_t(401) * clk.BytesPerPixel;
    tick();
    EXPECT_EQ(host.position, uint64_t(100) * clk.BytesPerPixel);
    EXPECT_TRUE(host.called("clear area"));

    host.calls.clear();
    clk.SelectionStartPixel = 400;              // end before start: no loop
    clk.SelectionEndPixel = 100;
    host.position = uint64_t(500) * clk.BytesPerPixel;
    tick();
    EXPECT_EQ(host.position, uint64_t(500) * clk.BytesPerPixel);
    EXPECT_FALSE(host.called("clear area"));
}

TEST_F(TickFixture, EndOfSongActions) {
    struct Case { int coda; std::vector<std::string> expect; uint8_t mode; };
    const Case cases[] = {
        {0, {"vol 0", "stop", "vol 80"}, 1},
        {1, {"vol 0", "pos 1", "vol 80"}, 4},
        {2, {"vol 0", "play restart", "next show", "vol 80"}, 4},
        {3, {"vol 0", "play restart", "next show", "vol 80"}, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.coda);
        host.calls.clear();
        d->AquelMode = 4;
        c.Coda = k.coda;
        atStep(1190);                           // 10 steps left
        tick();
        std::vector<std::string> head(host.calls.begin(),
                                      host.calls.begin() + std::min(host.calls.size(), k.expect.size()));
        EXPECT_EQ(head, k.expect);
        EXPECT_EQ(d->AquelMode, k.mode);
    }
}

TEST_F(TickFixture, AnotherShowIsNotPlayedAtTheOldSongsStep) {
    c.Coda = 2;
    putStep(0, 1190, 3, 10, 255, kCmdSeqPlay);
    atStep(1190);
    tick();
    EXPECT_NE(d->SequencerRunState[3], kRunPlay);
    EXPECT_FALSE(host.called("redraw 0"));
}

TEST_F(TickFixture, EndOfSongFromTheUnclampedStep) {
    clk.SongSteps = 17000;                      // longer than the track store
    atStep(16995);
    c.Coda = 2;
    tick();
    EXPECT_EQ(clk.CurStep, 16300);
    EXPECT_EQ(st.StepsLeft, 5);
    EXPECT_TRUE(host.called("next show"));
}

TEST_F(TickFixture, RecordingPassEndMovesTheRecordTrackOn) {
    struct Case { int rec; bool last; int after; };
    for (Case k : {Case{4, true, 5}, Case{31, true, 31}, Case{4, false, 4}}) {
        SCOPED_TRACE(k.rec);
        host.calls.clear();
        d->TrackEditState[5] = k.rec;
        c.PlayTrackDown = false;
        c.LastTrack = k.last;
        atStep(1195);
        tick();
        EXPECT_EQ(d->TrackEditState[5], k.after);
        EXPECT_TRUE(host.called("rec end " + std::to_string(k.after)));
    }
}

TEST_F(TickFixture, FirstTickStartActions) {
    struct Case { int start; int listCount; uint8_t mode; bool startsList; };
    const Case cases[] = {{0, 0, 1, false}, {1, 0, 4, false}, {2, 3, 4, true}, {2, 0, 9, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.start);
        host.calls.clear();
        st.FirstTickFlag = 1;
        d->AquelMode = 9;
        d->ProgramOptions[24] = 2;
        c.StartPlayList = k.start;
        c.ShowListCount = k.listCount;
        c.ClearDmx = 1;
        atStep(1199);                           // at the end: no end-of-song action on the first tick
        tick();
        EXPECT_EQ(d->AquelMode, k.mode);
        EXPECT_EQ(st.FirstTickFlag, 0);
        EXPECT_FALSE(host.called("stop"));
        if (k.startsList) {
            const std::vector<std::string> expect = {"vol 0", "play restart", "deselect", "show",
                                                     "play", "clear area", "vol 80"};
            EXPECT_EQ(host.calls, expect);
            EXPECT_EQ(d->ProgramOptions[24], 0);
        }
    }
}

TEST_F(TickFixture, WithoutAudioOnlyTheStartActionRunsOnce) {
    host.open = false;
    st.FirstTickFlag = 1;
    c.StartPlayList = 2;
    c.ShowListCount = 2;
    c.Coda = 2;
    tick();
    EXPECT_TRUE(host.called("show"));
    host.calls.clear();
    for (int k = 0; k < 5; ++k) tick();
    EXPECT_TRUE(host.calls.empty());

    clk.BytesPerPixel = 1;                      // window gone
    host.open = true;
    tick();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TickFixture, MouseRecordingWritesTheStepJustPassed) {
    c.DanceDown = c.TrackMouseRecDown = true;
    c.Page = 1;
    c.SeqMouse = 5;
    c.ScenaMouse = 9;
    c.OnInversDown = true;
    c.SeqMouseInvers = 6;
    c.ScenaMouseInvers = 8;
    d->TrackEditState[5] = 3;
    clk.MouseLeftDown = true;
    clk.MouseRecLevel = 200;
    clk.MouseRecLevelInverse = 54;
    atStep(300);
    tick();
    EXPECT_EQ(d->TrackLevel[3][299], 200);
    EXPECT_EQ(d->TrackSeq[3][299], 5);
    EXPECT_EQ(d->TrackScene[3][299], 9);
    EXPECT_EQ(d->TrackCommand[3][299], kCmdSetScene);
    EXPECT_EQ(d->TrackLevel[4][299], 54);
    EXPECT_EQ(d->TrackSeq[4][299], 6);

    clk.MouseLeftDown = false;                  // right button: the level only
    clk.MouseRightDown = true;
    clk.MouseRecLevel = 10;
    atStep(301);
    tick();
    EXPECT_EQ(d->TrackLevel[3][300], 10);
    EXPECT_EQ(d->TrackCommand[3][300], kCmdNothing);

    ShowData& data = *d;                        // step 0: nothing is written at -1
    data.TrackLevel[3][0] = 0;
    atStep(0);
    tick();
    EXPECT_EQ(data.TrackLevel[3][0], 0);

    c.Page = 0;                                 // another page: no recording
    atStep(400);
    tick();
    EXPECT_EQ(d->TrackLevel[3][399], 0);
}

TEST_F(TickFixture, SpectrumSumsAndTheTailOfTheTick) {
    int32_t avg[kSpectrumBands], peak[kSpectrumBands];
    for (int k = 0; k < kSpectrumBands; ++k) { avg[k] = 10; peak[k] = 7; }
    c.BandAverage = avg;
    c.SpectrumPeak = peak;
    c.Page = 4;
    atStep(20);
    tick();
    EXPECT_EQ(st.BandLowSum, 90);
    EXPECT_EQ(st.BandMidSum, 115);
    EXPECT_EQ(st.BandHighSum, 200);
    EXPECT_EQ(st.PeakLowSum, 42);
    EXPECT_EQ(st.PeakMidSum, 161 / 5);
    EXPECT_EQ(st.PeakHighSum, 147 / 5);
    const std::vector<std::string> tail = {"fft", "redraw 4", "real 20"};
    EXPECT_EQ(std::vector<std::string>(host.calls.end() - 3, host.calls.end()), tail);
}

TEST(ShowTickText, ClearAreaAndStepTexts) {
    auto d = MakeShowData();
    ShowClock clk;
    d->SequencerRunState[4] = kRunPlay;
    d->DmxFrame[10] = 3;
    clk.NewStartPixel = 64000;
    ClearAreaForNewSong(*d, clk);
    EXPECT_EQ(d->SequencerRunState[4], kRunOff);
    EXPECT_EQ(d->DmxFrame[10], 0);
    EXPECT_EQ(clk.NewStartPixel, 0);
    EXPECT_EQ(clk.NewStartStep, 1);
    EXPECT_EQ(timeTostr(25), "0:01:25");
    EXPECT_EQ(timeTostr(1300), "1:05:00");
    EXPECT_EQ(timeTostr(16300), "13:35:00");
}

}  // namespace
