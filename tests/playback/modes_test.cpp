#include "playback/modes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace spirelo;

namespace {

struct FakeModeHost : ModeHost {
    std::vector<std::string> calls;
    int musicIndex = -1;
    int pressed = -1;
    void SoundPlay() override { calls.push_back("play"); }
    void SoundStop() override { calls.push_back("stop"); }
    void PressModeButton(int mode) override { pressed = mode; calls.push_back("button " + std::to_string(mode)); }
    void MediaPlayerStopIfPlaying() override { calls.push_back("media stop"); }
    void SetShowVolume(int p) override { calls.push_back("vol " + std::to_string(p)); }
    void SetVolumeBar(int p) override { calls.push_back("bar " + std::to_string(p)); }
    void SetWaveVolume(int l) override { calls.push_back("wave " + std::to_string(l)); }
    int MusicSelectedIndex() override { return musicIndex; }
    void StartMusicEntry() override { calls.push_back("music start"); }
};

struct ModeFixture : ::testing::Test {
    std::unique_ptr<ShowData> d = MakeShowData();
    ModeState m;
    FakeModeHost h;
    std::string apply(int mode) {
        d->AquelMode = uint8_t(mode);
        h.calls.clear();
        return SetJobingMode(*d, m, h);
    }
    void runAll(uint8_t state) { for (int s = 0; s < kSequencers; ++s) d->SequencerRunState[s] = state; }
};

TEST_F(ModeFixture, StopThenDanceStopsTheSequencersOnce) {
    runAll(kRunPlay);
    EXPECT_EQ(apply(kModeStop), "STOP MODE");
    EXPECT_EQ(d->SequencerRunState[5], kRunOff);
    d->SequencerRunState[5] = kRunPlay;          // a track starts a sequencer meanwhile
    d->TrackEditState[3] = 70;
    apply(kModeDance);
    EXPECT_EQ(d->SequencerRunState[5], kRunPlay);
    const std::vector<std::string> dance = {"play", "button 4", "vol 70", "bar 70", "wave 64000", "media stop"};
    EXPECT_EQ(h.calls, dance);
    apply(kModeDance);                           // re-applied twice a second: still running
    EXPECT_EQ(d->SequencerRunState[5], kRunPlay);
}

TEST_F(ModeFixture, DinamRunsOnlyTheTwoDynamicSequencersOnEveryCall) {
    apply(kModeDinam);
    d->SequencerRunState[7] = kRunPlay;          // started by hand in the sequencer window
    d->SequencerCurrentStep[28] = 40;
    apply(kModeDinam);
    EXPECT_EQ(d->SequencerRunState[7], kRunOff);
    EXPECT_EQ(d->SequencerRunState[28], kRunPlay);
    EXPECT_EQ(d->SequencerRunState[29], kRunPlay);
    EXPECT_EQ(d->SequencerCurrentStep[28], 40);
    // then STOP: all off, the dynamic ones back to step 1
    apply(kModeStop);
    for (int s = 0; s < kSequencers; ++s) EXPECT_EQ(d->SequencerRunState[s], kRunOff);
    EXPECT_EQ(d->SequencerCurrentStep[28], 1);
    EXPECT_EQ(d->SequencerCurrentStep[29], 1);
}

TEST_F(ModeFixture, SettersPressTheirButtonAndSetTheStaticFlag) {
    struct Case { int mode; int flag; const char* text; };
    for (Case k : {Case{0, 0, "OFF MODE"}, Case{1, 0, "STOP MODE"}, Case{2, 1, "STATIC MODE"},
                   Case{3, 0, "DINAM MODE"}, Case{4, 0, "DANCE MODE"}, Case{5, 0, "MUSIC MODE"}}) {
        h.pressed = -1;
        EXPECT_EQ(apply(k.mode), k.text);
        EXPECT_EQ(h.pressed, k.mode);
        EXPECT_EQ(d->StaticModeFlag, k.flag);
    }
    h.pressed = -1;
    EXPECT_EQ(apply(9), "UNKNOWN MODE");
    EXPECT_EQ(h.pressed, -1);
    EXPECT_TRUE(h.calls.empty());
}

TEST_F(ModeFixture, MusicStartsOnlyFromTheSecondEntryOn) {
    for (int index : {-1, 0}) {
        h.musicIndex = index;
        apply(kModeMusic);
        const std::vector<std::string> muted = {"stop", "button 5", "vol 0"};
        EXPECT_EQ(h.calls, muted);
    }
    h.musicIndex = 3;
    apply(kModeMusic);
    EXPECT_EQ(h.calls.back(), "music start");
    EXPECT_EQ(d->ProgramOptions[30], 3);
}

TEST_F(ModeFixture, ScheduleSlotsTheHighestWins) {
    ScheduleInputs in;
    in.hour = 12; in.minute = 0; in.second = 7;
    in.ScheduleOn = true;
    for (int k = 1; k <= 8; ++k) { d->ScheduleHour[k] = 6; d->ScheduleMinute[k] = 0; d->ScheduleMode[k] = 1; }
    d->ScheduleHour[3] = 12; d->ScheduleMode[3] = kModeStatic;
    d->ScheduleHour[5] = 12; d->ScheduleMode[5] = kModeDance;
    d->AquelMode = kModeStop;
    ScheduleResult r = ApplySchedule(*d, m, in);
    EXPECT_EQ(r.timeText, "12:00:07");
    EXPECT_EQ(d->AquelMode, kModeDance);
    EXPECT_TRUE(r.jobRed[3]);
    EXPECT_TRUE(r.jobRed[5]);
    EXPECT_FALSE(r.jobRed[4]);
    EXPECT_EQ(d->ScheduleHour[0], 12);
    const bool firstFlash = r.flashRed;
    EXPECT_NE(ApplySchedule(*d, m, in).flashRed, firstFlash);

    in.ScheduleOn = false;                         // off: no slot acts
    d->AquelMode = kModeStop;
    r = ApplySchedule(*d, m, in);
    EXPECT_EQ(d->AquelMode, kModeStop);
    EXPECT_FALSE(r.jobRed[5]);
}

TEST_F(ModeFixture, ScheduleTakesTheModesFromTheSlots) {
    struct Case { int hour, minute; int expectMode; bool red2, red6; };
    // slots 2 and 6 at 18:30, STATIC and MUSIC; the rest at 00:00 (reset) with OFF
    ResetShowData(*d);
    d->ScheduleHour[2] = d->ScheduleHour[6] = 18;
    d->ScheduleMinute[2] = d->ScheduleMinute[6] = 30;
    d->ScheduleMode[2] = kModeStatic;
    d->ScheduleMode[6] = kModeMusic;
    const Case cases[] = {{18, 30, kModeMusic, true, true}, {18, 29, -1, false, false}, {0, 0, kModeOff, false, false}};
    for (const Case& c : cases) {
        d->AquelMode = kModeDance;
        ScheduleInputs in;
        in.hour = c.hour; in.minute = c.minute; in.ScheduleOn = true;
        const ScheduleResult r = ApplySchedule(*d, m, in);
        EXPECT_EQ(r.newMode, c.expectMode) << c.hour << ":" << c.minute;
        EXPECT_EQ(d->AquelMode, c.expectMode < 0 ? kModeDance : c.expectMode);
        EXPECT_EQ(r.jobRed[2], c.red2);
        EXPECT_EQ(r.jobRed[6], c.red6);
        if (c.hour == 0) {
            EXPECT_TRUE(r.jobRed[8]);
        }
    }
    // a stored mode that is none of the six lights its slot and sets nothing
    d->ScheduleMode[6] = 255;
    d->ScheduleMode[2] = 255;
    d->AquelMode = kModeDance;
    ScheduleInputs in;
    in.hour = 18; in.minute = 30; in.ScheduleOn = true;
    const ScheduleResult r = ApplySchedule(*d, m, in);
    EXPECT_TRUE(r.jobRed[6]);
    EXPECT_EQ(r.newMode, -1);
    EXPECT_EQ(d->AquelMode, kModeDance);
}

TEST(ModeTimer, MusicFollowLightsRecordingAndTheFirstOpen) {
    MusicFollow f = FollowMusic(60000, 185500);
    EXPECT_FALSE(f.next);
    EXPECT_EQ(f.remainingText, "02:05");
    EXPECT_TRUE(FollowMusic(184000, 185500).next);

    auto d = MakeShowData();
    d->ProgramOptions[26] = 20;
    d->ProgramOptions[27] = 30;
    EXPECT_EQ(SpotIndicatorColor(*d, 19, 10, true), 0x00FFFF);
    EXPECT_EQ(SpotIndicatorColor(*d, 19, 10, false), 0x808080);
    EXPECT_EQ(SpotIndicatorColor(*d, 19, 40, true), -1);

    EXPECT_FALSE(RecordingIndicator(true, true, false));
    EXPECT_TRUE(RecordingIndicator(false, false, true));
    EXPECT_FALSE(RecordingIndicator(true, false, true));

    ModeState m;
    EXPECT_FALSE(FirstAudioOpenDue(m, true, true));   // the show list's first show is open already
    EXPECT_FALSE(FirstAudioOpenDue(m, true, false));  // only the first tick opens
    ModeState m2;
    EXPECT_TRUE(FirstAudioOpenDue(m2, true, false));
    EXPECT_EQ(m2.AudioFirstOpen, 0);
}

}  // namespace
